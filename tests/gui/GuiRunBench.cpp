// One backup run from the window, as the operator starts it, timed from the press of "Gerar"
// to the window's close. Used by bench/gui-run.sh; not a test.
//   gui_run_bench EXE_FOLDER TARGET_FOLDER
#include <QApplication>
#include <chrono>
#include <cstdio>

#include "app/Prompts.h"
#include "console/UBackup.h"
#include "platform/AppPaths.h"

namespace {
class TBenchPrompts final : public app::IPrompts {
 public:
  explicit TBenchPrompts(QString folder) : folder_(std::move(folder)) {}
  int warnings = 0;
  void Message(QWidget*, app::TMsgKind kind, const QString&, const QString& text) override {
    if (kind != app::TMsgKind::Plain) ++warnings;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
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
  if (argc < 3) {
    std::fprintf(stderr, "usage: gui_run_bench EXE_FOLDER TARGET_FOLDER\n");
    return 2;
  }
  platform::SetExecutableFolder(argv[1]);
  TBenchPrompts prompts(QString::fromLocal8Bit(argv[2]));
  app::SetPrompts(&prompts);

  TFrmBackup window;
  window.show();
  window.btnLocalSalvarClick();
  const auto start = std::chrono::steady_clock::now();
  window.btnOKClick();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.3f\n", took.count());
  app::SetPrompts(nullptr);
  return prompts.warnings == 0 ? 0 : 1;
}
