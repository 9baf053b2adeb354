#pragma once
// Packet framing: a 4-byte header (3-byte little-endian length, 1-byte sequence id) before each
// piece of a payload; payloads of kMaxPacketSize bytes and more are split into several pieces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace db::direct {

inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kMaxPacketSize = 0xFFFFFF;
// The server allows 1 GiB; a row of that size carries a few bytes of framing around it.
inline constexpr size_t kMaxPayloadSize = (size_t{1} << 30) + (size_t{1} << 20);

struct PacketHeader {
  uint32_t length;
  uint8_t sequence;
};

PacketHeader ParseHeader(std::string_view header);  // exactly kHeaderSize bytes

// Where payload bytes come from: exactly n bytes, or a MySQLError.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual void read(char* dst, size_t n) = 0;
};

// https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_packets.html
// Reads one payload into out (replacing its content), joining split pieces. sequence is the id
// the first piece must carry and is advanced past the last one.
void ReadPayload(ByteSource& source, uint8_t& sequence, std::string& out, size_t maxPayload = kMaxPayloadSize);

// Appends the framed pieces of payload to wire, numbering them from sequence on.
void AppendFramed(std::string& wire, std::string_view payload, uint8_t& sequence);

}  // namespace db::direct
