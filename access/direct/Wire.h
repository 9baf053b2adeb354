#pragma once
// Bounds-checked readers and little-endian writers of the protocol's basic data types.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace db::direct {

// A cursor over one packet payload. Every read checks the remaining length and throws
// MySQLError(CR_MALFORMED_PACKET) instead of reading past the end.
class WireReader {
 public:
  explicit WireReader(std::string_view bytes) : bytes_(bytes) {}

  size_t remaining() const { return bytes_.size() - pos_; }
  bool atEnd() const { return pos_ == bytes_.size(); }
  uint8_t peek() const;

  uint8_t u8();
  uint16_t u16();
  uint32_t u24();
  uint32_t u32();
  uint64_t u64();
  std::string_view fixed(size_t n);
  std::string_view rest();
  // Bytes up to a NUL, which is consumed; throws when there is none.
  std::string_view nulTerminated();
  // Bytes up to a NUL or the end, whichever comes first.
  std::string_view nulTerminatedOrRest();
  // https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_dt_integers.html
  // nullopt for the 0xFB marker (a NULL value in a row).
  std::optional<uint64_t> lenencIntOrNull();
  uint64_t lenencInt();
  // https://dev.mysql.com/doc/dev/mysql-server/latest/page_protocol_basic_dt_strings.html
  std::string_view lenencString();
  void skip(size_t n) { fixed(n); }

 private:
  void need(size_t n) const;
  std::string_view bytes_;
  size_t pos_ = 0;
};

inline constexpr uint8_t kNullMarker = 0xFB;

void PutU8(std::string& out, uint8_t v);
void PutU16(std::string& out, uint16_t v);
void PutU24(std::string& out, uint32_t v);
void PutU32(std::string& out, uint32_t v);
void PutU64(std::string& out, uint64_t v);
void PutLenencInt(std::string& out, uint64_t v);
void PutLenencString(std::string& out, std::string_view s);
void PutNulTerminated(std::string& out, std::string_view s);

}  // namespace db::direct
