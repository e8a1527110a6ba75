#include "statements/settlements.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "platform/faults.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/open_items.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "support/journal_builder.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

DayNo D(const char* ddmmyy) { return DayFromDdMmYy(ddmmyy); }

std::string Trim(std::string_view s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

class QuietSink : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t colour) override {
    last = text;
    if (colour == kWarning) warnings.emplace_back(text);
  }
  void Clear() override {}
  std::string last;
  std::vector<std::string> warnings;
};

class FakeWindow : public SilentOptionServices {
 public:
  FakeWindow() : SilentOptionServices(" za 2024 rok") {}
  bool FieldError(int f, std::string_view text) override {
    field = f;
    error = text;
    return true;
  }
  int field = 0;
  std::string error;
};

std::vector<std::string> Cells(std::int32_t row) {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::string> cells;
  for (int c = 1; c <= doc.ColumnCount(); ++c) cells.emplace_back(doc.Cell(row, c));
  return cells;
}

// Data rows whose cell `col` is `text`.
std::vector<std::int32_t> RowsWith(std::string_view text, int col) {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::int32_t> rows;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.RowKind(r) == '0' && doc.Cell(r, col) == text) rows.push_back(r);
  }
  return rows;
}

std::vector<std::vector<std::string>> DataRows() {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::vector<std::string>> rows;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.RowKind(r) == '0') rows.push_back(Cells(r));
  }
  return rows;
}

std::vector<JournalEntry> ReadRecords(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<JournalEntry> out(bytes.size() / kJournalRecordSize);
  for (std::size_t i = 0; i < out.size(); ++i) {
    DecodeJournalEntry(reinterpret_cast<const std::uint8_t*>(bytes.data()) + i * 250, &out[i]);
  }
  return out;
}

TEST(SettlementKeyTest, PrefixesCaseAndPolishLettersDoNotMatter) {
  struct Row {
    const char* name;
    std::string transaction;
    std::string key;
  } rows[] = {
      {"lower case", "abc", "ABC"},
      {"upper case", "ABC", "ABC"},
      {"star prefix", "FV/1*abc", "ABC"},
      {"last star wins", "a*b*abc", "ABC"},
      {"semicolon after star", "x*y;abc", "ABC"},
      {"semicolon only", "zapl.;F/70/24", "F/70/24"},
      {"Polish letters", WinToDos("fs łódź/12"_w), "FS LODZ/12"},
      {"Polish capitals", WinToDos("ŻÓŁĆ ĘŚĄŃ"_w), "ZOLC ESAN"},
      {"empty", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(SettlementKey(r.transaction), r.key);
  }
}

// The word-at-a-time key of a stored field against the key of its text, over
// texts made of the bytes that matter: separators, the ends of the letter
// ranges, zero, Polish letters and other high bytes.
TEST(SettlementKeyTest, KeyOfAStoredFieldIsTheKeyOfItsText) {
  const std::string polish = WinToDos("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"_w);
  std::string alphabet = std::string("*;*;aAzZ`{@[09 /") + '\0' + '\x7f' + '\x80' + '\xff' + polish;
  std::uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 20000; ++round) {
    const std::size_t n = next() % 21;
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += alphabet[next() % alphabet.size()];
    std::uint8_t field[21] = {};
    field[0] = static_cast<std::uint8_t>(n);
    std::memcpy(field + 1, text.data(), n);
    char key[kSettlementKeyCapacity];
    std::memset(key, 'x', sizeof key);
    const std::size_t size = SettlementKeyOfField(field, key);
    ASSERT_EQ(std::string(key, size), SettlementKey(text)) << "text " << ::testing::PrintToString(text);
    ASSERT_EQ(std::string(key + size, kSettlementKeyCapacity - size), std::string(kSettlementKeyCapacity - size, '\0'));
  }
}

TEST(SettlementKeyTest, InvoiceNumberShowsThePartBeforeTheStar) {
  EXPECT_EQ(InvoiceNumberText("FV/12*K7"), "FV/12");
  EXPECT_EQ(InvoiceNumberText("A;B;FV/3"), "FV/3");
  EXPECT_EQ(InvoiceNumberText("X;FV*K"), "FV");
  EXPECT_EQ(InvoiceNumberText("FV 1"), "FV 1");
}

