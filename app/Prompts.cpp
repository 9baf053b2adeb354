#include "app/Prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

namespace app {
namespace {

class TRealPrompts final : public IPrompts {
 public:
  void Message(QWidget* parent, TMsgKind kind, const QString& caption, const QString& text) override {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(kind == TMsgKind::Error     ? QMessageBox::Critical
                : kind == TMsgKind::Warning ? QMessageBox::Warning
                                            : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    if (const int ms = AutoDismissMilliseconds()) QTimer::singleShot(ms, &box, &QMessageBox::accept);
    box.exec();
  }

  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& acceptLabel,
                                      const QString& startFolder) override {
    QFileDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setLabelText(QFileDialog::Accept, acceptLabel);
    if (!startFolder.isEmpty()) dialog.selectFile(startFolder);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.first();
  }
};

TRealPrompts realPrompts;
IPrompts* current = nullptr;
int autoDismissMs = 0;

}  // namespace

IPrompts& Prompts() { return current ? *current : realPrompts; }

void SetPrompts(IPrompts* prompts) { current = prompts; }

TAutoDismissMessages::TAutoDismissMessages(int milliseconds) : previous_(autoDismissMs) {
  autoDismissMs = milliseconds;
}
TAutoDismissMessages::~TAutoDismissMessages() { autoDismissMs = previous_; }
int AutoDismissMilliseconds() { return autoDismissMs; }

QString ApplicationTitle() {
  const QString title = QGuiApplication::applicationDisplayName();
  return title.isEmpty() ? QStringLiteral("Tarvix - Backup") : title;
}

}  // namespace app
