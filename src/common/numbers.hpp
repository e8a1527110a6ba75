// Amounts and integers: rounding, parsing and the fixed-width columns of the
// reports.
//
// Amounts are 80-bit extended reals. They are compared after Round4 (never
// with ==), shown with a decimal comma and '.' between thousands groups while
// the column width has room, and a zero amount is shown blank. Parsers never
// fail loudly: bad text gives 0. Nothing here reads the C locale.
//
// Any input is safe: an amount that is not a finite number (NaN, infinity)
// rounds to 0, formats blank and gives an empty NumberText; ParseNumber never
// returns one ("inf", "nan" and overflowing texts give 0). Texts are read
// whole, never cut to a capacity first, so a long text is not taken for a
// shorter number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.hpp"

namespace zel {

Amount Round4(Amount x);
Amount Round2(Amount x);  // halves go away from zero
bool AmountsDiffer(Amount a, Amount b);
bool BothZero(Amount a, Amount b);

// Shortest decimal text with a point ("12.5", "3"); empty for 0. decimals is
// taken within 0..20; the text holds every digit of a large number.
std::string NumberText(Amount x, int decimals);
// Decimal real with ',' or '.'; 0 for empty or invalid text.
Amount ParseNumber(std::string_view text);

// Right-aligned amount of exactly `width` characters (blank for zero); width
// is taken within 0..20, the column's capacity. When the whole digits alone
// are wider than the column it is filled with '*' (a cut number would read as
// another one). With no decimals the digits come back unfilled, as the
// grouping rule returns a text without a comma at once.
std::string FormatAmount(Amount x, int width, int decimals);
std::string Amount19(Amount x);    // FormatAmount(x, 19, 2)
std::string Amount15(Amount x);    // FormatAmount(x, 15, 2): the standard column
std::string Amount13x4(Amount x);  // FormatAmount(x, 13, 4) with trailing zeros blanked
// FormatAmount(x, width, 2) without the spaces that right-align it (what a
// report row keeps of the cell), written into `out` (room for 20
// characters); returns its length, 0 for a blank amount. For producers that
// write many amounts into report rows: the common amounts are laid out
// straight from their scaled digits, without a string; the rest go through
// FormatAmount.
std::size_t AmountCellTo(Amount x, int width, char* out);
// Turns trailing zeros (and then a bare ',') into spaces; the length stays.
// A text without a comma is left alone: its zeros are whole digits.
void BlankTrailingZeros(std::string& text);

std::string IntText(std::int64_t v, int width);  // width spaces for 0; width within 0..20
std::string IntTextOrEmpty(std::int64_t v);
std::string IntTextOrZero(std::int64_t v);
std::int32_t ParseInt(std::string_view text);           // 0 on error
std::int16_t ParseSmall(std::string_view text);         // -32766..32766, else 0
std::uint16_t ParseWord(std::string_view text);         // 1..65534, else 0
std::int16_t ClampSub(std::int64_t a, std::int64_t b);  // a - b within -32768..32767

}  // namespace zel
