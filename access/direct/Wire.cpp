#include "access/direct/Wire.h"


#include "access/MySQLError.h"

namespace db::direct {

void WireReader::need(size_t n) const {
  if (n > remaining())
    throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: needs " + std::to_string(n) +
                                              " more bytes at offset " + std::to_string(pos_) + " of " +
                                              std::to_string(bytes_.size()));
}

uint8_t WireReader::peek() const {
  need(1);
  return static_cast<uint8_t>(bytes_[pos_]);
}

uint8_t WireReader::u8() {
  uint8_t v = peek();
  ++pos_;
  return v;
}

namespace {
uint64_t LittleEndian(std::string_view b) {
  uint64_t v = 0;
  for (size_t i = b.size(); i-- > 0;) v = (v << 8) | static_cast<uint8_t>(b[i]);
  return v;
}
}  // namespace

uint16_t WireReader::u16() { return static_cast<uint16_t>(LittleEndian(fixed(2))); }
uint32_t WireReader::u24() { return static_cast<uint32_t>(LittleEndian(fixed(3))); }
uint32_t WireReader::u32() { return static_cast<uint32_t>(LittleEndian(fixed(4))); }
uint64_t WireReader::u64() { return LittleEndian(fixed(8)); }

std::string_view WireReader::fixed(size_t n) {
  need(n);
  std::string_view v = bytes_.substr(pos_, n);
  pos_ += n;
  return v;
}

std::string_view WireReader::rest() { return fixed(remaining()); }

std::string_view WireReader::nulTerminated() {
  size_t end = bytes_.find('\0', pos_);
  if (end == std::string_view::npos)
    throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: unterminated string at offset " + std::to_string(pos_));
  std::string_view v = bytes_.substr(pos_, end - pos_);
  pos_ = end + 1;
  return v;
}

std::string_view WireReader::nulTerminatedOrRest() {
  size_t end = bytes_.find('\0', pos_);
  if (end == std::string_view::npos) return rest();
  return nulTerminated();
}

std::optional<uint64_t> WireReader::lenencIntOrNull() {
  uint8_t first = u8();
  if (first < 0xFB) return first;
  switch (first) {
    case kNullMarker: return std::nullopt;
    case 0xFC: return u16();
    case 0xFD: return u24();
    case 0xFE: return u64();
  }
  throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: invalid length-encoded integer prefix 0xFF");
}

uint64_t WireReader::lenencInt() {
  std::optional<uint64_t> v = lenencIntOrNull();
  if (!v) throw MySQLError(CR_MALFORMED_PACKET, "Malformed packet: unexpected NULL marker");
  return *v;
}

std::string_view WireReader::lenencString() {
  uint64_t n = lenencInt();
  if (n > remaining()) need(n > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(n));
  return fixed(static_cast<size_t>(n));
}

void PutU8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }

namespace {
void PutLittleEndian(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i, v >>= 8) out.push_back(static_cast<char>(v & 0xFF));
}
}  // namespace

void PutU16(std::string& out, uint16_t v) { PutLittleEndian(out, v, 2); }
void PutU24(std::string& out, uint32_t v) { PutLittleEndian(out, v, 3); }
void PutU32(std::string& out, uint32_t v) { PutLittleEndian(out, v, 4); }
void PutU64(std::string& out, uint64_t v) { PutLittleEndian(out, v, 8); }

void PutLenencInt(std::string& out, uint64_t v) {
  if (v < 0xFB) {
    PutU8(out, static_cast<uint8_t>(v));
  } else if (v <= 0xFFFF) {
    PutU8(out, 0xFC);
    PutLittleEndian(out, v, 2);
  } else if (v <= 0xFFFFFF) {
    PutU8(out, 0xFD);
    PutLittleEndian(out, v, 3);
  } else {
    PutU8(out, 0xFE);
    PutLittleEndian(out, v, 8);
  }
}

void PutLenencString(std::string& out, std::string_view s) {
  PutLenencInt(out, s.size());
  out.append(s);
}

void PutNulTerminated(std::string& out, std::string_view s) {
  out.append(s);
  out.push_back('\0');
}

}  // namespace db::direct
