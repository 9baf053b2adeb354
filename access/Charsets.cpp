#include "access/Charsets.h"

#include "platform/AsciiText.h"

namespace db {
namespace {

struct Collation {
  uint16_t number;
  std::string_view charset;
  unsigned maxBytesPerChar;
  bool isDefault;
};

// The server's collation numbers (SHOW COLLATION) for the character sets we may meet.
constexpr Collation kCollations[] = {
    {8, "latin1", 1, true},     {5, "latin1", 1, false},    {15, "latin1", 1, false},
    {31, "latin1", 1, false},   {47, "latin1", 1, false},   {48, "latin1", 1, false},
    {49, "latin1", 1, false},   {94, "latin1", 1, false},   {11, "ascii", 1, true},
    {65, "ascii", 1, false},    {33, "utf8mb3", 3, true},   {83, "utf8mb3", 3, false},
    {192, "utf8mb3", 3, false}, {223, "utf8mb3", 3, false}, {45, "utf8mb4", 4, true},
    {46, "utf8mb4", 4, false},  {224, "utf8mb4", 4, false}, {246, "utf8mb4", 4, false},
    {255, "utf8mb4", 4, false}, {63, "binary", 1, true},    {26, "cp1250", 1, true},
    {34, "cp1250", 1, false},   {44, "cp1250", 1, false},   {66, "cp1250", 1, false},
    {99, "cp1250", 1, false},   {51, "cp1251", 1, true},    {14, "cp1251", 1, false},
    {52, "cp1251", 1, false},   {57, "cp1256", 1, true},    {59, "cp1257", 1, true},
    {9, "latin2", 1, true},     {30, "latin5", 1, true},    {32, "armscii8", 1, true},
    {4, "cp850", 1, true},      {80, "cp850", 1, false},    {40, "cp852", 1, true},
    {7, "koi8r", 1, true},      {22, "koi8u", 1, true},     {25, "greek", 1, true},
    {16, "hebrew", 1, true},    {18, "tis620", 1, true},    {19, "euckr", 2, true},
    {28, "gbk", 2, true},       {24, "gb2312", 2, true},    {1, "big5", 2, true},
    {13, "sjis", 2, true},      {95, "cp932", 2, true},     {12, "ujis", 3, true},
    {35, "ucs2", 2, true},      {54, "utf16", 4, true},     {56, "utf16le", 4, true},
    {60, "utf32", 4, true},
};

CharsetInfo InfoOf(const Collation& c) {
  for (const Collation& d : kCollations)
    if (d.isDefault && d.charset == c.charset) return {d.charset, d.number, d.maxBytesPerChar};
  return {c.charset, c.number, c.maxBytesPerChar};
}

}  // namespace

std::optional<CharsetInfo> FindCharset(std::string_view name) {
  if (platform::SameTextAscii(name, "utf8")) name = "utf8mb3";
  for (const Collation& c : kCollations)
    if (c.isDefault && platform::SameTextAscii(c.charset, name)) return InfoOf(c);
  return std::nullopt;
}

std::optional<CharsetInfo> FindCharsetOfCollation(uint16_t collation) {
  for (const Collation& c : kCollations)
    if (c.number == collation) return InfoOf(c);
  return std::nullopt;
}

}  // namespace db
