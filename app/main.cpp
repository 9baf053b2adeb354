// The program: the data module, then the tray window (whose guard ends a second copy), then the
// message loop until the tray window closes.
#include <QApplication>

#include "app/UDm.h"
#include "app/USairBackup.h"
#include "app/components/Pictures.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvix Backup"));
  QApplication::setWindowIcon(ApplicationIcon());
  // The tray window is often hidden; only its closing ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  TDM dataModule;
  TfrmSairBackup mainWindow;
  if (mainWindow.Ended()) return 0;
  mainWindow.show();
  return QApplication::exec();
}
