#include "app/Guarded.h"

#include <QApplication>
#include <QString>

#include "app/Prompts.h"

namespace app {

void ShowErrorBox(std::string_view message) noexcept {
  try {
    Prompts().Message(QApplication::activeWindow(), TMsgKind::Error, ApplicationTitle(),
                      QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
  } catch (...) {
    // Nothing is left to tell the operator with; the program must go on.
  }
}

}  // namespace app
