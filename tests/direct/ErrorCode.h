#pragma once
// The code of the MySQLError that f throws, or 0 when it throws none.
#include "access/MySQLError.h"

namespace direct_test {

template <class F>
unsigned ErrorCode(F&& f) {
  try {
    f();
  } catch (const db::MySQLError& e) {
    return e.code();
  }
  return 0;
}

}  // namespace direct_test
