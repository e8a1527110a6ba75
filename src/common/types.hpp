// The two value types every subsystem shares.
//
// DayNo counts days since 1 January 1920 (0 doubles as the empty date; the
// usable range is 1..43829, up to 31 December 2039). Amount is the x87 80-bit
// extended real: money is never held as integer grosze, and two amounts are
// equal when they agree after rounding to four decimals (see numbers.hpp).
#pragma once

#include <cfloat>
#include <cstdint>

namespace zel {

using DayNo = std::uint16_t;
using Amount = long double;

inline constexpr DayNo kLastDay = 43829;  // 31-12-2039

static_assert(LDBL_MANT_DIG == 64, "Amount must be the 80-bit extended real");

}  // namespace zel
