#include "access/Escape.h"

#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

#ifdef __SSE2__
// Advances p and w over the leading bytes that need no escape, 16 at a time. Each block is
// stored whole before it is known to be clean: the caller reserved twice the input, so the
// store stays inside the string however many escapes came before.
inline void CopyPlainBlocks(const char*& p, const char* end, char*& w) {
  const __m128i zero = _mm_setzero_si128(), lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'),
                ctrlZ = _mm_set1_epi8('\x1A'), dquote = _mm_set1_epi8('"'), squote = _mm_set1_epi8('\''),
                backslash = _mm_set1_epi8('\\');
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, lf));
    hit = _mm_or_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, ctrlZ)));
    hit = _mm_or_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(v, dquote), _mm_cmpeq_epi8(v, squote)));
    hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, backslash));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) {
      const unsigned plain = static_cast<unsigned>(__builtin_ctz(mask));
      p += plain;
      w += plain;
      return;
    }
    p += 16;
    w += 16;
  }
}
#endif

}  // namespace

void AppendQuotedLiteral(std::string& out, std::string_view bytes, bool backslashes) {
  const size_t start = out.size();
  out.resize(start + 2 * bytes.size() + 2);
  char* w = out.data() + start;
  *w++ = '\'';
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (backslashes) {
    while (p != end) {
#ifdef __SSE2__
      CopyPlainBlocks(p, end, w);
      if (end - p >= 16) {  // stopped at a byte to escape
        *w++ = '\\';
        *w++ = kEscape[static_cast<unsigned char>(*p++)];
        continue;
      }
#endif
      for (; p != end; ++p) {
        const char e = kEscape[static_cast<unsigned char>(*p)];
        if (e) {
          *w++ = '\\';
          *w++ = e;
        } else {
          *w++ = *p;
        }
      }
    }
  } else {
    // Runs between quotes are copied at once.
    while (p != end) {
      const char* q = static_cast<const char*>(std::memchr(p, '\'', static_cast<size_t>(end - p)));
      const char* const stop = q ? q + 1 : end;
      std::memcpy(w, p, static_cast<size_t>(stop - p));
      w += stop - p;
      if (q) *w++ = '\'';
      p = stop;
    }
  }
  *w++ = '\'';
  out.resize(static_cast<size_t>(w - out.data()));
}

}  // namespace db
