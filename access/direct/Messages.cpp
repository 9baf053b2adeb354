#include "access/direct/Messages.h"

#include <string>

#include "access/direct/Framing.h"
#include "access/direct/Protocol.h"
#include "access/direct/Wire.h"

namespace db::direct {
namespace {

constexpr size_t kSqlStateSize = 5;
constexpr uint64_t kColumnFixedFieldsSize = 0x0C;
constexpr uint32_t kNumFlag = 32768;
constexpr uint8_t kTypeTimestamp = 7, kTypeInt24 = 9, kTypeYear = 13, kTypeNewDecimal = 246;

// https://dev.mysql.com/doc/c-api/8.0/en/c-api-data-structures.html (IS_NUM)
bool IsNumeric(const ColumnDef& c) {
  if (c.type == kTypeTimestamp) return c.length == 14 || c.length == 8;
  return c.type <= kTypeInt24 || c.type == kTypeYear || c.type == kTypeNewDecimal;
}

}  // namespace

OkPacket ParseOk(std::string_view payload) {
  WireReader r(payload);
  uint8_t header = r.u8();
  if (header != kOkHeader && header != kEofHeader) throw MySQLError(CR_MALFORMED_PACKET, "Malformed OK packet");
  OkPacket ok;
  ok.affectedRows = r.lenencInt();
  ok.lastInsertId = r.lenencInt();
  ok.statusFlags = r.u16();
  ok.warnings = r.u16();
  return ok;  // the info text and session-state changes that may follow are of no use to us
}

ServerError ParseErr(std::string_view payload) {
  WireReader r(payload);
  if (r.u8() != kErrHeader) throw MySQLError(CR_MALFORMED_PACKET, "Malformed error packet");
  uint16_t code = r.u16();
  if (!r.atEnd() && r.peek() == '#') r.skip(1 + kSqlStateSize);
  return ServerError(code, std::string(r.rest()));
}

uint16_t ParseEof(std::string_view payload) {
  WireReader r(payload);
  if (r.u8() != kEofHeader) throw MySQLError(CR_MALFORMED_PACKET, "Malformed EOF packet");
  r.u16();  // warnings
  return r.u16();
}

bool IsResultTerminator(std::string_view payload) {
  return !payload.empty() && static_cast<uint8_t>(payload[0]) == kEofHeader && payload.size() < kMaxPacketSize;
}

uint16_t ParseResultTerminator(std::string_view payload, bool deprecateEof) {
  return deprecateEof ? ParseOk(payload).statusFlags : ParseEof(payload);
}

ColumnDef ParseColumnDefinition(std::string_view payload) {
  WireReader r(payload);
  ColumnDef c;
  r.lenencString();  // catalog, always "def"
  c.db = r.lenencString();
  c.table = r.lenencString();
  c.orgTable = r.lenencString();
  c.name = r.lenencString();
  c.orgName = r.lenencString();
  if (r.lenencInt() != kColumnFixedFieldsSize)
    throw MySQLError(CR_MALFORMED_PACKET, "Malformed column definition: unexpected fixed-field length");
  c.charsetnr = r.u16();
  c.length = r.u32();
  c.type = r.u8();
  c.flags = r.u16();
  c.decimals = r.u8();
  r.skip(2);
  // The server leaves NUM_FLAG to the client library, which sets it from the type; so do we,
  // so that both modes report the same flags.
  if (IsNumeric(c)) c.flags |= kNumFlag;
  return c;
}

namespace {

[[noreturn]] void MalformedRow(const std::string& why) {
  throw MySQLError(CR_MALFORMED_PACKET, "Malformed row: " + why);
}

}  // namespace

// Parsed in place rather than through WireReader: this runs for every value of every row.
void ParseTextRow(std::string_view payload, FieldValue* values, size_t count) {
  const auto* p = reinterpret_cast<const unsigned char*>(payload.data());
  const auto* const end = p + payload.size();
  for (size_t i = 0; i < count; ++i) {
    FieldValue& v = values[i];
    if (p == end) MalformedRow("ends after " + std::to_string(i) + " of " + std::to_string(count) + " values");
    uint64_t n = *p++;
    if (n >= kNullMarker) {
      if (n == kNullMarker) {
        v = FieldValue{};
        continue;
      }
      if (n == 0xFF) MalformedRow("invalid length-encoded integer prefix 0xFF");
      const size_t width = n == 0xFC ? 2 : n == 0xFD ? 3 : 8;
      if (static_cast<size_t>(end - p) < width) MalformedRow("truncated length of value " + std::to_string(i + 1));
      n = 0;
      for (size_t k = width; k-- > 0;) n = (n << 8) | p[k];
      p += width;
    }
    if (n > static_cast<uint64_t>(end - p))
      MalformedRow("value " + std::to_string(i + 1) + " needs " + std::to_string(n) + " bytes, " +
                   std::to_string(end - p) + " left");
    v.data = reinterpret_cast<const char*>(p);
    v.length = static_cast<size_t>(n);
    v.isNull = false;
    p += n;
  }
  if (p != end)
    MalformedRow(std::to_string(end - p) + " bytes after the last of " + std::to_string(count) + " values");
}

}  // namespace db::direct
