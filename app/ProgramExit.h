#pragma once
// Ending the whole program goes through here, so that a test records the request instead of
// ending the test runner (which would then count as passed).
#include <functional>

namespace app {

// Ends the program at once with this exit code; returns only when a test has replaced it.
void EndProgram(int exitCode);

// An empty function restores the real end.
void SetProgramExit(std::function<void(int)> exit);

}  // namespace app
