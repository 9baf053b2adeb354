// Pictures of the backup window before, during and after a run, for the README. Run under a
// real display server (Xvfb) by docs/screenshots.sh; not a test.
//   gui_screenshots EXE_FOLDER TARGET_FOLDER PICTURE_FOLDER
#include <QApplication>
#include <QProgressBar>
#include <QTimer>
#include <cstdio>

#include "app/Prompts.h"
#include "app/UDm.h"
#include "console/UBackup.h"
#include "platform/AppPaths.h"

namespace {
QString pictures;
QWidget* window = nullptr;

void Shoot(const char* name) {
  QCoreApplication::processEvents();
  const QString path = pictures + "/" + name + ".png";
  if (!window->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", path.toUtf8().constData());
}

class TShotPrompts final : public app::IPrompts {
 public:
  explicit TShotPrompts(QString folder) : folder_(std::move(folder)) {}
  void Message(QWidget*, app::TMsgKind kind, const QString&, const QString& text) override {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    if (kind == app::TMsgKind::Plain) Shoot("backup-window-after");
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&, const QString&) override {
    return folder_;
  }

 private:
  QString folder_;
};
}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 4) return 2;
  platform::SetExecutableFolder(argv[1]);
  pictures = QString::fromLocal8Bit(argv[3]);
  TShotPrompts prompts(QString::fromLocal8Bit(argv[2]));
  app::SetPrompts(&prompts);

  TDM dm;
  dm.tmr1Timer();
  TFrmBackup backup;
  window = &backup;
  backup.show();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  backup.btnLocalSalvarClick();
  Shoot("backup-window-before");

  bool during = false;
  auto* bar = backup.findChild<QProgressBar*>("ProgressBar1");
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
    if (!during && v >= 50 && backup.findChild<QProgressBar*>("ProgressBar2")->value() > 1) {
      during = true;
      Shoot("backup-window-during");
    }
  });
  backup.btnOKClick();
  app::SetPrompts(nullptr);
  return 0;
}
