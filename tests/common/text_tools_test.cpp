#include <gtest/gtest.h>

#include <cstdint>

#include "common/cp1250.hpp"
#include "common/fixed_text.hpp"

namespace zel {
namespace {

TEST(Cp1250, PolishLettersBothWays) {
  const std::string win = "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w;
  EXPECT_EQ(win, "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\xBF\x9F\xA5\xC6\xCA\xA3\xD1\xD3\x8C\xAF\x8F");
  EXPECT_EQ(WinToUtf8(win), "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ");
}

TEST(Cp1250, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToWin(WinToUtf8(all)), all);
}

TEST(Cp1250, UnmappableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWin("a\xE2\x82"), "a??");             // cut sequence
  EXPECT_EQ(Utf8ToWin("\xE4\xB8\xAD"), "?");            // a CJK letter
  EXPECT_EQ(Utf8ToWin("\xFF" "x"), "?x");               // not UTF-8 at all
  EXPECT_EQ(Utf8ToWin("\xF0\x9F\x98\x80!"), "?!");      // outside the BMP
}

TEST(FixedText, AssigningCutsToCapacity) {
  FixedText<5> t = "abcdefgh";
  EXPECT_EQ(t.view(), "abcde");
  t += "xyz";
  EXPECT_EQ(t.view(), "abcde");
  t = "ab";
  t += "cdefg";
  EXPECT_EQ(t.view(), "abcde");
}

TEST(FixedText, RecordFormClampsTheLengthAndZeroFills) {
  std::uint8_t field[6] = {200, 'a', 'b', 'c', 'd', 'e'};
  auto t = FixedText<5>::Decode(field);
  EXPECT_EQ(t.view(), "abcde");

  FixedText<5> s = "xy";
  s.Encode(field);
  const std::uint8_t want[6] = {2, 'x', 'y', 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(field, want, sizeof want));
}

}  // namespace
}  // namespace zel