TEST(SettlementKeyTest, BackupNames) {
  EXPECT_EQ(BakName("C:\\DANE\\N2024.AFX"), "C:\\DANE\\N2024.BAK");
  EXPECT_EQ(BakName("C:\\DA.NE\\N2024"), "C:\\DA.NE\\N2024.BAK");
  EXPECT_EQ(BakName("/tmp/x\\a.b.AFX"), "/tmp/x\\a.b.BAK");
}

// A database folder with its annual file N2024 and a small chart.
class SettlementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_sink_ = SetStatusSink(&sink_);
    dir_ = MakeTempFolder("zel_settle");
    old_db_ = DbDir.str();
    DbDir = dir_ + "\\";
    chart_builder_.Add("201", "Odbiorcy");
    chart_builder_.Add("201-01", "Firma Alfa", "Kraków", "1234563218");
    chart_builder_.Add("201-02", "Firma Beta");
    chart_builder_.Add("700", "Sprzedaż");
    p_.annual_name = "N2024";
    p_.annual_path = dir_ + "\\N2024.DFX";
    p_.from = D("010124");
    p_.to = D("311224");
    p_.today = D("150125");
    p_.chart = &chart_;
  }
  void TearDown() override {
    ClearFaults();
    SetStatusSink(old_sink_);
    DbDir = old_db_;
    std::filesystem::remove_all(dir_);
  }

  void Write() {
    chart_bytes_ = chart_builder_.Bytes();
    MemorySource chart_source(chart_bytes_);
    chart_.LoadFrom(chart_source);
    ASSERT_TRUE(journal_.WriteToNative(dir_ + "/N2024.DFX"));
  }
  std::vector<JournalEntry> Afx() { return ReadRecords(dir_ + "/N2024.AFX"); }

  // A posting with a transaction number (DOS text) and a due date.
  JournalEntry& Post(const char* account, const char* booking, Amount amount, bool debit,
                     const std::string& trans, DayNo due = 0, const char* doc = "PK 1",
                     std::uint16_t entry = 1) {
    JournalEntry& e = journal_.Post(account, D(booking), amount, debit, doc, entry);
    e.transactionNo = trans;
    e.dueDate = due;
    return e;
  }

  QuietSink sink_;
  StatusSink* old_sink_ = nullptr;
  std::string dir_, old_db_;
  test::JournalBuilder journal_;
  test::ChartBuilder chart_builder_;
  std::string chart_bytes_;
  ChartTable chart_;
  SettlementParams p_;
  FakeWindow window_;
};

TEST_F(SettlementsTest, OpenItemsFileGroupsByKeyWithDatesFlagsAndMasks) {
  // 201-01: FV/1 paid in full under three spellings of its key; FV/2 open.
  Post("201-01", "100324", 100, true, "FV/1", D("200324"), "FV 1");
  Post("201-01", "050324", 50, true, "fv/2", 0, "FV 2");
  Post("201-01", "150324", 60, false, "WB*fv/1", 0, "WB 1");
  Post("201-01", "200324", 40, false, "x;FV/1", 0, "WB 2");
  journal_.Control("201-01", "WB 2", 40);
  Post("201-01", "050125", 50, false, "FV/2");  // after the end: left out
  Post("201-02", "010224", 10, true, "A");
  Post("700", "100324", 100, false, "FV/1");  // not selected
  Write();
  p_.kind = SettlementKind::RoNie;
  p_.masks = {"202", "201*"};
  ASSERT_TRUE(OpenItems(p_, window_));
  const std::vector<JournalEntry> afx = Afx();
  ASSERT_EQ(afx.size(), 5u);
  struct Want {
    const char* doc;
    const char* group_date;
    std::uint8_t settled;
  } want[] = {
      // Key FV/1 (due 20-03 for the invoice, the booking date for payments),
      // then FV/2 (a debit without a due date: booking + 14).
      {"WB 1", "100324", 255}, {"FV 1", "100324", 255}, {"WB 2", "100324", 255},
      {"FV 2", "050324", 0},   {"PK 1", "010224", 0},
  };
  for (std::size_t i = 0; i < afx.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(afx[i].documentNo.view(), want[i].doc);
    EXPECT_EQ(afx[i].groupDate, D(want[i].group_date));
    EXPECT_EQ(afx[i].settledFlag, want[i].settled);
    EXPECT_EQ(afx[i].maskIndex, 2);
  }
  // The report shows only the open items, with full turnover apart.
  EXPECT_EQ(RowsWith("fv/2", 2).size(), 1u);
  EXPECT_TRUE(RowsWith("FV/1", 2).empty());
  const auto razem = RowsWith("Razem 201-01", 2);
  ASSERT_EQ(razem.size(), 1u);
  EXPECT_EQ(Cells(razem[0])[4], "50,00");
  EXPECT_EQ(Cells(razem[0] + 1)[1], "Pełne obroty"_w);
  EXPECT_EQ(Cells(razem[0] + 1)[4], "150,00");
}

