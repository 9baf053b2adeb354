#include "app/AppClock.h"

namespace app {
namespace {
runfiles::Clock& Current() {
  static runfiles::Clock clock = runfiles::SystemClock();
  return clock;
}
}  // namespace

const runfiles::Clock& AppClock() { return Current(); }

void SetAppClock(runfiles::Clock clock) { Current() = clock ? std::move(clock) : runfiles::SystemClock(); }

}  // namespace app
