#include "common/numbers.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace zel {
namespace {

constexpr Amount kNaN = std::numeric_limits<Amount>::quiet_NaN();
constexpr Amount kInf = std::numeric_limits<Amount>::infinity();

TEST(FormatAmount, StandardColumn) {
  struct Row {
    const char* name;
    Amount x;
    const char* want;
  };
  const Row rows[] = {
      {"grouped and rounded", 1234567.891L, "   1.234.567,89"},
      {"negative below a thousand", -234.5L, "        -234,50"},
      {"negative with one group", -1234.5L, "      -1.234,50"},
      {"below the fourth decimal is blank", 0.00004L, "               "},
      {"zero is blank", 0, "               "},
      {"half", 0.5L, "           0,50"},
      {"width used up before the leftmost group", 1234567890.12L, "1234.567.890,12"},
      {"no room for any group", 123456789012.34L, "123456789012,34"},
      {"decimals cut by the width", 1234567890123.45L, "1234567890123,4"},
      {"whole digits wider than the column", 1e20L, "***************"},
      {"negative too wide", -1e15L, "***************"},
      {"not a number is blank", kNaN, "               "},
      {"infinity is blank", kInf, "               "},
      {"minus infinity is blank", -kInf, "               "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Amount15(row.x), row.want);
  }
}

TEST(FormatAmount, OtherWidthsAndDecimals) {
  EXPECT_EQ(Amount19(1234567.891L), "       1.234.567,89");
  EXPECT_EQ(Amount19(-1234567890.5L), "  -1.234.567.890,50");
  EXPECT_EQ(FormatAmount(1234.5L, 10, 1), "   1.234,5");
  // Without decimals there is no comma: the digits come back as they are.
  EXPECT_EQ(FormatAmount(1234, 8, 0), "1234");
  EXPECT_EQ(FormatAmount(12345, 3, 0), "***");
  // Past 2^63 the digits come another way; the column rules stay.
  EXPECT_EQ(FormatAmount(1e19L, 20, 2), "10000000000000000000");
  EXPECT_EQ(FormatAmount(-1e19L, 20, 2), "********************");
  // The column never grows past its capacity of 20.
  EXPECT_EQ(FormatAmount(1, 40, 2), std::string(16, ' ') + "1,00");
  EXPECT_EQ(FormatAmount(1, -5, 2), "");
}

// The digits of a column, whatever way they are worked out, are those of
// Round4(x) written with the column's decimals, rounded as std::to_chars
// rounds the exact value. Amounts around the halves of each place, and
// their neighbours, are where a short cut would round the wrong way.
TEST(FormatAmount, DigitsAreThoseOfTheRoundedAmount) {
  auto digits_of_column = [](const std::string& column) {
    std::string d;
    for (char c : column) {
      if (c == ',') d += '.';
      else if (c != ' ' && c != '.') d += c;
    }
    return d;
  };
  auto expected = [](Amount x, int decimals) {
    const Amount r = Round4(x);
    if (r == 0) return std::string();
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, decimals);
    std::string d(buf, res.ptr);
    if (decimals == 4) {
      while (d.back() == '0') d.pop_back();
      if (d.back() == '.') d.pop_back();
    }
    return d;
  };
  std::mt19937_64 random(7);
  std::vector<Amount> amounts;
  for (int i = 0; i < 5000; ++i) {
    const auto k = static_cast<std::int64_t>(random() % 20000000000000ull) - 10000000000000;
    static constexpr Amount kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const Amount x = static_cast<Amount>(k) / kScales[random() % 7];
    // Halves of the second and of the fourth decimal place.
    const Amount half2 = (static_cast<Amount>(k / 100) * 100 + 50) / 10000;
    const Amount half4 = (static_cast<Amount>(k) * 2 + 1) / 20000;
    for (Amount a : {x, half2, half4}) {
      amounts.push_back(a);
      amounts.push_back(std::nextafter(a, kInf));
      amounts.push_back(std::nextafter(a, -kInf));
    }
  }
  for (Amount x : amounts) {
    for (int decimals = 0; decimals <= 4; ++decimals) {
      ASSERT_EQ(digits_of_column(FormatAmount(x, 20, decimals)), expected(x, decimals))
          << "amount " << static_cast<double>(x) << ", decimals " << decimals;
    }
  }
}

