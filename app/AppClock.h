#pragma once
// The program's one source of the current time (run folder names, the schedule), so tests can
// fix it.
#include <ctime>

#include "runfiles/RunFolder.h"

namespace app {

const runfiles::Clock& AppClock();
// An empty clock restores the system's.
void SetAppClock(runfiles::Clock clock);

inline std::time_t Now() { return AppClock()(); }

}  // namespace app
