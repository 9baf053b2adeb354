#pragma once
// The connection phase: greeting, handshake response and the authentication exchange.
#include <cstdint>
#include <string>

#include "access/Session.h"
#include "access/direct/Connection.h"

namespace db::direct {

struct LoginResult {
  std::string serverVersion;  // without the "5.5.5-" prefix
  uint32_t clientFlags = 0;
  uint16_t statusFlags = 0;
};

// Runs the whole login on a fresh connection; throws MySQLError with the server's code and
// message when it refuses.
LoginResult Login(Connection& conn, const ConnectParams& params, uint8_t collation);

}  // namespace db::direct