// Two amounts differ when their difference does not round to 0 at the
// fourth decimal, whatever way that is found out.
TEST(AmountsDiffer, AsTheRoundedDifference) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 20000; ++i) {
    const auto k = static_cast<std::int64_t>(random() % 2000000) - 1000000;
    const Amount a = static_cast<Amount>(random() % 100000000) / 100;
    // Differences around half a unit of the fourth decimal, and larger ones.
    for (Amount d : {static_cast<Amount>(k) / 1e9L, (static_cast<Amount>(k % 3) + 0.5L) / 10000,
                     static_cast<Amount>(k) / 100}) {
      for (Amount b : {a + d, std::nextafter(a + d, kInf), std::nextafter(a + d, -kInf)}) {
        ASSERT_EQ(AmountsDiffer(a, b), Round4(a - b) != 0) << static_cast<double>(a) << " "
                                                            << static_cast<double>(b);
      }
    }
  }
  EXPECT_FALSE(AmountsDiffer(kNaN, 1));
  EXPECT_FALSE(AmountsDiffer(kInf, 1));
  EXPECT_TRUE(AmountsDiffer(1e19L, 0));
  EXPECT_TRUE(AmountsDiffer(-1e16L, 0));
}

TEST(FormatAmount, FourDecimalsBlankTheTrailingZeros) {
  struct Row {
    const char* name;
    Amount x;
    const char* want;
  };
  const Row rows[] = {
      {"one decimal", 12.5L, "      12,5   "},         {"whole number", 100, "     100     "},
      {"all four decimals", 1.2345L, "       1,2345"}, {"grouped", 1234.5L, "   1.234,5   "},
      {"rounded to four", 2.00004L, "       2     "},  {"zero", 0, "             "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Amount13x4(row.x), row.want);
    EXPECT_EQ(Amount13x4(row.x).size(), 13u);
  }
}

// The cell formatter takes shortcuts (one rounding, digits written from
// the right); whatever it writes must be what FormatAmount shows: near
// the ties of both roundings, at the edges of the column and of its fast
// range, and over random amounts of every size.
TEST(FormatAmount, CellAsTheColumnShowsIt) {
  std::vector<Amount> xs = {0,         -0.0L,       0.004L,       -0.004L,      0.005L,
                            -0.005L,   0.00005L,    0.00004999L,  1.125L,       -1.125L,
                            2.675L,    1.005L,      0.015L,       1234.565L,    999.995L,
                            -999.995L, 999999.999L, 1e12L,        -1e12L,       123456789012.34L,
                            -12345678901.23L,        1234567890123.45L,          99999999999999.99L,
                            1e14L,     1e15L,       -1e15L,       1e18L,        1e19L,
                            1e20L,     kNaN,        kInf,         -kInf,        1e-4000L};
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    const int digits = static_cast<int>(random() % 17);
    const auto cents = static_cast<std::int64_t>(random() % 2000000000000000000ull) %
                       static_cast<std::int64_t>(std::pow(10.0, digits + 1) + 1);
    Amount x = static_cast<Amount>(cents) / (i % 3 == 0 ? 100 : i % 3 == 1 ? 10000 : 1000);
    if (i % 5 == 0) x += static_cast<Amount>(random() % 1000) / 1e7L;  // off the grid
    xs.push_back(i % 2 == 0 ? x : -x);
  }
  for (const Amount x : xs) {
    for (const int width : {15, 19, 9, 4, 0, 25}) {
      char buffer[20];
      std::string want = FormatAmount(x, width, 2);
      want.erase(0, want.find_first_not_of(' '));
      const std::size_t n = AmountCellTo(x, width, buffer);
      ASSERT_EQ(std::string(buffer, n), want) << static_cast<double>(x) << " width " << width;
    }
  }
}

