// Builds without the direct-protocol mode: opening a connection in that mode fails clearly.
#include "access/MySQLError.h"
#include "access/Session.h"

namespace db {
std::unique_ptr<Session> OpenDirectSession(const ConnectParams&) {
  throw MySQLError(CR_UNKNOWN_ERROR, "The direct protocol mode is not available in this build");
}
}  // namespace db
