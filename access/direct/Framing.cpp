#include "access/direct/Framing.h"

#include <algorithm>

#include "access/MySQLError.h"
#include "access/direct/Wire.h"

namespace db::direct {

PacketHeader ParseHeader(std::string_view header) {
  if (header.size() != kHeaderSize) throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet header");
  WireReader r(header);
  uint32_t length = r.u24();
  return {length, r.u8()};
}

void ReadPayload(ByteSource& source, uint8_t& sequence, std::string& out, size_t maxPayload) {
  out.clear();
  for (;;) {
    char raw[kHeaderSize];
    source.read(raw, kHeaderSize);
    PacketHeader h = ParseHeader({raw, kHeaderSize});
    if (h.sequence != sequence)
      throw MySQLError(CR_MALFORMED_PACKET, "Packets out of order (got " + std::to_string(h.sequence) +
                                                ", expected " + std::to_string(sequence) + ")");
    ++sequence;
    // Checked before growing, so a hostile length never turns into a huge allocation.
    if (h.length > maxPayload - out.size())
      throw MySQLError(CR_NET_PACKET_TOO_LARGE,
                       "Got a packet bigger than " + std::to_string(maxPayload) + " bytes");
    size_t old = out.size();
    out.resize(old + h.length);
    if (h.length) source.read(out.data() + old, h.length);
    if (h.length < kMaxPacketSize) return;
  }
}

void AppendFramed(std::string& wire, std::string_view payload, uint8_t& sequence) {
  // A payload of exactly n * kMaxPacketSize ends with an empty piece, so the loop runs once more.
  size_t pos = 0;
  for (;;) {
    size_t n = std::min(payload.size() - pos, kMaxPacketSize);
    PutU24(wire, static_cast<uint32_t>(n));
    PutU8(wire, sequence++);
    wire.append(payload.substr(pos, n));
    pos += n;
    if (n < kMaxPacketSize) return;
  }
}

}  // namespace db::direct
