// Opens a backup window in the folder given as argument with the real message boxes; every modal
// box is dismissed as soon as it shows, after its caption and text are printed.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "console/UBackup.h"
#include "platform/AppPaths.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) return 2;
  platform::SetExecutableFolder(argv[1]);

  QTimer dismiss;
  QObject::connect(&dismiss, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::printf("%s|%s\n", box->windowTitle().toUtf8().constData(), box->text().toUtf8().constData());
      std::fflush(stdout);
      box->accept();
    }
  });
  dismiss.start(20);

  TFrmBackup window;
  return 3;  // only reached when the missing file did not end the program
}