// Bytes an old editor leaves past a text's length and in the unused ranges
// of a record never reach the open-items file: it is the same as from the
// clean file.
TEST_F(SettlementsTest, OpenItemsFileIgnoresLeftoverBytes) {
  Post("201-01", "100324", 100, true, "FV/1", D("200324"), "FV 1").description = "Opis";
  Post("201-01", "150324", 60, false, "WB*fv/1", 0, "WB 1");
  Post("201-01", "200324", 40, false, "", 0, "WB 2");
  Write();
  p_.kind = SettlementKind::RoNie;
  p_.masks = {"201*"};
  const std::string annual = dir_ + "/N2024.DFX";
  const std::string afx = dir_ + "/N2024.AFX";
  auto read = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  ASSERT_TRUE(OpenItems(p_, window_));
  const std::string clean = read(afx);
  ASSERT_EQ(clean.size(), 3 * kJournalRecordSize);

  std::string file = read(annual);
  for (std::size_t at = 0; at + kJournalRecordSize <= file.size(); at += kJournalRecordSize) {
    const std::pair<std::size_t, std::size_t> texts[] = {
        {0, 25}, {28, 12}, {45, 25}, {83, 3}, {101, 20}, {130, 30}, {161, 5}, {167, 8}};
    for (const auto& [field, capacity] : texts) {
      const std::size_t n = static_cast<unsigned char>(file[at + field]);
      for (std::size_t i = n; i < capacity; ++i) file[at + field + 1 + i] = 'J';
    }
    const std::pair<std::size_t, std::size_t> unused[] = {
        {44, 1}, {126, 4}, {176, 12}, {190, 2}, {192, 42}, {234, 16}};
    for (const auto& [from, n] : unused) file.replace(at + from, n, n, 'Z');
  }
  std::ofstream(annual, std::ios::binary | std::ios::trunc) << file;
  ASSERT_TRUE(OpenItems(p_, window_));
  EXPECT_EQ(read(afx), clean);
}

TEST_F(SettlementsTest, OpenItemsDueFilterAndCurrency) {
  Post("201-01", "010324", 100, true, "A", D("300424"), "FV 1");  // due after the horizon
  Post("201-01", "020324", 30, true, "B", 0, "FV 2");              // due 16-03
  Post("201-01", "030324", -20, true, "C", D("300424"), "KF 1");  // storno, debits above credits
  JournalEntry& eur = Post("201-02", "010324", 400, true, "E", 0, "FV 3");
  eur.currencyCode = "EUR";
  eur.currencyAmount = 100;
  Post("201-02", "020324", 300, true, "F", 0, "FV 4");
  Write();
  p_.kind = SettlementKind::RoNie;
  p_.show_due_until = D("310324");
  p_.days_reference = D("260324");
  ASSERT_TRUE(OpenItems(p_, window_));
  EXPECT_TRUE(RowsWith("A", 2).empty());
  const auto b = RowsWith("B", 2);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(Cells(b[0])[8], "10");  // 26-03 less the due date 16-03
  EXPECT_EQ(Cells(b[0])[9], "16-03-24");
  EXPECT_EQ(RowsWith("C", 2).size(), 1u);

  p_.show_due_until = 0;
  p_.currency = "EUR";
  ASSERT_TRUE(OpenItems(p_, window_));
  const auto rows = DataRows();
  const auto e = std::find_if(rows.begin(), rows.end(),
                              [](const auto& r) { return r[1].substr(0, 1) == "E"; });
  ASSERT_NE(e, rows.end());
  EXPECT_EQ((*e)[4], "100,00");
  EXPECT_EQ(Afx().size(), 1u);
  // The first run's file is now the backup.
  EXPECT_EQ(ReadRecords(dir_ + "/N2024.BAK").size(), 5u);
}

