#include "output/report_document.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/cp1250.hpp"
#include "output/report_preview.hpp"
#include "shell/status.hpp"

namespace zel {
namespace {

class RecordingSink : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t colour) override {
    text_ = text;
    colour_ = colour;
  }
  void Clear() override { text_.clear(); }
  std::string text_;
  int colour_ = -1;
};

class FixedRows : public PageRowsSource {
 public:
  std::int32_t RowsPerPage(const ReportDocument&, bool landscape) override {
    return landscape ? 40 : 55;
  }
};

class ReportDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = SetStatusSink(&sink_);
    SetPageRowsSource(&rows_);
  }
  void TearDown() override {
    SetStatusSink(old_);
    SetPageRowsSource(nullptr);
  }
  RecordingSink sink_;
  FixedRows rows_;
  StatusSink* old_ = nullptr;
};

TEST_F(ReportDocumentTest, OneDataRowEndsWithTheDoubleRule) {
  RapStart("zois", "TYTUŁ"_w, 2);
  RapKol('l', 6, "Symbol", "konta");
  RapKol1('p', 14, "Kwota");
  RapNag("podtytuł"_w);
  RapWiersz("201", "12,50");
  RapKoniec();

  const ReportDocument& doc = CurrentReport();
  const ReportPreview& pv = CurrentPreview();
  ASSERT_EQ(doc.RowCount(), 2);
  EXPECT_EQ(doc.RowKind(1), '0');
  EXPECT_EQ(doc.Cell(1, 1), "201");
  EXPECT_EQ(doc.Cell(1, 2), "12,50");
  EXPECT_EQ(doc.RowKind(2), '3');
  EXPECT_EQ(doc.Cell(2, 1), "=");
  EXPECT_EQ(pv.FirstText(), "1");
  EXPECT_EQ(pv.LastText(), "2");
  EXPECT_EQ(pv.TopRow(), 1);
  EXPECT_EQ(pv.MarkedRow(), 0);
  EXPECT_EQ(pv.PortraitRows(), 55);
  EXPECT_EQ(pv.LandscapeRows(), 40);
  EXPECT_EQ(sink_.text_, "Wierszy na str: 55 / 40");
  EXPECT_EQ(sink_.colour_, kInfo);
  EXPECT_EQ(pv.Caption(), " * Kelto-Soft * " + "TYTUŁ"_w + " * " + "podtytuł"_w + " *");
  EXPECT_EQ(doc.Column(2).kind, 'p');
  EXPECT_EQ(doc.Column(2).heading1.view(), "Kwota");
  EXPECT_TRUE(doc.Column(2).heading2.empty());
  EXPECT_EQ(doc.StretchColumn(), 2);
}

TEST_F(ReportDocumentTest, CellsAreStrippedAndCutTextRowsKeptAsTheyAre) {
  RapStart("n", "t", 1);
  RapKol1('l', 10, "a");
  RapKol1('l', 10, "b");
  RapKol1('l', 10, "c");
  RapNag("s");
  const std::string long_cell(120, 'x');
  RapWiersz("  lewy  ", long_cell);
  RapWiersz("jeden", "dwa", "trzy", "cztery");  // one cell more than columns
  RapTekst('1', "  tekst z odstępami  "_w);
  RapTekst('-', "ostrzeżenie"_w);
  RapLinia('.');

  const ReportDocument& doc = CurrentReport();
  ASSERT_EQ(doc.RowCount(), 5);
  EXPECT_EQ(doc.Cell(1, 1), "lewy");
  EXPECT_EQ(doc.Cell(1, 2), std::string(100, 'x'));
  EXPECT_EQ(doc.Cell(1, 3), "");  // missing trailing cell
  EXPECT_EQ(doc.Cell(2, 3), "trzy");
  EXPECT_EQ(doc.Cell(2, 4), "");  // dropped: no fourth column
  EXPECT_EQ(doc.RowKind(3), '1');
  EXPECT_EQ(doc.Cell(3, 1), "  tekst z odstępami  "_w);
  EXPECT_EQ(doc.RowKind(4), '-');
  EXPECT_EQ(doc.RowKind(5), '3');
  EXPECT_EQ(doc.Cell(5, 1), ".");
  EXPECT_EQ(doc.RowKind(0), '\0');
  EXPECT_EQ(doc.RowKind(6), '\0');
  EXPECT_EQ(doc.Cell(9, 1), "");
}

TEST_F(ReportDocumentTest, EighteenthColumnIsRefusedAndHeadingsAreCut) {
  ReportDocument doc;
  doc.Start(std::string(150, 'n'), std::string(150, 't'), 40);
  for (int i = 0; i < kMaxReportColumns; ++i) EXPECT_TRUE(doc.AddColumn('p', 14, "h", "g"));
  EXPECT_FALSE(doc.AddColumn('p', 14, "h", "g"));
  EXPECT_EQ(doc.ColumnCount(), kMaxReportColumns);
  EXPECT_EQ(doc.Name().size(), 100u);
  EXPECT_EQ(doc.Title().size(), 100u);
  EXPECT_EQ(doc.StretchColumn(), 17);
  doc.Start("n", "t", 1);
  EXPECT_TRUE(doc.AddColumn('l', 300, std::string(130, 'h'), "g"));
  EXPECT_EQ(doc.Column(1).width, 255);
  EXPECT_EQ(doc.Column(1).heading1.size(), 100u);
  doc.CloseHeader(std::string(300, 's'));
  EXPECT_EQ(doc.Subtitle().size(), 250u);
}

