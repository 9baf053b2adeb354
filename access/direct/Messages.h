#pragma once
// The server's generic replies and the parts of a text result set.
#include <cstdint>
#include <string_view>

#include "access/MySQLError.h"
#include "access/Session.h"

namespace db::direct {

// An error the server reported; the connection stays usable after it, unlike after client errors.
class ServerError : public MySQLError {
 public:
  using MySQLError::MySQLError;
};

struct OkPacket {
  uint64_t affectedRows = 0;
  uint64_t lastInsertId = 0;
  uint16_t statusFlags = 0;
  uint16_t warnings = 0;
};

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_ok_packet.html
// Accepts the 0x00 header and, for the end of a result with DEPRECATE_EOF, 0xFE.
OkPacket ParseOk(std::string_view payload);

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_err_packet.html
// The server's error as an exception object (to throw); the SQL state marker is optional
// because errors sent before the handshake lack it.
ServerError ParseErr(std::string_view payload);

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_eof_packet.html
// Returns the status flags.
uint16_t ParseEof(std::string_view payload);

// Whether a packet of a result's row stream is its terminator (EOF, or OK with DEPRECATE_EOF)
// rather than a row: a row can start with 0xFE too, but then it is at least kMaxPacketSize long.
bool IsResultTerminator(std::string_view payload);

// Parses the terminator of a result (EOF or OK form) and returns its status flags.
uint16_t ParseResultTerminator(std::string_view payload, bool deprecateEof);

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_com_query_response_text_resultset_column_definition.html
ColumnDef ParseColumnDefinition(std::string_view payload);

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_com_query_response_text_resultset_row.html
// Fills values[0..count) with views into payload; throws unless the row holds exactly count values.
void ParseTextRow(std::string_view payload, FieldValue* values, size_t count);

}  // namespace db::direct
