#include "app/ProgramExit.h"

#include <cstdio>
#include <cstdlib>

namespace app {
namespace {
std::function<void(int)> replacement;
}

void EndProgram(int exitCode) {
  if (replacement) {
    replacement(exitCode);
    return;
  }
  std::fflush(nullptr);
  std::exit(exitCode);
}

void SetProgramExit(std::function<void(int)> exit) { replacement = std::move(exit); }

}  // namespace app
