#include "common/pltext.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/cp1250.hpp"
#include "common/globals.hpp"

namespace zel {
namespace {

std::string Bytes(const auto& table) {
  return std::string(table.begin(), table.end());
}

TEST(PolishTables, WindowsLettersMatchTheCodePage) {
  EXPECT_EQ(Bytes(PolishWin), "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w);
  EXPECT_EQ(Bytes(PolishFolded), "acelnoszzACELNOSZZ");
  EXPECT_EQ(Bytes(ExtraWin), "äöüßÄÖÜ§ "_w);
}

TEST(FillAndCut, Routines) {
  EXPECT_EQ(CharString('x', 3), "xxx");
  EXPECT_EQ(CharString('-', 300).size(), 250u);
  EXPECT_EQ(CharString('-', -1), "");
  EXPECT_EQ(Spaces(4), "    ");
  EXPECT_EQ(PadRight("abc", 5), "abc  ");
  EXPECT_EQ(PadRight("abcdef", 3), "abc");
  EXPECT_EQ(PadRight("abc", -1), "");
  EXPECT_EQ(FirstChar(""), ' ');
  EXPECT_EQ(FirstChar("Zel"), 'Z');
  EXPECT_EQ(YesNoChar(true), 'T');
  EXPECT_EQ(YesNoChar(false), 'N');
}

TEST(FillAndCut, LeftPart) {
  struct Row {
    const char* name;
    std::int16_t n;
    const char* want;
  };
  const Row rows[] = {
      {"first characters", 3, "abc"},
      {"more than there is", 10, "abcdef"},
      {"none", 0, ""},
      {"drop from the end", -2, "abcd"},
      {"drop everything", -6, ""},
      {"drop more than there is", -10, ""},
      {"most negative", -32768, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LeftPart("abcdef", row.n), row.want);
  }
}

TEST(Letters, UpperFoldAndCapitalize) {
  EXPECT_EQ(UpperPl("zażółć gęślą jaźń 12 ä"_w), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ 12 ä"_w);
  EXPECT_EQ(FoldPl("Zażółć GĘŚLĄ jaźń"_w), "Zazolc GESLA jazn");
  // Mazovia letters fold too: "żółw" written in Mazovia.
  EXPECT_EQ(FoldPl("\xA7\xA2\x92w"), "zolw");
  // 9C is "ś" in Windows-1250 and "Ł" in Mazovia: Windows-1250 wins.
  EXPECT_EQ(FoldPl("\x9C"), "s");
  EXPECT_EQ(Capitalize("jAN kOWALSKI"), "Jan kowalski");
  EXPECT_EQ(Capitalize("123abc"), "123Abc");
  EXPECT_EQ(Capitalize("żaba"_w), "żAba"_w);
  EXPECT_EQ(Capitalize(""), "");
}

TEST(Letters, SearchKeyFoldsOnlyWhenAsked) {
  const bool saved = FoldSearch;
  FoldSearch = false;
  EXPECT_EQ(SearchKey("Łódź"_w), "Łódź"_w);
  FoldSearch = true;
  EXPECT_EQ(SearchKey("Łódź ul. Żółta"_w), "LODZ UL. ZOLTA");
  FoldSearch = saved;
}

TEST(NormalizeSpaces, Texts) {
  EXPECT_EQ(NormalizeSpaces("  a   b  "), "a b");
  EXPECT_EQ(NormalizeSpaces("abc"), "abc");
  EXPECT_EQ(NormalizeSpaces(""), "");
  EXPECT_EQ(NormalizeSpaces("     "), "");
  EXPECT_EQ(NormalizeSpaces(std::string(100, ' ') + "x"), "x");
  EXPECT_EQ(NormalizeSpaces(std::string(100, 'y')), std::string(80, 'y'));
}

TEST(DosCodePages, DosToWin) {
  EXPECT_EQ(DosToWin("\x8F\x9C\xA4"), "ĄŁń"_w);
  EXPECT_EQ(DosToWin(Bytes(PolishMazovia)), Bytes(PolishWin));
  // Bytes of code page 852 that Mazovia does not use.
  EXPECT_EQ(DosToWin("\xA9\x88\xE4\xBE\xAB\xA8\x9D\xE3\xE0\x97\xBD"), "ęłńżźĘŁŃÓŚŻ"_w);
  // Where both pages use a byte, it is read as Mazovia: 86 is "ą", not "ć".
  EXPECT_EQ(DosToWin("\x86"), "ą"_w);
  EXPECT_EQ(DosToWin(Bytes(ExtraDos)), "äöüßÄÖÜ§ "_w);
  EXPECT_EQ(DosToWin("Konto 201-1"), "Konto 201-1");
}

TEST(DosCodePages, WinToDosAndRoundTrips) {
  EXPECT_EQ(WinToDos(Bytes(PolishWin)), Bytes(PolishMazovia));
  EXPECT_EQ(WinToDos("a b  c"), "a b  c");
  EXPECT_EQ(WinToDos("äöüßÄÖÜ§"_w), "\x84\x94\x81\xE1\x8E\x99\x9A\x15");

  const std::string win = "Zażółć gęślą jaźń, ĄĆĘŁŃÓŚŻŹ äöüßÄÖÜ§ 0-9"_w;
  EXPECT_EQ(DosToWin(WinToDos(win)), win);
  const std::string dos = Bytes(PolishMazovia) + "\x84\x94\x81\xE1\x8E\x99\x9A\x15" + " xyz";
  EXPECT_EQ(WinToDos(DosToWin(dos)), dos);
}

TEST(XmlText, Escapes) {
  struct Row {
    const char* name;
    std::string in;
    std::string want;
  };
  const Row rows[] = {
      {"ampersand", "A&B", "A&amp;B"},
      {"already escaped", "A&amp;B", "A&amp;B"},
      {"not quite escaped", "A&amp", "A&amp;amp"},
      {"ampersand last", "A&", "A&amp;"},
      {"Polish letters and brackets", "Łódź <x>"_w, "Łódź &lt;x&gt;"},
      {"other letters dropped", "café"_w, "caf"},
      {"quote", "\"a\"", "&quot;a&quot;"},
      {"apostrophe stays", "O'Neil", "O'Neil"},
      {"tab and line breaks stay", "a\tb\r\nc", "a\tb\r\nc"},
      {"other controls dropped",
       std::string("a\x01"
                   "b\x1F"
                   "c") +
           '\0',
       "abc"},
      {"DEL dropped",
       "a\x7F"
       "b",
       "ab"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(XmlText(row.in), row.want);
  }
  EXPECT_EQ(XmlText("ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w), "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ");
}

TEST(Masks, ExpandAndCompact) {
  struct Row {
    const char* name;
    const char* mask;
    int n;
    const char* expanded;
    const char* compacted;
  };
  const Row rows[] = {
      {"star to six", "20*", 6, "20????", "20*"},
      {"star cut short", "20*", 2, "20", "20*"},
      {"no star is cut only", "2011", 2, "20", "2011"},
      {"full-length mask without '?'", "200000", 6, "200000", "200000*"},
      {"all wildcards", "??", 2, "??", "*"},
      {"full question marks", "20????", 6, "20????", "20*"},
      {"negative length", "20*", -1, "", "20*"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MaskExpand(row.mask, row.n), row.expanded);
    EXPECT_EQ(MaskCompact(row.mask, row.n), row.compacted);
  }
  EXPECT_EQ(MaskExpand("2*1", 40), "2" + std::string(25, '?') + "*1");
  EXPECT_EQ(MaskCompact(MaskExpand("20*", 6), 6), "20*");
}

}  // namespace
}  // namespace zel