TEST_F(SettlementsTest, OpenItemsWithNothingSelectedIsRefused) {
  Post("201-01", "010324", 100, true, "A");
  Write();
  p_.kind = SettlementKind::RoNie;
  p_.masks = {"999"};
  EXPECT_FALSE(OpenItems(p_, window_));
  EXPECT_EQ(window_.field, kFieldWalJ);
  EXPECT_EQ(window_.error, "Przerwano");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/N2024.AFX"));
}

// The whole report as text: the head, the column widths and every row.
std::vector<std::string> ReportText() {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::string> text{Concat({doc.Name(), "|", doc.Title()})};
  for (int c = 1; c <= doc.ColumnCount(); ++c) {
    text.push_back(Concat({"column ", std::to_string(doc.Column(c).width)}));
  }
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    std::string row(1, doc.RowKind(r));
    for (int c = 1; c <= doc.ColumnCount(); ++c) {
      row += '|';
      row += doc.Cell(r, c);
    }
    text.push_back(row);
  }
  return text;
}

// RoNie makes its report from the records as it writes them: the same
// report as one read back from the file it built.
TEST_F(SettlementsTest, OpenItemsReportIsTheReportOfTheFileItBuilt) {
  Post("201-01", "100324", 100, true, "FV/1", D("200324"), "FV 1");
  Post("201-01", "150324", 100, false, "WB*fv/1", 0, "WB 1");  // settled: no rows
  Post("201-02", "010224", 10, true, "A", 0, "FV 2");
  Post("201-02", "050224", 4, false, "A", 0, "WB 2");
  Post("201-02", "010324", 5, true, "B", D("300624"), "FV 3");
  Post("201-03", "010324", 7, false, "C", 0, "FV 4");
  Post("202-01", "010324", 9, true, "D", 0, "FV 5");  // not selected
  Write();
  p_.kind = SettlementKind::RoNie;
  p_.masks = {"201*"};
  for (DayNo due_until : {DayNo{0}, D("310524")}) {
    SCOPED_TRACE(due_until);
    p_.show_due_until = due_until;
    ASSERT_TRUE(OpenItems(p_, window_));
    const std::vector<std::string> made = ReportText();
    File afx;
    ASSERT_TRUE(afx.OpenNative(dir_ + "/N2024.AFX", Access::kRead, Share::kDenyWrite));
    FileSource source(afx);
    OpenItemsReport(p_, source, "N2024.AFX", window_);
    EXPECT_EQ(made, ReportText());
    EXPECT_GT(made.size(), 20u);
  }
}

// Esc during the build: the file holds what was read, and the report, as
// one that reads the file would, stops before its first row.
TEST_F(SettlementsTest, OpenItemsAbortedWhileBuildingReportsNoRows) {
  class AbortingWindow : public FakeWindow {
   public:
    bool AbortRequested() override { return ++calls > 1; }
    int calls = 0;
  };
  for (int i = 0; i < 300; ++i) {
    Post(Concat({"201-", std::to_string(100 + i)}).c_str(), "100324", 10, true, "FV/1");
  }
  Write();
  p_.kind = SettlementKind::RoNie;
  AbortingWindow window;
  ASSERT_TRUE(OpenItems(p_, window));
  EXPECT_EQ(Afx().size(), 200u);  // the first block of the scan
  const ReportDocument& doc = CurrentReport();
  ASSERT_EQ(doc.RowKind(doc.RowCount()), '3');
  EXPECT_EQ(doc.Cell(doc.RowCount() - 1, 2), "W raporcie");
  for (std::int32_t r = 1; r < doc.RowCount() - 1; ++r) EXPECT_NE(doc.RowKind(r), '0') << r;
}