TEST(BlankTrailingZeros, OnlyDecimalsAreBlanked) {
  struct Row {
    const char* name;
    const char* in;
    const char* want;
  };
  const Row rows[] = {
      {"some zeros", "12,5000", "12,5   "},
      {"all decimals zero", "100,0000", "100     "},
      {"no comma keeps whole zeros", "1000", "1000"},
      {"nothing to blank", "1,25", "1,25"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string s = row.in;
    BlankTrailingZeros(s);
    EXPECT_EQ(s, row.want);
  }
}

TEST(NumberText, ShortestText) {
  struct Row {
    const char* name;
    Amount x;
    int decimals;
    const char* want;
  };
  const Row rows[] = {
      {"trailing zero removed", 12.5L, 2, "12.5"},
      {"point removed", 3, 2, "3"},
      {"whole zeros stay", 100, 2, "100"},
      {"no decimals", 1234.4L, 0, "1234"},
      {"negative", -0.25L, 4, "-0.25"},
      {"zero is empty", 0, 2, ""},
      {"rounds to nothing", 0.001L, 2, "0"},
      {"large numbers are not cut", 1e20L, 2, "100000000000000000000"},
      {"negative decimals count as none", 2.4L, -3, "2"},
      {"not a number is empty", kNaN, 2, ""},
      {"infinity is empty", kInf, 2, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(NumberText(row.x, row.decimals), row.want);
  }
  EXPECT_GE(NumberText(1e4000L, 2).size(), 4000u);  // every digit, nothing cut
}

TEST(ParseNumber, Texts) {
  struct Row {
    const char* name;
    const char* text;
    Amount want;
  };
  const Row rows[] = {
      {"decimal comma", "12,5", 12.5L},
      {"decimal point", "12.5", 12.5L},
      {"leading spaces", "  7", 7},
      {"negative", "-3,25", -3.25L},
      {"plus sign", "+2", 2},
      {"exponent", "1e3", 1000},
      {"leading point", ",5", 0.5L},
      {"trailing point", "5.", 5},
      {"thousands separators", "1.234,50", 0},
      {"grouping space", "1 000", 0},
      {"trailing space", "7 ", 0},
      {"second comma", "1,2,3", 0},
      {"empty", "", 0},
      {"only spaces", "   ", 0},
      {"sign alone", "-", 0},
      {"letters", "abc", 0},
      {"infinity", "inf", 0},
      {"not a number", "nan", 0},
      {"hex", "0x10", 0},
      {"overflow", "1e5000", 0},
      {"exponent without digits", "1e", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(AmountsDiffer(ParseNumber(row.text), row.want)) << ParseNumber(row.text);
  }
  // Longer than 25 characters is read whole, not cut into another number.
  EXPECT_FALSE(AmountsDiffer(ParseNumber("0000000000000000000000000012,5"), 12.5L));
}

TEST(ParseNumber, IgnoresTheCLocale) {
  const char* chosen = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  if (chosen == nullptr) chosen = std::setlocale(LC_NUMERIC, "pl_PL.UTF-8");
  if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_FALSE(AmountsDiffer(ParseNumber("12,5"), 12.5L));
  EXPECT_EQ(NumberText(12.5L, 2), "12.5");
  EXPECT_EQ(Amount15(1234.5L), "       1.234,50");
  std::setlocale(LC_NUMERIC, "C");
}

TEST(Rounding, Round2GoesAwayFromZeroOnHalves) {
  struct Row {
    const char* name;
    Amount x;
    const char* want;
  };
  const Row rows[] = {
      {"positive half", 1.005L, "1.01"},
      {"negative half", -1.005L, "-1.01"},
      {"another half", 2.675L, "2.68"},
      {"below half", 1.0049L, "1"},
      {"tiny", 0.004L, ""},
      {"already round", 7.25L, "7.25"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(NumberText(Round2(row.x), 2), row.want);
  }
  EXPECT_EQ(Round2(kNaN), 0);
}

TEST(Rounding, Round4AndComparisons) {
  EXPECT_EQ(NumberText(Round4(1.23456L), 4), "1.2346");
  EXPECT_EQ(Round4(0.00004L), 0);
  EXPECT_EQ(Round4(kNaN), 0);
  EXPECT_EQ(Round4(-kInf), 0);
  EXPECT_EQ(Round4(1e300L), 1e300L);  // far past four decimals: unchanged

  EXPECT_FALSE(AmountsDiffer(0.1L + 0.2L, 0.3L));
  EXPECT_FALSE(AmountsDiffer(1, 1.00004L));
  EXPECT_TRUE(AmountsDiffer(1, 1.0001L));
  EXPECT_TRUE(AmountsDiffer(-5, 5));
  EXPECT_TRUE(BothZero(0.00004L, -0.00004L));
  EXPECT_FALSE(BothZero(0, 0.0001L));
  EXPECT_FALSE(BothZero(0.0001L, 0));
}

// The decimal text of x with d decimals as the standard library writes it
// (nearest, exact ties to even), with NumberText's trailing zeros removed.
std::string ReferenceText(Amount x, int d) {
  char buf[128];
  auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, d);
  std::string s(buf, res.ptr);
  if (d > 0) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

Amount ReferenceRound(Amount x, int d) {
  const std::string s = ReferenceText(x, d);
  Amount v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

TEST(Rounding, AgreesWithTheExactDecimalTextEverywhere) {
  std::mt19937_64 rng(20240315);
  std::vector<Amount> values = {
      0.03125L,     0.09375L, 0.125L, 0.375L, 2.5L, 1e-4940L, 1e-10L, 0.00005L, 4503599627370495.5L,
      1e15L + 0.3L, 9.2e18L};
  for (int k = 0; k < 20000; ++k) {
    const Amount grosze = static_cast<Amount>(rng() % 100000000000ULL) / 100;
    const Amount tie =
        static_cast<Amount>(rng() % 1000000000ULL) / static_cast<Amount>(1ULL << (rng() % 12));
    const Amount wide = std::ldexp(static_cast<Amount>(rng()) / 18446744073709551616.0L,
                                   static_cast<int>(rng() % 120) - 60);
    for (Amount x : {grosze, grosze + 0.00005L, grosze - 0.000049L, grosze + 0.005L, tie, wide}) {
      values.push_back(x);
      values.push_back(-x);
    }
  }
  int wrong = 0;
  for (Amount x : values) {
    const bool ok = Round4(x) == ReferenceRound(x, 4) &&
                    Round2(x) == ReferenceRound(x > 0 ? x + 0.000001L : x - 0.000001L, 2) &&
                    NumberText(x, 4) == ReferenceText(x, 4) &&
                    NumberText(x, 2) == ReferenceText(x, 2) &&
                    NumberText(x, 0) == ReferenceText(x, 0);
    if (!ok && ++wrong <= 5) {
      ADD_FAILURE() << ReferenceText(x, 20) << ": " << NumberText(x, 4) << " / "
                    << ReferenceText(x, 4);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(IntText, Forms) {
  EXPECT_EQ(IntText(0, 5), "     ");
  EXPECT_EQ(IntText(42, 5), "   42");
  EXPECT_EQ(IntText(-7, 3), " -7");
  EXPECT_EQ(IntText(123456, 3), "123456");
  EXPECT_EQ(IntText(std::numeric_limits<std::int64_t>::min(), 0), "-9223372036854775808");
  EXPECT_EQ(IntText(0, 100), std::string(20, ' '));
  EXPECT_EQ(IntTextOrEmpty(0), "");
  EXPECT_EQ(IntTextOrEmpty(12), "12");
  EXPECT_EQ(IntTextOrZero(0), "0");
  EXPECT_EQ(IntTextOrZero(-5), "-5");
}

TEST(ParseInt, TextsAndRanges) {
  struct Row {
    const char* name;
    const char* text;
    std::int32_t as_int;
    std::int16_t as_small;
    std::uint16_t as_word;
  };
  const Row rows[] = {
      {"plain", "42", 42, 42, 42},
      {"leading spaces", "  42", 42, 42, 42},
      {"trailing space", "42 ", 0, 0, 0},
      {"negative", "-17", -17, -17, 0},
      {"plus sign", "+5", 5, 5, 5},
      {"empty", "", 0, 0, 0},
      {"only spaces", "   ", 0, 0, 0},
      {"decimal", "1.5", 0, 0, 0},
      {"letters after", "12a", 0, 0, 0},
      {"two signs", "+-1", 0, 0, 0},
      {"small limit", "32766", 32766, 32766, 32766},
      {"past the small limit", "32767", 32767, 0, 32767},
      {"negative small limit", "-32766", -32766, -32766, 0},
      {"past the negative limit", "-32767", -32767, 0, 0},
      {"word zero", "0", 0, 0, 0},
      {"word limit", "65534", 65534, 0, 65534},
      {"past the word limit", "65535", 65535, 0, 0},
      {"largest", "2147483647", 2147483647, 0, 0},
      {"beyond 32 bits", "2147483648", 0, 0, 0},
      {"longer than ten is read whole", "00000000042", 42, 42, 42},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseInt(row.text), row.as_int);
    EXPECT_EQ(ParseSmall(row.text), row.as_small);
    EXPECT_EQ(ParseWord(row.text), row.as_word);
  }
}

TEST(ClampSub, Limits) {
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(ClampSub(5, 3), 2);
  EXPECT_EQ(ClampSub(3, 5), -2);
  EXPECT_EQ(ClampSub(40000, 0), 32767);
  EXPECT_EQ(ClampSub(-40000, 0), -32768);
  EXPECT_EQ(ClampSub(kMin, 1), -32768);
  EXPECT_EQ(ClampSub(kMax, -1), 32767);
  EXPECT_EQ(ClampSub(0, kMin), 32767);
}

}  // namespace
}  // namespace zel
