#include "access/Escape.h"

#include <array>

namespace db {
namespace {

// The second byte of the backslash pair for each byte that needs one, 0 for the others.
constexpr std::array<char, 256> MakeEscapeTable() {
  std::array<char, 256> t{};
  t[0x00] = '0';
  t[0x0A] = 'n';
  t[0x0D] = 'r';
  t[0x1A] = 'Z';
  t['"'] = '"';
  t['\''] = '\'';
  t['\\'] = '\\';
  return t;
}
constexpr std::array<char, 256> kEscape = MakeEscapeTable();

}  // namespace

void AppendQuotedLiteral(std::string& out, std::string_view bytes, bool backslashes) {
  const size_t start = out.size();
  out.resize(start + 2 * bytes.size() + 2);
  char* w = out.data() + start;
  *w++ = '\'';
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (backslashes) {
    for (; p != end; ++p) {
      const char e = kEscape[static_cast<unsigned char>(*p)];
      if (e) {
        *w++ = '\\';
        *w++ = e;
      } else {
        *w++ = *p;
      }
    }
  } else {
    for (; p != end; ++p) {
      *w++ = *p;
      if (*p == '\'') *w++ = '\'';
    }
  }
  *w++ = '\'';
  out.resize(static_cast<size_t>(w - out.data()));
}

}  // namespace db