TEST_F(SettlementsTest, OpenItemsReportComesFromTheNewFileWhenReplacingFails) {
  Post("201-01", "010324", 100, true, "OLD");
  Write();
  p_.kind = SettlementKind::RoNie;
  ASSERT_TRUE(OpenItems(p_, window_));
  journal_ = test::JournalBuilder();
  Post("201-01", "010324", 100, true, "NEW");
  Write();
  InjectFault(FaultOp::kRename, 1, true);
  ASSERT_TRUE(OpenItems(p_, window_));
  ClearFaults();
  EXPECT_EQ(RowsWith("NEW", 2).size(), 1u);
  EXPECT_TRUE(RowsWith("OLD", 2).empty());
  ASSERT_FALSE(sink_.warnings.empty());
  // The old file stays whole.
  const auto old = Afx();
  ASSERT_EQ(old.size(), 1u);
  EXPECT_EQ(old[0].transactionNo.view(), "OLD");
}

// An account larger than the 21.000 records the builder once held: a
// group whose postings lie at both ends of the account is settled.
TEST_F(SettlementsTest, LargeAccountIsOneWhole) {
  Post("201-01", "020124", 500, true, "BIG");
  for (int i = 0; i < 22000; ++i) Post("201-01", "100224", 1, true, Concat({"K", std::to_string(i)}));
  Post("201-01", "301224", 500, false, "big");
  Write();
  p_.kind = SettlementKind::RoNie;
  ASSERT_TRUE(OpenItems(p_, window_));
  const auto afx = Afx();
  ASSERT_EQ(afx.size(), 22002u);
  const auto big = std::count_if(afx.begin(), afx.end(), [](const JournalEntry& e) {
    return SettlementKey(e.transactionNo.view()) == "BIG" && e.settledFlag == 255 &&
           e.groupDate == D("020124");
  });
  EXPECT_EQ(big, 2);
}

TEST_F(SettlementsTest, RankingOrdersGroupsAndMatchesTheTrialBalance) {
  chart_builder_.Add("201-03", "Firma Gamma");
  Post("201-01", "010324", 300, true, "");
  Post("201-02", "010324", 500, true, "");
  Post("201-02", "020324", 100, false, "");
  Post("201-03", "010324", 200, false, "");  // no debit: not ranked by W
  Post("700", "050324", 700, false, "");
  Post("700", "060324", 100, true, "");
  Write();
  p_.kind = SettlementKind::Ranki;
  p_.masks = {"201*", "70?"};
  p_.pod1 = 1;
  p_.pod7 = 6;
  p_.key_letter = 'W';
  p_.mode = 'N';
  ASSERT_TRUE(Ranking(p_, window_));
  auto rows = DataRows();
  ASSERT_GE(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "201-02", "500,00", "100,00", "400,00", "",
                                               "Firma Beta"}));
  EXPECT_EQ(rows[1][1], "201-01");
  EXPECT_EQ(rows[2][1], "2  [zespół]"_w);
  const auto razem = RowsWith("RAZEM", 2);
  ASSERT_EQ(razem.size(), 1u);
  const auto ranki_total = Cells(razem[0]);

  TrialBalanceParams tb;
  tb.annual_name = p_.annual_name;
  tb.annual_path = p_.annual_path;
  tb.from = p_.from;
  tb.to = p_.to;
  tb.masks = p_.masks;
  tb.chart = &chart_;
  ASSERT_TRUE(TrialBalance(tb, window_));
  const auto tb_total = Cells(RowsWith("RAZEM", 1).at(0));
  // Cumulative turnover and balance: the last four amounts of ZOiSa.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Trim(ranki_total[static_cast<std::size_t>(2 + i)]),
              Trim(tb_total[static_cast<std::size_t>(5 + i)]));
  }
}

TEST_F(SettlementsTest, RankingKeepsEveryEntryOfALargeGroup) {
  for (int i = 0; i < 9500; ++i) {
    char symbol[16];
    std::snprintf(symbol, sizeof symbol, "201-%05d", i);
    Post(symbol, "010324", i == 9400 ? 1000000 : 1 + i % 7, true, "");
  }
  Write();
  p_.kind = SettlementKind::Ranki;
  p_.pod7 = 9;
  p_.key_letter = 'W';
  ASSERT_TRUE(Ranking(p_, window_));
  const auto rows = DataRows();
  ASSERT_EQ(rows.size(), 202u);  // 200 ranked, RAZEM, WYNIK
  EXPECT_EQ(rows[0][1], "201-09400");
  EXPECT_EQ(rows[199][0], "200");
}

