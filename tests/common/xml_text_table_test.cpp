// XmlText against a plain letter-by-letter model of it: the '&' rule looks at
// the converted text after it, so dropped bytes between '&' and "amp;" count
// as absent. Many random texts over an alphabet rich in the bytes that matter.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"

namespace zel {
namespace {

// The model: converts from the last byte back, so the tail an '&' sees is
// already converted.
std::string ModelXmlText(std::string_view text) {
  std::string tail;  // converted tail, in order
  for (std::size_t k = text.size(); k-- > 0;) {
    const char c = text[k];
    const auto b = static_cast<std::uint8_t>(c);
    std::string piece;
    if (std::find(PolishWin.begin(), PolishWin.end(), b) != PolishWin.end()) {
      piece = WinToUtf8(std::string_view(&c, 1));
    } else if (b > 0x7E || (b < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
      piece.clear();
    } else if (c == '"') {
      piece = "&quot;";
    } else if (c == '<') {
      piece = "&lt;";
    } else if (c == '>') {
      piece = "&gt;";
    } else if (c == '&') {
      piece = tail.compare(0, 4, "amp;") == 0 ? "&" : "&amp;";
    } else {
      piece = std::string(1, c);
    }
    tail = piece + tail;
  }
  return tail;
}

TEST(XmlTextTable, AgreesWithTheModel) {
  const std::string alphabet = std::string("&amp;<>\"'x \t\r\n\x01\x7F\x80\xFF", 19) + "ąŹśĆ"_w;
  std::mt19937 rng(20241);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
    ASSERT_EQ(XmlText(text), ModelXmlText(text)) << "round " << round;
  }
}

TEST(XmlTextTable, DroppedBytesInsideAnEscape) {
  struct Row {
    const char* name;
    std::string in;
    std::string want;
  };
  const Row rows[] = {
      {"control inside", std::string("&a\x01mp;", 6), "&amp;"},
      {"foreign byte inside", "&am\x80p;", "&amp;"},
      {"Polish letter inside", "&a"_w + "ą"_w + "mp;", "&amp;a" + std::string("ą") + "mp;"},
      {"two ampersands", "&&amp;", "&amp;&amp;"},
      {"only dropped bytes", std::string(1, '\0') + "\x7F", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(XmlText(row.in), row.want);
    EXPECT_EQ(ModelXmlText(row.in), row.want);
  }
}

}  // namespace
}  // namespace zel
