#pragma once
// The server character sets the access layer names at connect: name, the number of its default
// collation (the handshake's character-set byte) and its maximum bytes per character.
#include <cstdint>
#include <optional>
#include <string_view>

namespace db {

struct CharsetInfo {
  std::string_view name;
  uint16_t defaultCollation;
  unsigned maxBytesPerChar;
};

// Looks a character set up by name, without regard to case ("utf8" is "utf8mb3").
std::optional<CharsetInfo> FindCharset(std::string_view name);
// Looks the character set of a collation number up; nullopt for numbers we do not know.
std::optional<CharsetInfo> FindCharsetOfCollation(uint16_t collation);

constexpr uint16_t kBinaryCollation = 63;

}  // namespace db
