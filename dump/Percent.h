#pragma once
#include <cstdint>

namespace dump {

// The percent of a row: the integer part of (recNo / rowCount) * 100, each operation rounded to
// a 64-bit mantissa (round to nearest, ties to even) as x87 extended precision does, capped at
// 99. Computed with integers, so every compiler and processor gives the same values.
int RowPercent(int64_t recNo, int64_t rowCount);

}  // namespace dump
