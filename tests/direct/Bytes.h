#pragma once
// A builder of exact byte strings for protocol messages in tests.
#include <cstdint>
#include <string>
#include <string_view>

namespace direct_test {

class Bytes {
 public:
  Bytes& u8(uint8_t v) { return le(v, 1); }
  Bytes& u16(uint16_t v) { return le(v, 2); }
  Bytes& u24(uint32_t v) { return le(v, 3); }
  Bytes& u32(uint32_t v) { return le(v, 4); }
  Bytes& u64(uint64_t v) { return le(v, 8); }
  Bytes& str(std::string_view s) { s_.append(s); return *this; }
  Bytes& nul(std::string_view s) { s_.append(s); s_.push_back('\0'); return *this; }
  Bytes& zeros(size_t n) { s_.append(n, '\0'); return *this; }
  // A length-encoded string whose prefix is the shortest form.
  Bytes& lenenc(std::string_view s) {
    uint64_t n = s.size();
    if (n < 0xFB) u8(static_cast<uint8_t>(n));
    else if (n <= 0xFFFF) u8(0xFC).u16(static_cast<uint16_t>(n));
    else if (n <= 0xFFFFFF) u8(0xFD).u24(static_cast<uint32_t>(n));
    else u8(0xFE).u64(n);
    return str(s);
  }
  // A framed packet holding payload.
  Bytes& packet(std::string_view payload, uint8_t seq) { return u24(static_cast<uint32_t>(payload.size())).u8(seq).str(payload); }
  operator std::string() const { return s_; }
  operator std::string_view() const { return s_; }  // for calls only: views the builder
  const std::string& get() const { return s_; }

 private:
  Bytes& le(uint64_t v, int n) {
    for (int i = 0; i < n; ++i, v >>= 8) s_.push_back(static_cast<char>(v & 0xFF));
    return *this;
  }
  std::string s_;
};

inline std::string FromHex(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

// Protocol messages the fake server and the codec tests share.
inline std::string Ok(uint16_t status = 0x0002, uint8_t header = 0x00) {
  return Bytes().u8(header).u8(0).u8(0).u16(status).u16(0);
}
inline std::string Eof(uint16_t status = 0x0002) { return Bytes().u8(0xFE).u16(0).u16(status); }
inline std::string Err(uint16_t code, std::string_view message) {
  return Bytes().u8(0xFF).u16(code).str("#28000").str(message);
}
inline std::string ColumnDefinition(std::string_view name, uint8_t type, uint16_t flags = 0, uint16_t charsetnr = 45,
                                    uint32_t length = 40, uint8_t decimals = 0) {
  return Bytes().lenenc("def").lenenc("db1").lenenc("t").lenenc("t_org").lenenc(name).lenenc(std::string(name) + "_org")
      .u8(0x0C).u16(charsetnr).u32(length).u8(type).u16(flags).u8(decimals).u16(0);
}

}  // namespace direct_test
