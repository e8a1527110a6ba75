// The rules of the chart and turnover imports on sheets held in memory, the
// code pages of imported texts, and the search path of SzDbf.
#include "books/imports.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "store/journal_entry.hpp"

namespace zel {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(ImportTextTest, CodePagesGiveRealPolishLetters) {
  const std::string letters = "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w;
  std::string cp852, mazovia;
  for (std::uint8_t b : Polish852) cp852 += static_cast<char>(b);
  for (std::uint8_t b : PolishMazovia) mazovia += static_cast<char>(b);
  struct Case {
    const char* what;
    SourceText text;
    std::string bytes;
  };
  const Case cases[] = {
      {"no language byte: 852", SourceText::FromShapelib(nullptr), cp852},
      {"LDID 0x64", SourceText::FromShapelib("LDID/100"), cp852},
      {"LDID 0x69 Mazovia", SourceText::FromShapelib("LDID/105"), mazovia},
      {"LDID 0xC8 1250", SourceText::FromShapelib("LDID/200"), letters},
      {"unknown LDID: 852", SourceText::FromShapelib("LDID/7"), cp852},
      {".cpg UTF-8", SourceText::FromShapelib("UTF-8"), WinToUtf8(letters)},
      {".cpg 1250", SourceText::FromShapelib("1250"), letters},
      {".cpg CP852", SourceText::FromShapelib("CP852"), cp852},
      {".cpg ISO-8859-2", SourceText::FromShapelib("ISO-8859-2"),
       "\xB1\xE6\xEA\xB3\xF1\xF3\xB6\xBF\xBC\xA1\xC6\xCA\xA3\xD1\xD3\xA6\xAF\xAC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.text.ToWin(c.bytes), letters);
    EXPECT_EQ(c.text.ToWin("Abc 123"), "Abc 123");
  }
  // The letters survive the way into a chart file and back.
  EXPECT_EQ(DosToWin(WinToDos(SourceText().ToWin(cp852))), letters);
}

TEST(ImportTextTest, LegacyTableOnlyWhereAsked) {
  std::vector<std::uint8_t> unknown;
  EXPECT_EQ(LegacyLetters("\x8F\x9C\xE5", &unknown), "ćŚł"_w);
  EXPECT_TRUE(unknown.empty());
  EXPECT_EQ(LegacyLetters("a\x7F", &unknown), "a\x7F");
  EXPECT_EQ(unknown, std::vector<std::uint8_t>{0x7F});
}

TEST(DbfChartTest, SortedOnceDuplicatesReportedLaterRowWins) {
  Rows rows = {{"SYMBOL", "NAZWA"}};
  // More rows than the old table of 1999 held, in falling order.
  for (int i = 2600; i >= 1; --i) rows.push_back({std::to_string(100000 + i), "Konto"});
  rows.push_back({"100005", "Późniejsze"_w});
  std::vector<std::string> row(18);
  row[0] = "200";
  row[1] = "Kontrahent"_w;
  row[5] = "d1";
  row[6] = "d2";
  row[17] = "Łódź"_w;
  rows.push_back(row);
  rows.push_back({});  // an empty symbol ends the reading
  rows.push_back({"300", "Za końcem"_w});
  MemorySheet sheet(rows);
  ChartImport chart;
  ASSERT_TRUE(ReadDbfChart(sheet, nullptr, &chart));
  ASSERT_EQ(chart.records.size(), 2601u);
  for (std::size_t i = 1; i < chart.records.size(); ++i)
    ASSERT_LT(CompareSymbols(chart.records[i - 1].symbol.view(), chart.records[i].symbol.view()), 0);
  EXPECT_EQ(chart.records[4].symbol.view(), "100005");
  EXPECT_EQ(chart.records[4].name.view(), "Późniejsze"_w);
  ASSERT_EQ(chart.warnings.size(), 1u);
  EXPECT_NE(chart.warnings[0].find("100005"), std::string::npos);
  EXPECT_NE(chart.warnings[0].find("2596 i 2601"), std::string::npos) << chart.warnings[0];
  const AccountRecord& last = chart.records.back();
  EXPECT_EQ(last.symbol.view(), "200");
  EXPECT_EQ(last.address.view(), "Łódź"_w);
  EXPECT_EQ(last.extra.view(), "d1 d2");
}

TEST(XlsChartTest, ColumnsSymbolsAndNameSplit) {
  const Rows rows = {
      {"", "", "NAZ", "", "", "", "", "", "", "Has"},
      {"", "", "Kowalski, Łódź"_w, "", "", "201", "000", "05"},
      {"", "", "Nowak", "", "", "202", "01", "", "", "NOW"},
      {"", "", "Litera", "", "", "A10"},
      {"", "", "Spacje,   Radom", "", "", "300"},
  };
  MemorySheet sheet(rows);
  ChartImport chart;
  ReadXlsChart(sheet, false, &chart);
  ASSERT_EQ(chart.records.size(), 3u);
  EXPECT_EQ(chart.records[0].symbol.view(), "201-05");
  EXPECT_EQ(chart.records[0].name.view(), "Kowalski");
  EXPECT_EQ(chart.records[0].address.view(), "Łódź"_w);
  EXPECT_EQ(chart.records[0].shortName.view(), "Kowalski, Łódź"_w);
  EXPECT_EQ(chart.records[1].symbol.view(), "202-01");
  EXPECT_EQ(chart.records[1].shortName.view(), "NOW");
  EXPECT_EQ(chart.records[2].address.view(), "Radom");
}

TEST(XlsChartTest, StopsAfterEightEmptySymbols) {
  Rows rows = {{"", "", "", "", "", "1", "", "", "A"}};
  for (int i = 0; i < 8; ++i) rows.push_back({});
  rows.push_back({"", "", "", "", "", "2", "", "", "B"});
  MemorySheet sheet(rows);
  ChartImport chart;
  ReadXlsChart(sheet, false, &chart);
  ASSERT_EQ(chart.records.size(), 1u);
  rows.erase(rows.begin() + 1);  // seven empty rows only
  MemorySheet seven(rows);
  ChartImport both;
  ReadXlsChart(seven, false, &both);
  EXPECT_EQ(both.records.size(), 2u);
}

TEST(DbfTurnoverTest, SidesDatesAndRefusedRows) {
  struct Case {
    const char* what;
    const char* date;
    const char* debit;
    const char* credit;
    const char* error;  // part of the message; nullptr: accepted
    std::uint8_t side;
    double amount;
  };
  const Case cases[] = {
      {"debit", "2024-03-15", "12.50", "0.00", nullptr, 255, 12.5},
      {"credit", "2024-03-15", "0.00", "7", nullptr, 0, 7},
      {"debit with empty credit", "2024-03-15", "3,5", "", nullptr, 255, 3.5},
      {"storno on the credit side", "2024-03-15", "0", "-4.25", nullptr, 0, -4.25},
      {"nothing on either side", "2024-03-15", "0.00", "0.00", nullptr, 0, 0},
      {"both sides", "2024-03-15", "1.00", "2.00", "Wiersz 1: kwota i po stronie Wn, i Ma", 0, 0},
      {"31 February", "2024-02-31", "1", "0", "Wiersz 1: \"2024-02-31\"", 0, 0},
      {"month 13", "2024-13-01", "1", "0", "Wiersz 1", 0, 0},
      {"year outside the window", "1925-01-01", "1", "0", "Wiersz 1", 0, 0},
      {"not a date", "15.03.2024", "1", "0", "Wiersz 1", 0, 0},
      {"empty date", "", "1", "0", "Wiersz 1", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemorySheet sheet(Rows{{"h"},
                           {"FV", "1", c.date, "201-01", c.debit, c.credit, "Faktura ś"_w, "KOD123"}});
    TurnoverImport got;
    std::string err;
    const bool ok = ReadDbfTurnovers(sheet, nullptr, &got, &err);
    if (c.error != nullptr) {
      EXPECT_FALSE(ok);
      EXPECT_NE(err.find(Utf8ToWin(c.error)), std::string::npos) << WinToUtf8(err);
      continue;
    }
    ASSERT_TRUE(ok) << WinToUtf8(err);
    ASSERT_EQ(got.count, 1u);
    JournalEntry e;
    DecodeJournalEntry(got.records.data(), &e);
    EXPECT_EQ(e.side, c.side);
    EXPECT_DOUBLE_EQ(static_cast<double>(e.amount), c.amount);
    EXPECT_EQ(e.account.view(), "201-01");
    EXPECT_EQ(e.documentNo.view(), "FV-1");
    EXPECT_EQ(e.bookingDate, DayFromDdMmYy("150324"));
    EXPECT_EQ(DosToWin(e.transactionNo), "Faktura ś"_w);
    EXPECT_EQ(e.extraCode.view(), "KOD12");
    EXPECT_EQ(e.entryNo, 1);
    EXPECT_EQ(e.journalNo, 1);
  }
}

TEST(DbfTurnoverTest, NumbersNeverWrap) {
  Rows rows = {{"h"}};
  for (int i = 0; i < 65537; ++i) rows.push_back({"D", "1", "2024-01-02", "100", "1", "0"});
  rows.push_back({"D", "1", "2024-01-02", ""});  // an empty account ends the import
  MemorySheet sheet(rows);
  TurnoverImport got;
  std::string err;
  ASSERT_TRUE(ReadDbfTurnovers(sheet, nullptr, &got, &err));
  ASSERT_EQ(got.count, 65537u);
  EXPECT_TRUE(got.unnumbered);
  auto at = [&got](std::size_t n) {
    JournalEntry e;
    DecodeJournalEntry(got.records.data() + (n - 1) * kJournalRecordSize, &e);
    return e;
  };
  EXPECT_EQ(at(32767).journalNo, 32767);
  EXPECT_EQ(at(32768).journalNo, 0);
  EXPECT_FALSE(at(65535).IsControl());
  EXPECT_EQ(at(65535).entryNo, 65535);
  EXPECT_EQ(at(65536).entryNo, 0);
  EXPECT_EQ(at(65536).journalNo, 0);
}

TEST(SearchPathTest, CorrectionsAndMessages) {
  struct Case {
    const char* typed;
    bool runs;
    const char* corrected;
    const char* message;
  };
  const Case cases[] = {
      {"c", true, "C:\\", ""},
      {"c:", true, "C:\\", ""},
      {"D:\\dane", true, "D:\\dane", ""},
      {"C\\x", false, "C:\\x", "Po literze dysku dwukropek"},
      {"C:x", false, "C:\\x", "Po C: ma być odwrotny balik"},
      {"", false, "", "Musisz podać choć literę dysku"},
      {"1:\\", false, "1:\\", "Musisz zacząć od litery dysku"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    std::string path = c.typed;
    std::string message;
    EXPECT_EQ(CheckSearchPath(&path, &message), c.runs);
    EXPECT_EQ(path, c.corrected);
    EXPECT_EQ(message, Utf8ToWin(c.message));
  }
}

}  // namespace
}  // namespace zel