TEST_F(SettlementsTest, TopPostingsAreTheLargestWithTheLaterFirstOnTies) {
  Post("201-01", "010324", 5, true, "first five");
  Post("201-01", "020324", 5, true, "second five");
  Post("201-01", "030324", 0, true, "zero");
  Post("201-01", "040324", -3, true, "storno");
  Post("201-01", "050324", 2e12L, true, "huge");
  Post("201-01", "060324", 9, false, "credit");
  Write();
  p_.kind = SettlementKind::Trans;
  p_.debit_postings = true;
  ASSERT_TRUE(TopPostings(p_, window_));
  std::vector<std::string> order;
  for (const auto& r : DataRows()) order.push_back(r[6]);
  EXPECT_EQ(order, (std::vector<std::string>{"huge", "second five", "first five", "zero", "storno"}));
}

TEST_F(SettlementsTest, TopPostingsKeepThe900Largest) {
  std::vector<int> amounts;
  for (int i = 0; i < 2500; ++i) {
    const int a = (i * 7919) % 3001 - 500;
    amounts.push_back(a);
    Post("201-01", "010324", a, true, std::to_string(i));
  }
  Write();
  p_.kind = SettlementKind::Trans;
  ASSERT_TRUE(TopPostings(p_, window_));
  std::sort(amounts.rbegin(), amounts.rend());
  amounts.resize(900);
  const auto rows = DataRows();
  ASSERT_EQ(rows.size(), 900u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(Trim(rows[i][5]), Trim(Amount15(amounts[i]))) << i;
  }
}

// The last place of the list falls among equal amounts: the later postings
// take it, also against an earlier amount equal only after rounding to four
// decimals, and whether they come before or after the larger ones.
TEST_F(SettlementsTest, TopPostingsTieAtTheLastPlaceKeepsTheLaterPostings) {
  Post("201-01", "010324", 50.00003L, true, "tie 0");
  Post("201-01", "010324", 50, true, "tie 1");
  for (int i = 0; i < 450; ++i) Post("201-01", "020324", 100, true, "big");
  Post("201-01", "030324", 50, true, "tie 2");
  for (int i = 0; i < 448; ++i) Post("201-01", "040324", 100, true, "big");
  Post("201-01", "050324", 49.99, true, "smaller");
  Post("201-01", "060324", 50, true, "tie 3");
  Write();
  p_.kind = SettlementKind::Trans;
  p_.debit_postings = true;
  ASSERT_TRUE(TopPostings(p_, window_));
  const auto rows = DataRows();
  ASSERT_EQ(rows.size(), 900u);
  // 898 postings of 100, then two of the four ties: the two latest.
  EXPECT_EQ(rows[897][6], "big");
  EXPECT_EQ(rows[898][6], "tie 3");
  EXPECT_EQ(rows[899][6], "tie 2");
  EXPECT_EQ(rows[899][5], "50,00");
}

TEST_F(SettlementsTest, BankSettlementsAllocatePaymentsInFileOrder) {
  Post("201-01", "010324", 1000, true, "FV/1", D("150324"), "FV 1");
  Post("201-01", "050324", 800, true, "fv/1", D("200324"), "FV 2");
  Post("201-01", "100324", 600, false, "WB*FV/1", D("100324"), "WB 1");
  Post("201-01", "180324", 500, false, "FV/1", D("180324"), "WB 2");
  Post("201-02", "010324", 70, true, "S", 0, "FV 3");  // a single posting: skipped
  Write();
  p_.kind = SettlementKind::RoBan;
  ASSERT_TRUE(BankSettlements(p_, window_));
  std::vector<std::vector<std::string>> got;
  for (const auto& r : DataRows()) got.push_back({r[2], r[5], r[7], r[9]});
  EXPECT_EQ(got, (std::vector<std::vector<std::string>>{
                     {"FV/1", "600,00", "2024-03-10", "5"},
                     {"FV/1", "400,00", "2024-03-18", "-3"},
                     {"fv/1", "", "2024-03-10", "10"},  // the first payment is used up
                     {"fv/1", "100,00", "2024-03-18", "2"},
                     {"fv/1", "700,00", "", "-301"},  // due 20-03-24, today 15-01-25
                 }));
}

