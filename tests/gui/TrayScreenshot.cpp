// Takes the picture of the tray window for the README: tray-screenshot OUTPUT.png
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "app/UDm.h"
#include "app/USairBackup.h"
#include "app/components/Pictures.h"
#include "platform/AppPaths.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) return 2;
  QApplication::setWindowIcon(ApplicationIcon());
  QTemporaryDir exeDir;
  platform::SetExecutableFolder(exeDir.path().toStdString());
  TDM dataModule;
  TfrmSairBackup window;
  window.setWindowState(Qt::WindowNoState);
  window.show();
  QTimer::singleShot(500, [&] {
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    QApplication::exit(saved ? 0 : 1);
  });
  return QApplication::exec();
}
