#pragma once
// The seam between the access layer's components and the two ways of talking to a server:
// the client library (LibSession) and our own protocol implementation (DirectSession).
// Everything above this header is the same for both modes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace db {

struct ConnectParams {
  std::string host;  // never empty here: the connection maps "" to "localhost"
  unsigned port = 3306;
  std::string user;
  std::string password;
  std::string database;      // empty: connect without a default database
  std::string charset;       // character set name sent at connect, e.g. "utf8mb4"
  int connectTimeoutSec = 15;  // covers the TCP connect and the whole handshake
  int readTimeoutSec = 600;    // silence allowed on an established connection
};

// One column definition of a result, as the server sent it.
struct ColumnDef {
  std::string name;
  std::string orgName;
  std::string table;
  std::string orgTable;
  std::string db;
  uint8_t type = 0;        // protocol type code (MYSQL_TYPE_*)
  uint32_t flags = 0;      // column flags (NOT_NULL 1, BINARY 128, ENUM 256, SET 2048, ...)
  uint16_t charsetnr = 0;  // collation number; 63 = binary
  uint32_t length = 0;     // column length in bytes of the result's character set
  uint8_t decimals = 0;
};

// A value of the current row: a view of its exact bytes (embedded zero bytes included).
struct FieldValue {
  const char* data = nullptr;
  size_t length = 0;
  bool isNull = true;
  std::string_view bytes() const { return {data, length}; }
};

// An open result. Rows come one at a time; the values of a row stay valid until the next
// fetch() or the result's destruction.
class ResultSet {
 public:
  virtual ~ResultSet() = default;
  virtual const std::vector<ColumnDef>& columns() const = 0;
  // Moves to the next row and returns its values (columns().size() of them), or nullptr at
  // the end. Throws MySQLError when the server or the connection fails mid-result.
  virtual const FieldValue* fetch() = 0;
};

// A live connection to a server. Not thread-safe; one statement at a time: while a streaming
// result is open, any other call throws MySQLError(CR_COMMANDS_OUT_OF_SYNC).
class Session {
 public:
  virtual ~Session() = default;
  // Runs one statement. For a statement with a result set returns it: streaming (rows read
  // from the network as fetch() is called, nothing kept) or buffered (all rows read first).
  // For a statement without one returns nullptr.
  virtual std::unique_ptr<ResultSet> query(std::string_view sql, bool streaming) = 0;
  // Server version as the client library reports it (e.g. "10.11.19-MariaDB-0+deb12u1",
  // without the "5.5.5-" prefix of the handshake).
  virtual std::string serverVersion() const = 0;
  // The character set in use on the connection (e.g. "utf8mb4").
  virtual std::string characterSetName() const = 0;
  // Maximum bytes per character of that character set.
  virtual unsigned maxBytesPerChar() const = 0;
  // The server's last status says string literals take no backslash escapes.
  virtual bool noBackslashEscapes() const = 0;
  // Client library version text (for script headers).
  virtual std::string clientVersion() const = 0;
};

std::unique_ptr<Session> OpenLibSession(const ConnectParams& params);
std::unique_ptr<Session> OpenDirectSession(const ConnectParams& params);

}  // namespace db
