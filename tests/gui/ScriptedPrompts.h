#pragma once
// Message boxes and folder choices answered by the test, for the windows' tests.
#include <QString>
#include <deque>
#include <optional>

#include "app/Prompts.h"

namespace {

using app::TMsgKind;

// Answers every box at once and records it; folder choices take their answers from a queue.
// A prompt the test does not take off the record is an unexpected one (see cleanup()).
struct Prompt {
  bool folder = false;
  TMsgKind kind = TMsgKind::Plain;
  QString caption, text;  // for a folder choice: title and confirmation label
  QString start;
};

class TScriptedPrompts final : public app::IPrompts {
 public:
  std::deque<Prompt> shown;
  std::deque<QString> folderAnswers;  // a null text cancels
  bool unansweredFolder = false;

  void Message(QWidget*, TMsgKind kind, const QString& caption, const QString& text) override {
    shown.push_back({false, kind, caption, text, {}});
  }
  std::optional<QString> ChooseFolder(QWidget*, const QString& title, const QString& label,
                                      const QString& start) override {
    shown.push_back({true, TMsgKind::Plain, title, label, start});
    if (folderAnswers.empty()) {
      unansweredFolder = true;
      return std::nullopt;
    }
    const QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
  }
  Prompt Take() {
    if (shown.empty()) return {true, TMsgKind::Plain, "<nenhum>", "<nenhum>", {}};
    Prompt p = shown.front();
    shown.pop_front();
    return p;
  }
};

}  // namespace