// The allocation compared with the plain reading of the rules: every
// invoice against every other posting of the account, keys recomputed each
// time. Keys in several spellings, corrections, returns and payments larger
// and smaller than their invoices, over two accounts.
TEST_F(SettlementsTest, BankSettlementsGiveTheRowsOfTheAllPairsReading) {
  // Spellings of one key (case, prefixes, a Polish letter in the prefix),
  // of a key with the first and last letters, of two keys whose bytes lie
  // next to the letters, and of invoice numbers with DOS letters (a Polish
  // one and the section sign) that the rows show converted.
  const std::string spellings[] = {"fv/%d",  "FV/%d", "WB*fv/%d", "x;FV/%d", "a*b;Fv/%d",
                                   WinToDos("ł;fv/%d"_w), "za/%d", "ZA/%d", "`fv%d", "@FV%d",
                                   "fv{%d", "FV[%d", WinToDos("fś/%d"_w), "fv\x15%d"};
  struct P {
    std::string account, trans;
    bool debit;
    Amount amount;
    DayNo due;
  };
  std::vector<P> postings;
  std::uint32_t seed = 7;
  auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (const char* account : {"201-01", "201-02"}) {
    for (int i = 0; i < 150; ++i) {
      char trans[24];
      std::snprintf(trans, sizeof trans, spellings[next(static_cast<std::uint32_t>(std::size(spellings)))].c_str(),
                    static_cast<int>(next(12)));
      const bool debit = next(2) == 0;
      Amount amount = static_cast<Amount>(1 + next(500));
      if (next(6) == 0) amount = -amount;
      postings.push_back({account, trans, debit, amount, static_cast<DayNo>(D("010324") + next(60))});
    }
  }
  for (const P& x : postings) {
    Post(x.account.c_str(), "010324", x.amount, x.debit, x.trans, x.due, "D 1");
  }
  Write();
  p_.kind = SettlementKind::RoBan;
  ASSERT_TRUE(BankSettlements(p_, window_));
  std::vector<std::pair<std::string, std::string>> got;
  for (const auto& r : DataRows()) got.emplace_back(r[2], r[5]);

  std::vector<std::pair<std::string, std::string>> want;
  for (const char* account : {"201-01", "201-02"}) {
    std::vector<P> buf;
    for (const P& x : postings) {
      if (x.account == account) buf.push_back(x);
    }
    const std::vector<P> original = buf;
    for (std::size_t i = 0; i < buf.size(); ++i) {
      // A correction (a debit below zero as booked) is no invoice of its own.
      if (!buf[i].debit || original[i].amount < 0) continue;
      Amount open = buf[i].amount;
      for (std::size_t j = 0; j < buf.size(); ++j) {
        if (j == i || SettlementKey(buf[j].trans) != SettlementKey(buf[i].trans)) continue;
        P& o = buf[j];
        if (o.debit) {
          if (o.amount < 0) {
            open += o.amount;
            o.amount = 0;
          }
        } else if (o.amount >= 0) {
          Amount paid = std::max<Amount>(0, std::min(o.amount, open));
          want.emplace_back(DosToWin(InvoiceNumberText(buf[i].trans)), Trim(Amount15(paid)));
          open -= paid;
          buf[i].amount = open;
          o.amount -= paid;
        } else {
          open -= o.amount;
          o.amount = 0;
        }
      }
      if (AmountsDiffer(open, 0)) {
        want.emplace_back(DosToWin(InvoiceNumberText(buf[i].trans)), Trim(Amount15(open)));
      }
    }
  }
  ASSERT_GT(want.size(), 50u);
  EXPECT_EQ(got, want);
}

TEST_F(SettlementsTest, BankSettlementsNeverMakeANegativePayment) {
  Post("201-01", "010324", 100, true, "K", 0, "FV 1");
  Post("201-01", "020324", -150, true, "K", 0, "KF 1");
  Post("201-01", "030324", 30, false, "K", 0, "WB 1");
  Write();
  p_.kind = SettlementKind::RoBan;
  ASSERT_TRUE(BankSettlements(p_, window_));
  const auto rows = DataRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][5], "");         // the payment finds nothing open
  EXPECT_EQ(rows[1][5], "-50,00");   // what remains after the correction
}

