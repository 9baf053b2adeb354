#pragma once
// Every message box and folder chooser of the program goes through one interface, so that tests
// can answer them and see what the operator would have seen.
#include <QString>
#include <optional>

class QWidget;

namespace app {

enum class TMsgKind { Plain, Warning, Error };

class IPrompts {
 public:
  virtual ~IPrompts() = default;
  // Modal; returns when the operator has dismissed it.
  virtual void Message(QWidget* parent, TMsgKind kind, const QString& caption, const QString& text) = 0;
  // The chosen folder, or nothing when the operator cancels.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& acceptLabel,
                                              const QString& startFolder) = 0;
};

// The real dialogs unless a test has installed its own.
IPrompts& Prompts();
// nullptr restores the real dialogs; the caller keeps ownership.
void SetPrompts(IPrompts* prompts);

// While one lives, the real message boxes close by themselves after the given time, so that an
// unattended run does not wait for an operator who is not there.
class TAutoDismissMessages {
 public:
  explicit TAutoDismissMessages(int milliseconds);
  ~TAutoDismissMessages();
  TAutoDismissMessages(const TAutoDismissMessages&) = delete;
  TAutoDismissMessages& operator=(const TAutoDismissMessages&) = delete;

 private:
  int previous_;
};
// 0 while no TAutoDismissMessages lives.
int AutoDismissMilliseconds();

// Caption of the plain box and of the standard error box: the program's title.
QString ApplicationTitle();

}  // namespace app
