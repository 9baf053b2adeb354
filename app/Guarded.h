#pragma once
// The standard error box: an event handler's body runs inside guarded(...), so an exception is
// shown with its own message and the program goes on. Qt does not let an exception cross its
// frames, and handlers run nested inside exec() and processEvents().
#include <exception>
#include <string_view>
#include <utility>

namespace app {

void ShowErrorBox(std::string_view message) noexcept;

template <typename F>
void guarded(F&& body) noexcept {
  try {
    std::forward<F>(body)();
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  } catch (...) {
    ShowErrorBox("Erro desconhecido");
  }
}

}  // namespace app