TEST_F(SettlementsTest, RelatedEntitiesTakeNetRevenueAndMarkDoubtfulRows) {
  Post("201-01", "010324", 123, true, "A", 0, "FV 1");
  Post("201-01", "020324", 124, true, "B", 0, "FV 2");
  Post("201-01", "100324", 123, false, "A", 0, "WB 1");
  Post("201-01", "100324", 124, false, "B", 0, "WB 2");
  Post("700-01-001", "010324", 110, false, "A", 0, "FV 1");
  Post("700-01-001", "010324", 10, true, "A", 0, "FV 1");  // a debit on revenue
  Post("700-01-001", "020324", 100, false, "B", 0, "FV 2");
  Write();
  p_.kind = SettlementKind::NatJP;
  ASSERT_TRUE(BankSettlements(p_, window_));
  const auto rows = DataRows();
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0][3], "1234563218");
  EXPECT_EQ(rows[0][8], "700-01-001");
  EXPECT_EQ(rows[0][9], "100,00");
  EXPECT_EQ(rows[0][10], "23,00");
  EXPECT_EQ(rows[0][11], "23");
  EXPECT_EQ(rows[0][14], "01-");
  EXPECT_EQ(rows[1][9], "---");  // 124 on 100 net: doubtful
  EXPECT_EQ(rows[1][11], "---");
  EXPECT_EQ(rows[2][8], "SUMA");
  EXPECT_EQ(rows[2][9], "");     // no net total for a doubtful account
  EXPECT_EQ(rows[2][12], "247,00");
}

TEST_F(SettlementsTest, ChecksRefuseAMissingFileAndAReversedPeriod) {
  p_.kind = SettlementKind::RoBan;
  EXPECT_FALSE(BankSettlements(p_, window_));
  EXPECT_EQ(window_.field, kFieldRocz);
  Post("201-01", "010324", 1, true, "");
  Write();
  p_.from = D("010424");
  p_.to = D("010324");
  EXPECT_FALSE(TopPostings(p_, window_));
  EXPECT_EQ(window_.field, kFieldDaOd);
  p_.kind = SettlementKind::Ranki;
  p_.from = D("010124");
  p_.pod1 = 3;
  p_.pod3 = 1;
  EXPECT_FALSE(Ranking(p_, window_));
  EXPECT_EQ(window_.field, kFieldPod3);
}

// A file out of account order is refused by every option that scans it, at
// the record that breaks the order; a control record between the postings
// takes no part in the order, and a posting after a control record of an
// earlier account is still checked.
TEST_F(SettlementsTest, FileOutOfAccountOrderIsRefused) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, bool>> records;  // account, control record
    int broken;                                          // 1-based record, 0: in order
  } cases[] = {
      {"back to an earlier account", {{"201-01", false}, {"201-02", false}, {"201-01", false}}, 3},
      {"a control record between", {{"201-02", false}, {"201-01", true}, {"201-02", false}}, 0},
      {"a posting after an earlier account's control record",
       {{"201-02", false}, {"201-01", true}, {"201-01", false}},
       3},
  };
  using Run = bool (*)(const SettlementParams&, OptionServices&);
  const std::pair<SettlementKind, Run> options[] = {{SettlementKind::RoNie, OpenItems},
                                                    {SettlementKind::Trans, TopPostings},
                                                    {SettlementKind::RoBan, BankSettlements},
                                                    {SettlementKind::NatJP, BankSettlements}};
  for (const Case& c : cases) {
    journal_ = test::JournalBuilder();
    for (const auto& [account, control] : c.records) {
      if (control) {
        journal_.Control(account, "PK 1", 10);
      } else {
        Post(account, "100324", 10, true, "FV/1");
      }
    }
    Write();
    for (const auto& [kind, run] : options) {
      SCOPED_TRACE(std::string(c.name) + " " + SettlementCode(kind));
      p_.kind = kind;
      p_.masks = {"201*"};
      window_ = FakeWindow();
      const bool ran = run(p_, window_);
      if (c.broken == 0) {
        EXPECT_TRUE(ran);
        EXPECT_EQ(window_.field, 0);
        continue;
      }
      EXPECT_FALSE(ran);
      EXPECT_EQ(window_.field, kFieldRocz);
      EXPECT_NE(window_.error.find("(zapis " + std::to_string(c.broken) + ")"), std::string::npos)
          << window_.error;
    }
  }
}

}  // namespace
}  // namespace zel
