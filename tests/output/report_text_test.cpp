#include "output/report_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zel {
namespace {

TEST(ReportText, PairsShareHeadingOneAndCellsAlignByKind) {
  ReportDocument doc;
  doc.Start("n", "TYTUL", 1);
  doc.AddColumn('l', 6, "Symbol", "konta");
  doc.AddColumn('c', 5, "Kod", "");
  doc.AddColumn('b', 8, "Obroty", "winien");
  doc.AddColumn('d', 8, "", "ma");
  doc.CloseHeader("podtytul");
  const std::string_view row[] = {"201", "ab", "12,50", "3,00"};
  doc.AddRow(row);
  doc.AddText('1', "tekst szerszy niz cala tabela, bez obcinania");
  doc.AddRule('-');
  doc.AddRule('.');
  doc.AddRule('=');
  doc.AddRule(' ');
  doc.AddText('-', "ostrzezenie pominiete");
  const std::string_view clipped[] = {"20100-01-0001", "", "123456789,00"};
  doc.AddRow(clipped);

  const std::string expected =
      "TYTUL\n"
      "podtytul\n"
      "Symbol  Kod       Obroty\n"
      "konta         winien     ma\n"
      "------------------------------\n"
      "201     ab      12,50     3,00\n"
      "tekst szerszy niz cala tabela, bez obcinania\n"
      "------------------------------\n"
      "..............................\n"
      "==============================\n"
      "\n"
      "20100-       12345678\n";
  EXPECT_EQ(ReportAsText(doc), expected);
}

TEST(ReportText, RangeOfRows) {
  ReportDocument doc;
  doc.Start("n", "T", 1);
  doc.AddColumn('l', 3, "", "");
  doc.CloseHeader("");
  for (const char* c : {"a", "b", "c", "d"}) {
    const std::string_view row[] = {c};
    doc.AddRow(row);
  }
  EXPECT_EQ(ReportAsText(doc, 2, 3), "T\n\n\n\n---\nb\nc\n");
  EXPECT_EQ(ReportAsText(doc, 4, 99), "T\n\n\n\n---\nd\n");
}

TEST(ReportText, AlignCellTable) {
  const std::string m(1, static_cast<char>(254));
  struct Case {
    const char* name;
    std::string text;
    char kind;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      {"left", "ab", 'l', 5, "ab   "},
      {"centred", "ab", 'c', 5, " ab  "},
      {"right for p", "ab", 'p', 5, "   ab"},
      {"right for d", "ab", 'd', 4, "  ab"},
      {"cut on the right", "abcdefgh", 'p', 5, "abcde"},
      {"marker makes a left column right-aligned", m + "ab", 'l', 5, "   ab"},
      {"second marker cuts and aligns left", "ab" + m + "cd" + m + "ef", 'p', 6, "abcd  "},
      {"zero width", "ab", 'l', 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AlignCell(c.text, c.kind, c.width), c.expected);
  }
}

}  // namespace
}  // namespace zel
