#pragma once
// Errors of the MySQL access layer: the server's own message and code, or a client-side failure
// (time-out, lost connection, protocol violation) with a client error code.
#include <stdexcept>
#include <string>

namespace db {

// Client error codes, the numbers the MySQL client library uses for the same conditions.
enum ClientError : unsigned {
  CR_UNKNOWN_ERROR = 2000,
  CR_CONNECTION_ERROR = 2002,
  CR_CONN_HOST_ERROR = 2003,
  CR_UNKNOWN_HOST = 2005,
  CR_SERVER_GONE_ERROR = 2006,
  CR_SERVER_LOST = 2013,
  CR_COMMANDS_OUT_OF_SYNC = 2014,
  CR_MALFORMED_PACKET = 2027,
  CR_NET_PACKET_TOO_LARGE = 2020,
};

class MySQLError : public std::runtime_error {
 public:
  MySQLError(unsigned code, const std::string& message) : std::runtime_error(message), code_(code) {}
  // The server's error number (1045 access denied, 1146 no such table, ...) or a ClientError.
  unsigned code() const { return code_; }

 private:
  unsigned code_;
};

}  // namespace db
