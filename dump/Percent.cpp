#include "dump/Percent.h"

namespace dump {
namespace {

// A positive binary number mantissa * 2^exponent with the mantissa's top bit set.
struct Extended {
  uint64_t mantissa;
  int exponent;
};

int BitLength(uint64_t v) {
  int n = 0;
  while (v) {
    ++n;
    v >>= 1;
  }
  return n;
}

// a / b rounded to 64 significant bits, by long division one bit at a time.
Extended Divide(uint64_t a, uint64_t b) {
  uint64_t q = a / b;
  uint64_t r = a % b;
  uint64_t m = q;
  int bits = BitLength(q);
  int exponent = 0;
  auto nextBit = [&] {
    // r < b < 2^63, so 2r does not overflow.
    r <<= 1;
    const bool bit = r >= b;
    if (bit) r -= b;
    return bit;
  };
  while (bits < 64) {
    const bool bit = nextBit();
    --exponent;
    if (bits == 0 && !bit) continue;  // leading zeros of the fraction
    m = (m << 1) | (bit ? 1 : 0);
    ++bits;
  }
  const bool guard = nextBit();
  const bool sticky = r != 0;
  if (guard && (sticky || (m & 1))) {
    if (++m == 0) {
      m = uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {m, exponent};
}

// x * 100 rounded to 64 significant bits.
Extended Times100(Extended x) {
  const uint64_t lo32 = x.mantissa & 0xFFFFFFFFu;
  const uint64_t hi32 = x.mantissa >> 32;
  const uint64_t t = lo32 * 100;  // < 2^39
  const uint64_t u = hi32 * 100;  // < 2^39
  uint64_t lo = t + (u << 32);
  const uint64_t carry = lo < t ? 1 : 0;
  uint64_t hi = (u >> 32) + carry;  // the product is hi * 2^64 + lo, hi < 2^7
  const int shift = BitLength(hi);   // bits to drop to keep 64
  if (shift == 0) return {lo, x.exponent};
  const uint64_t dropped = lo & ((uint64_t{1} << shift) - 1);
  const uint64_t half = uint64_t{1} << (shift - 1);
  uint64_t m = (lo >> shift) | (hi << (64 - shift));
  int exponent = x.exponent + shift;
  if (dropped > half || (dropped == half && (m & 1))) {
    if (++m == 0) {
      m = uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {m, exponent};
}

}  // namespace

int RowPercent(int64_t recNo, int64_t rowCount) {
  if (rowCount <= 0 || recNo <= 0) return recNo > 0 ? 99 : 0;
  // The two roundings move the product by at most 100 * 2^-63, less than the distance 1/rowCount
  // of any inexact quotient from an integer: only an exact 100 * recNo / rowCount (which the
  // roundings can pull below its integer) needs the extended evaluation.
  constexpr int64_t kExactBelow = int64_t{1} << 56;
  if (recNo < kExactBelow && rowCount < kExactBelow) {
    const uint64_t hundredfold = static_cast<uint64_t>(recNo) * 100;
    const auto count = static_cast<uint64_t>(rowCount);
    if (hundredfold % count != 0) {
      const uint64_t whole = hundredfold / count;
      return whole > 99 ? 99 : static_cast<int>(whole);
    }
  }
  const Extended p = Times100(Divide(static_cast<uint64_t>(recNo), static_cast<uint64_t>(rowCount)));
  if (p.exponent >= 0) return 99;  // at least 2^63
  const int drop = -p.exponent;
  const uint64_t whole = drop >= 64 ? 0 : p.mantissa >> drop;
  return whole > 99 ? 99 : static_cast<int>(whole);
}

}  // namespace dump