TEST_F(ReportDocumentTest, NewReportReplacesTheOldOne) {
  RapStart("a", "A", 1);
  RapKol1('l', 5, "x");
  RapKol1('l', 5, "y");
  RapNag("");
  RapWiersz("1", "2");
  RapKoniec();
  RapStart("b", "B", 1);
  RapKol1('c', 5, "z");
  RapKol1('c', 5, "w");
  RapNag("");
  EXPECT_EQ(CurrentReport().RowCount(), 0);
  EXPECT_EQ(CurrentReport().ColumnCount(), 2);
  EXPECT_EQ(CurrentReport().Column(1).kind, 'c');
  EXPECT_FALSE(CurrentPreview().SearchIndexBuilt());
}

TEST_F(ReportDocumentTest, RowsAreStoredCompactly) {
  ReportDocument doc;
  doc.Start("n", "t", 1);
  for (int i = 0; i < 8; ++i) doc.AddColumn('p', 14, "", "");
  doc.CloseHeader("");
  const std::string_view cells[] = {"201-01", "1.234,56", "", "", "7,00", "", "", ""};
  for (int i = 0; i < 100000; ++i) doc.AddRow(cells);
  EXPECT_EQ(doc.RowCount(), 100000);
  // kind, count, and a length byte plus the text of the five stored cells
  EXPECT_EQ(doc.StoredBytes(), 100000u * (2 + 5 + 6 + 8 + 4));
  EXPECT_EQ(doc.Cell(54321, 5), "7,00");
}

TEST_F(ReportDocumentTest, InsertedRowTakesItsPlaceAndMovesTheRest) {
  ReportDocument doc;
  doc.Start("n", "t", 1);
  doc.AddColumn('l', 5, "", "");
  doc.AddColumn('p', 14, "", "");
  doc.CloseHeader("");
  const std::string_view a[] = {"a", "1,00"}, b[] = {"b"}, c[] = {"c", "3,00"};
  doc.AddRow(a);
  doc.AddText('1', "tekst");
  doc.AddRow(c);
  doc.InsertRow(3, b);  // before "c"
  const std::string_view d[] = {" d ", "4,00", "too many"};
  doc.InsertRow(1, d);  // first, cut to the columns and stripped
  const std::string_view e[] = {"e"};
  doc.InsertRow(0, e);  // no such row: appended
  ASSERT_EQ(doc.RowCount(), 6);
  const char kinds[] = {'0', '0', '1', '0', '0', '0'};
  const char* first[] = {"d", "a", "tekst", "b", "c", "e"};
  const char* second[] = {"4,00", "1,00", "", "", "3,00", ""};
  for (std::int32_t r = 1; r <= 6; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(doc.RowKind(r), kinds[r - 1]);
    EXPECT_EQ(doc.Cell(r, 1), first[r - 1]);
    EXPECT_EQ(doc.Cell(r, 2), second[r - 1]);
  }
}

// A number too wide for its column widens the column, so that no output
// cuts it (dates of digits and "-" count too); labels widen only a column
// marked to fit its cells; a text of letters or "*" leaves the width alone.
TEST_F(ReportDocumentTest, ColumnsWidenToNumbersAndMarkedLabels) {
  RapStart("w", "W", 1);
  RapKol('l', 6, "Symbol", "konta");
  RapKolFit();
  RapKol1('l', 4, "Opis");
  RapKol('b', 14, "Obroty", "winien");
  RapKol('d', 14, "", "ma");
  RapKol1('p', 3, "Lp");
  RapNag("");
  RapWiersz("201-zerowe- (12)", "dluga nazwa", "5365.188.989,83", "12,00", "*****");
  RapWiersz("RAZEM", "", "-1.000,00", "", "12345");
  RapWiersz("", "", "", "", "31-12-2024");
  RapKoniec();
  const ReportDocument& doc = CurrentReport();
  EXPECT_EQ(doc.Column(1).width, 16);  // marked: widest label
  EXPECT_EQ(doc.Column(2).width, 4);   // not marked: stays, cut as before
  EXPECT_EQ(doc.Column(3).width, 15);  // widest amount
  EXPECT_EQ(doc.Column(4).width, 14);  // fits already
  EXPECT_EQ(doc.Column(5).width, 10);  // "12345" and the date look like numbers, "*****" not
}

TEST(DefaultRowsPerPage, WideReportsGetSmallerFontsAndMoreRows) {
  ReportDocument narrow;
  narrow.Start("n", "t", 1);
  narrow.AddColumn('l', 10, "", "");
  ReportDocument wide;
  wide.Start("n", "t", 1);
  for (int i = 0; i < 17; ++i) wide.AddColumn('p', 14, "", "");
  EXPECT_GT(DefaultRowsPerPage(narrow, false), DefaultRowsPerPage(narrow, true));
  EXPECT_GT(DefaultRowsPerPage(wide, false), DefaultRowsPerPage(narrow, false));
  EXPECT_GT(DefaultRowsPerPage(narrow, true), 20);
}

}  // namespace
}  // namespace zel
