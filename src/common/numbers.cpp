#include "common/numbers.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace zel {
namespace {

constexpr int kMaxDecimals = 20;
constexpr int kMaxWidth = 20;  // the capacity of an amount or integer column

using U128 = unsigned __int128;

constexpr Amount kTwo63 = 9223372036854775808.0L;  // from here on every value is whole

std::uint64_t Pow10(int d) {
  std::uint64_t p = 1;
  while (d-- > 0) p *= 10;
  return p;
}

// |x| times 10^d rounded to the nearest whole number, exact ties to even:
// the rounding of the exact binary value that a decimal text of d decimals
// shows. Only for finite |x| below 2^63 and d within 0..19, where the product
// of the 64-bit mantissa and 10^d fits 128 bits; false otherwise.
bool ScaledWhole(Amount x, int d, U128* k) {
  const Amount ax = std::fabs(x);
  if (!(ax < kTwo63) || d < 0 || d > 19) return false;
  if (ax == 0) {
    *k = 0;
    return true;
  }
  // The 64-bit mantissa and the exponent straight from the value's bytes
  // (ax = m / 2^shift): frexp and ldexp are library calls, and this runs for
  // every amount rounded or written. A denormal (exponent field 0, the top
  // mantissa bit clear) goes through frexp.
  std::uint64_t m = 0;
  int exp = 0;
  unsigned char raw[sizeof(Amount)];
  std::memcpy(raw, &ax, sizeof raw);
  std::memcpy(&m, raw, sizeof m);
  const int biased = (raw[8] | (raw[9] << 8)) & 0x7FFF;
  if (biased != 0 && (m >> 63) != 0) {
    exp = biased - 16382;
  } else {
    const Amount frac = std::frexp(ax, &exp);
    if (!(frac >= 0.5L && frac < 1.0L)) return false;
    m = static_cast<std::uint64_t>(std::ldexp(frac, 64));
  }
  const int shift = 64 - exp;  // ax = m / 2^shift, shift >= 1
  const U128 p = static_cast<U128>(m) * Pow10(d);
  if (shift > 128) {
    *k = 0;
    return true;
  }
  const U128 half = static_cast<U128>(1) << (shift - 1);
  const U128 q = shift == 128 ? 0 : p >> shift;
  const U128 rem = shift == 128 ? p : p & ((half << 1) - 1);
  *k = q + (rem > half || (rem == half && (q & 1) != 0) ? 1 : 0);
  return true;
}

// Room DigitsInto needs: 39 digits (below 2^63 scaled by at most 10^19),
// a sign and a point.
constexpr std::size_t kDigitsRoom = 48;

// x written with d decimals, a point and a leading '-' for negatives, the
// last digit rounded to the nearest, into out (kDigitsRoom characters): the
// common range, done in whole numbers. False (nothing written) outside it.
void WholeDigitsInto(U128 k, int decimals, bool negative, char* out, std::size_t* size) {
  char digits[kDigitsRoom];
  int n = 0;
  // Amounts fit 64 bits: their digits come without 128-bit divisions.
  while (k > ~std::uint64_t{0}) {
    digits[n++] = static_cast<char>('0' + static_cast<int>(k % 10));
    k /= 10;
  }
  auto small_k = static_cast<std::uint64_t>(k);
  do {
    digits[n++] = static_cast<char>('0' + static_cast<int>(small_k % 10));
    small_k /= 10;
  } while (small_k != 0);
  while (n < decimals + 1) digits[n++] = '0';
  std::size_t at = 0;
  if (negative) out[at++] = '-';
  for (int i = n - 1; i >= 0; --i) {
    out[at++] = digits[i];
    if (i == decimals && decimals > 0) out[at++] = '.';
  }
  *size = at;
}

bool DigitsInto(Amount x, int decimals, char* out, std::size_t* size) {
  if (!std::isfinite(x)) return false;
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  U128 k = 0;
  if (!ScaledWhole(x, decimals, &k)) return false;
  WholeDigitsInto(k, decimals, std::signbit(x), out, size);
  return true;
}

// The digits DigitsInto writes for Round4(x) with at most 4 decimals, from
// one scaling of x: x rounded to 4 decimals is k4 units of 10^-4, and Round4
// gives the value nearest to k4 / 10^4, off by less than half a unit of the
// last place kept, so rounding it to fewer decimals rounds k4 itself, except
// for an exact half, where the side that value fell on decides. *size is 0
// when Round4(x) is 0. False (for the long way) outside 2^63 units, with
// more decimals, or on such a half.
bool Round4DigitsInto(Amount x, int decimals, char* out, std::size_t* size) {
  if (decimals < 0 || decimals > 4) return false;
  U128 k4 = 0;
  if (!ScaledWhole(x, 4, &k4) || k4 >= static_cast<U128>(1) << 63) return false;
  if (k4 == 0) {
    *size = 0;
    return true;
  }
  const auto units = static_cast<std::uint64_t>(k4);
  std::uint64_t k = 0;
  std::uint64_t rest = 0;
  std::uint64_t divisor = 0;
  if (decimals == 2) {  // the common column, with a constant divisor
    divisor = 100;
    k = units / 100;
    rest = units % 100;
  } else {
    divisor = Pow10(4 - decimals);
    k = units / divisor;
    rest = units % divisor;
  }
  if (divisor > 1 && 2 * rest == divisor) return false;
  if (2 * rest > divisor) ++k;
  WholeDigitsInto(k, decimals, std::signbit(x), out, size);
  return true;
}

// x written with d decimals, a point and a leading '-' for negatives, the
// last digit rounded to the nearest; never from the C locale. The common
// range is done in whole numbers; the rest goes through std::to_chars, which
// rounds the same way. A value that is not a finite number gives "".
std::string FixedDigits(Amount x, int decimals) {
  if (!std::isfinite(x)) return "";
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  char fast[kDigitsRoom];
  if (std::size_t n = 0; DigitsInto(x, decimals, fast, &n)) return std::string(fast, n);
  char small[96];
  auto res = std::to_chars(small, small + sizeof small, x, std::chars_format::fixed, decimals);
  if (res.ec == std::errc()) return std::string(small, res.ptr);
  // The largest extended real has 4933 integer digits.
  std::vector<char> big(5000 + kMaxDecimals);
  res = std::to_chars(big.data(), big.data() + big.size(), x, std::chars_format::fixed, decimals);
  if (res.ec != std::errc()) return "";
  return std::string(big.data(), res.ptr);
}

// x rounded to d decimals as reading back its decimal text gives it. A whole
// number of scaled units below 2^64 converts exactly, and one correctly
// rounded division then yields the value nearest to the decimal text.
Amount RoundTo(Amount x, int d) {
  if (!std::isfinite(x)) return 0;
  if (std::fabs(x) >= kTwo63) return x;
  if (U128 k = 0; ScaledWhole(x, d, &k) && k < static_cast<U128>(1) << 64) {
    const Amount v =
        static_cast<Amount>(static_cast<std::uint64_t>(k)) / static_cast<Amount>(Pow10(d));
    return std::signbit(x) ? -v : v;
  }
  return ParseNumber(NumberText(x, d));
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A decimal real: optional sign, digits with at most one point (at least one
// digit), optional exponent. Nothing else, so "inf", "nan", hex forms and
// trailing spaces are refused.
bool IsDecimalReal(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  return i == s.size();
}

}  // namespace

std::string NumberText(Amount x, int decimals) {
  if (x == 0) return "";
  std::string s = FixedDigits(x, decimals);
  if (decimals > 0 && s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

Amount ParseNumber(std::string_view text) {
  std::string s(text);
  std::size_t start = s.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  s.erase(0, start);
  if (std::size_t comma = s.find(','); comma != std::string::npos) s[comma] = '.';
  if (!IsDecimalReal(s)) return 0;
  const char* first = s.data();
  if (*first == '+') ++first;
  Amount value = 0;
  auto res = std::from_chars(first, s.data() + s.size(), value);
  // Out of the range of the type (either way) counts as invalid.
  if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(value)) return 0;
  return value;
}

Amount Round4(Amount x) {
  return RoundTo(x, 4);
}

Amount Round2(Amount x) {
  if (!std::isfinite(x)) return 0;
  return RoundTo(x > 0 ? x + 0.000001L : x - 0.000001L, 2);
}

bool AmountsDiffer(Amount a, Amount b) {
  // Round4(a - b) != 0 without making the rounded value: below 2^63 it is 0
  // exactly when the difference rounds to 0 units of 10^-4; from there on
  // Round4 keeps the value, which is not 0; what is not a number rounds to 0.
  const Amount d = a - b;
  if (!std::isfinite(d)) return false;
  if (U128 k = 0; ScaledWhole(d, 4, &k)) return k != 0;
  return true;
}

bool BothZero(Amount a, Amount b) {
  return Round4(a) == 0 && Round4(b) == 0;
}

void BlankTrailingZeros(std::string& text) {
  // Only decimals are blanked: without a comma the zeros belong to the whole
  // number and must stay ("1000" is not "1").
  if (text.find(',') == std::string::npos) return;
  std::size_t i = text.size();
  while (i > 0 && text[i - 1] == '0') text[--i] = ' ';
  if (i > 0 && text[i - 1] == ',') text[i - 1] = ' ';
}

std::string FormatAmount(Amount x, int width, int decimals) {
  const std::size_t w = static_cast<std::size_t>(std::clamp(width, 0, kMaxWidth));
  // The digits of the common range are written into a buffer of this
  // function, the rest come as a string; the column is laid out in a second
  // small buffer, so an amount costs no string but the result.
  char fast[kDigitsRoom];
  std::string slow;
  std::string_view digits;
  if (std::size_t n = 0; Round4DigitsInto(x, decimals, fast, &n)) {
    if (n == 0) return std::string(w, ' ');
    digits = std::string_view(fast, n);
  } else {
    x = Round4(x);
    if (x == 0) return std::string(w, ' ');
    if (DigitsInto(x, decimals, fast, &n)) {
      digits = std::string_view(fast, n);
    } else {
      slow = FixedDigits(x, decimals);
      digits = slow;
    }
  }
  // Whole digits that do not fit the column would show a different number
  // once cut: the column is filled with '*' instead.
  if (std::min(digits.find('.'), digits.size()) > w) return std::string(w, '*');
  if (digits.size() > w) digits = digits.substr(0, w);
  const std::size_t point = digits.find('.');
  if (point == std::string_view::npos) return std::string(digits);
  char s[2 * kMaxWidth];
  std::size_t n = digits.size();
  std::memcpy(s, digits.data(), n);
  s[point] = ',';
  // Positions counted from 1 as the grouping rule reads: p is the comma.
  long p = static_cast<long>(point) + 1;
  for (;;) {
    p -= 3;
    if (p < 2 || (p == 2 && s[0] == '-') || n >= w) break;
    const auto at = static_cast<std::size_t>(p - 1);
    std::memmove(s + at + 1, s + at, n - at);
    s[at] = '.';
    ++n;
  }
  if (decimals == 4) {
    // The text has its comma: trailing decimal zeros and a bare comma go.
    std::size_t i = n;
    while (i > 0 && s[i - 1] == '0') s[--i] = ' ';
    if (i > 0 && s[i - 1] == ',') s[i - 1] = ' ';
  }
  std::string out;
  out.reserve(std::max(w, n));
  if (n < w) out.append(w - n, ' ');
  out.append(s, n);
  return out;
}

std::size_t AmountCellTo(Amount x, int width, char* out) {
  const std::size_t w = static_cast<std::size_t>(std::clamp(width, 0, kMaxWidth));
  // FormatAmount rounds to 4 decimals and then to 2. Both roundings are
  // told from |x| * 10^4 as a whole number k: it is 0 exactly when the
  // amount shows blank, and unless k ends in 50 (a tie that the binary
  // value of the 4-decimal amount may break either way) the 2 decimals are
  // k / 100 rounded to the nearest. Below 10^18 the binary error of the
  // 4-decimal amount is far smaller than the distance to such a tie.
  U128 k = 0;
  if (ScaledWhole(x, 4, &k) && k < static_cast<U128>(1000000000000000000ull)) {
    const auto k4 = static_cast<std::uint64_t>(k);
    if (k4 == 0) return 0;
    if (k4 % 100 != 50) {
      // The digits of 0..999, three characters each.
      static constexpr std::array<char, 3000> kTriples = [] {
        std::array<char, 3000> t{};
        for (std::size_t i = 0; i < 1000; ++i) {
          t[3 * i] = static_cast<char>('0' + i / 100);
          t[3 * i + 1] = static_cast<char>('0' + i / 10 % 10);
          t[3 * i + 2] = static_cast<char>('0' + i % 10);
        }
        return t;
      }();
      const std::uint64_t cents = k4 / 100 + (k4 % 100 > 50 ? 1 : 0);
      // The whole units in groups of three digits, the lowest first.
      std::uint32_t groups[7];
      std::size_t count = 0;
      std::uint64_t units = cents / 100;
      do {
        groups[count++] = static_cast<std::uint32_t>(units % 1000);
        units /= 1000;
      } while (units != 0);
      const std::uint32_t top = groups[count - 1];
      const std::size_t top_digits = top >= 100 ? 3 : top >= 10 ? 2 : 1;
      const std::size_t digits = 3 * (count - 1) + top_digits;
      const std::size_t sign = std::signbit(x) ? 1 : 0;
      const std::size_t plain = sign + digits + 3;  // without the thousands points
      if (plain <= w) {
        // A point between groups of three while the column has room.
        const std::size_t points = std::min(count - 1, w - plain);
        const std::size_t n = plain + points;
        char* p = out + n;
        const std::size_t c = static_cast<std::size_t>(cents % 100);
        p -= 3;
        p[0] = ',';
        p[1] = kTriples[3 * c + 1];
        p[2] = kTriples[3 * c + 2];
        for (std::size_t g = 0; g + 1 < count; ++g) {
          p -= 3;
          std::memcpy(p, &kTriples[3 * groups[g]], 3);
          if (g < points) *--p = '.';
        }
        p -= top_digits;
        std::memcpy(p, &kTriples[3 * top + 3 - top_digits], top_digits);
        if (sign != 0) *--p = '-';
        return n;
      }
    }
  }
  const std::string text = FormatAmount(x, width, 2);
  const std::size_t lead = std::min(text.find_first_not_of(' '), text.size());
  std::memcpy(out, text.data() + lead, text.size() - lead);
  return text.size() - lead;
}

std::string Amount19(Amount x) {
  return FormatAmount(x, 19, 2);
}
std::string Amount15(Amount x) {
  return FormatAmount(x, 15, 2);
}

std::string Amount13x4(Amount x) {
  std::string s = FormatAmount(x, 13, 4);
  BlankTrailingZeros(s);
  return s;
}

std::string IntText(std::int64_t v, int width) {
  const std::size_t w = static_cast<std::size_t>(std::clamp(width, 0, kMaxWidth));
  if (v == 0) return std::string(w, ' ');
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, res.ptr);
  if (s.size() < w) s.insert(0, w - s.size(), ' ');
  return s;
}

std::string IntTextOrEmpty(std::int64_t v) {
  return IntText(v, 0);
}

std::string IntTextOrZero(std::int64_t v) {
  return v == 0 ? "0" : IntText(v, 0);
}

std::int32_t ParseInt(std::string_view text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return 0;
  text.remove_prefix(start);
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) return 0;
  }
  std::int32_t value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  // Any other character, and a number outside 32 bits, is an error.
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return 0;
  return value;
}

std::int16_t ParseSmall(std::string_view text) {
  const std::int32_t v = ParseInt(text);
  return v >= -32766 && v <= 32766 ? static_cast<std::int16_t>(v) : 0;
}

std::uint16_t ParseWord(std::string_view text) {
  const std::int32_t v = ParseInt(text);
  return v >= 1 && v <= 65534 ? static_cast<std::uint16_t>(v) : 0;
}

std::int16_t ClampSub(std::int64_t a, std::int64_t b) {
  std::int64_t d = 0;
  if (__builtin_sub_overflow(a, b, &d))
    return b > 0 ? std::numeric_limits<std::int16_t>::min()
                 : std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(d, -32768, 32767));
}

}  // namespace zel
