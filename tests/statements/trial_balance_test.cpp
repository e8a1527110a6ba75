#include "statements/trial_balance.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "output/report_text.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "support/journal_builder.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

DayNo D(const char* ddmmyy) { return DayFromDdMmYy(ddmmyy); }

class FakeWindow : public OptionServices {
 public:
  bool FieldError(int field_number, std::string_view text) override {
    field = field_number;
    error = text;
    return true;
  }
  void Progress(std::string_view, std::int64_t, std::int64_t) override { ++progress_calls; }
  bool AbortRequested() override { return abort; }
  void SetReturnSlot(int) override {}
  void SetReturnField(int f) override { return_field = f; }
  void OpenRunBracket() override {}
  void CloseRunBracket() override {}
  std::string_view PeriodText() const override { return " od 02-2024 do 03-2024"; }

  int field = 0;
  int return_field = 0;
  std::string error;
  int progress_calls = 0;
  bool abort = false;
};

class RecordingJpk : public JpkKrSink {
 public:
  bool Begin() override {
    ++begun;
    return true;
  }
  void AccountRow(std::string_view symbol, const std::array<Amount, 8>& a) override {
    rows.emplace_back(symbol);
    amounts.push_back(a);
  }
  void Posting(const JournalEntry& e) override { postings.emplace_back(e.account.view()); }
  void End() override { ++ended; }
  void Discard() override { ++discarded; }
  int begun = 0, ended = 0, discarded = 0;
  std::vector<std::string> rows;
  std::vector<std::array<Amount, 8>> amounts;
  std::vector<std::string> postings;
};

class QuietSink : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t) override { last = text; }
  void Clear() override {}
  std::string last;
};

// The cells of one report row, as stored.
std::vector<std::string> Cells(std::int32_t row) {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::string> cells;
  for (int c = 1; c <= doc.ColumnCount(); ++c) cells.emplace_back(doc.Cell(row, c));
  return cells;
}

// The first data row whose cell `col` is `label`; 0 when there is none.
std::int32_t FindRow(std::string_view label, int col = 1, std::int32_t from = 1) {
  const ReportDocument& doc = CurrentReport();
  for (std::int32_t r = from; r <= doc.RowCount(); ++r) {
    if (doc.RowKind(r) == '0' && doc.Cell(r, col) == label) return r;
  }
  return 0;
}

std::int32_t FindText(std::string_view text) {
  const ReportDocument& doc = CurrentReport();
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if ((doc.RowKind(r) == '1') && doc.Cell(r, 1) == text) return r;
  }
  return 0;
}

int DataRows() {
  const ReportDocument& doc = CurrentReport();
  int n = 0;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) n += doc.RowKind(r) == '0';
  return n;
}

// BO 01-01-2024, period 01-02-2024 .. 31-03-2024.
class TrialBalanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_sink_ = SetStatusSink(&sink_);
    chart_builder_.Add("2", "Rozrachunki");
    chart_builder_.Add("201", "Odbiorcy");
    chart_builder_.Add("201-01", "Firma Alfa", "", "", "ALFA");
    chart_builder_.Add("201-02", "Firma Beta", "", "", "BETA");
    params_.annual_name = "N2024";
    params_.bo_date = D("010124");
    params_.from = D("010224");
    params_.to = D("310324");
    params_.chart = &chart_;
  }
  void TearDown() override { SetStatusSink(old_sink_); }

  // The standard postings: BO, between BO and period, period, after the end.
  void StandardPostings() {
    journal_.Post("201-01", D("010124"), 100, true);
    journal_.Post("201-01", D("150124"), 40, false);
    journal_.Post("201-02", D("100224"), 25, true, "FV 7", 2);
    journal_.Control("201-02", "FV 7", 999);
    journal_.Post("201-02", D("100424"), 7, false);
  }

  bool RunIt() {
    chart_bytes_ = chart_builder_.Bytes();
    MemorySource chart_source(chart_bytes_);
    chart_.LoadFrom(chart_source);
    bytes_ = journal_.Bytes();
    MemorySource source(bytes_);
    return TrialBalanceFrom(params_, source, "N2024", window_);
  }

  QuietSink sink_;
  StatusSink* old_sink_ = nullptr;
  test::JournalBuilder journal_;
  test::ChartBuilder chart_builder_;
  ChartTable chart_;
  std::string bytes_, chart_bytes_;
  TrialBalanceParams params_;
  FakeWindow window_;
};

TEST_F(TrialBalanceTest, Pod7SumsTwoAccountsAndSortsPostingsByDate) {
  StandardPostings();
  params_.pod7 = 3;
  ASSERT_TRUE(RunIt());
  const ReportDocument& doc = CurrentReport();
  EXPECT_EQ(doc.Title(), "ZESTAWIENIE OBROTÓW i SALD"_w + " od 02-2024 do 03-2024");
  EXPECT_EQ(doc.Subtitle(),
            "ze zbioru N2024  data BO: 01-01-2024  w okresie 01-02-2024 do 31-03-2024");
  EXPECT_EQ(doc.ColumnCount(), 9);
  EXPECT_EQ(doc.Column(1).width, 6);
  EXPECT_EQ(doc.Column(2).heading1.view(), "Bilans otwarcia");
  EXPECT_EQ(doc.Column(3).kind, 'd');
  EXPECT_EQ(doc.StretchColumn(), 1);

  // 201-01: BO 100 Wn; 40 Ma after the BO date only cumulative.
  // 201-02: 25 Wn in the period; the control record and the posting after
  // the period end count nowhere.
  const std::int32_t r = FindRow("201");
  ASSERT_NE(r, 0);
  EXPECT_EQ(Cells(r), (std::vector<std::string>{"201", "100,00", "", "25,00", "", "125,00",
                                                "40,00", "85,00", ""}));
  const std::int32_t total = FindRow("RAZEM");
  ASSERT_GT(total, r);
  EXPECT_EQ(Cells(total), (std::vector<std::string>{"RAZEM", "100,00", "", "25,00", "", "125,00",
                                                    "40,00", "85,00", ""}));
  EXPECT_EQ(Cells(FindRow("WYNIK")), (std::vector<std::string>{"WYNIK", "100,00", "", "25,00", "",
                                                               "85,00", "", "85,00", ""}));
  EXPECT_EQ(DataRows(), 3);
}

TEST_F(TrialBalanceTest, AllDepthsZeroLeaveOnlyAccountLinesAndTotals) {
  StandardPostings();
  struct Case {
    TrialBalanceKind kind;
    int data_rows;
  };
  // ZOiSa: RAZEM, WYNIK. SynMi per account: BO, poprz., 02, 03 and the two
  // total lines; plus two lines each for RAZEM and WYNIK. Anali per account:
  // opening line (201-01 only), postings in the period (one), two total lines.
  const Case cases[] = {{TrialBalanceKind::ZOiSa, 2},
                        {TrialBalanceKind::SyBBO, 2},
                        {TrialBalanceKind::SynMi, 2 * 6 + 4},
                        {TrialBalanceKind::Anali, 1 + 1 + 2 * 2 + 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    params_.kind = c.kind;
    ASSERT_TRUE(RunIt());
    EXPECT_EQ(DataRows(), c.data_rows);
    EXPECT_EQ(FindText("201  [synt]"), 0);
  }
}

TEST_F(TrialBalanceTest, AccountWithOnlyZeroAmountsPrintsNoLineAtAnyLevel) {
  journal_.Post("201-01", D("100224"), 10, true);
  journal_.Post("300", D("100224"), 0, true);
  params_.pod1 = 1;
  params_.pod3 = 3;
  params_.pod7 = 6;
  ASSERT_TRUE(RunIt());
  EXPECT_NE(FindRow("201-01"), 0);
  EXPECT_NE(FindRow("201  [synt]"), 0);
  EXPECT_NE(FindRow("2  [zespół]"_w), 0);
  EXPECT_EQ(FindRow("300"), 0);
  EXPECT_EQ(FindRow("300  [synt]"), 0);
  EXPECT_EQ(FindRow("3  [zespół]"_w), 0);
  // Nothing but the rules of group 2 between its sub-total and RAZEM.
  const std::int32_t group = FindRow("2  [zespół]"_w);
  EXPECT_EQ(FindRow("RAZEM"), group + 2);
}

TEST_F(TrialBalanceTest, ZeroBalanceAccountsAreGatheredPerGroup) {
  for (const char* acc : {"201-01", "201-02", "201-03"}) {
    journal_.Post(acc, D("050224"), 30, true);
    journal_.Post(acc, D("060224"), 30, false);
  }
  journal_.Post("202", D("050224"), 5, false);
  params_.kind = TrialBalanceKind::ZOiSN;
  params_.pod1 = 1;
  params_.pod7 = 6;
  ASSERT_TRUE(RunIt());
  EXPECT_EQ(FindRow("201-01"), 0);
  const std::int32_t zero = FindRow("2-zerowe- (3)");
  const std::int32_t group = FindRow("2  [zespół]"_w);
  ASSERT_NE(zero, 0);
  ASSERT_NE(group, 0);
  EXPECT_LT(FindRow("202"), zero);
  EXPECT_LT(zero, group);
  EXPECT_EQ(Cells(zero), (std::vector<std::string>{"2-zerowe- (3)", "", "", "90,00", "90,00",
                                                   "90,00", "90,00", "", ""}));
  EXPECT_EQ(Cells(group), (std::vector<std::string>{"2  [zespół]"_w, "", "", "90,00", "95,00",
                                                    "90,00", "95,00", "", "5,00"}));
}

TEST_F(TrialBalanceTest, MasksSelectPrefixesAndExactLengths) {
  for (const char* acc : {"201", "2099", "30", "40", "401", "4010"}) {
    journal_.Post(acc, D("100224"), 1, true);
  }
  params_.masks = {"20*", "40?"};
  params_.pod7 = 5;
  ASSERT_TRUE(RunIt());
  for (const char* acc : {"201", "2099", "40", "401"}) {
    SCOPED_TRACE(acc);
    EXPECT_NE(FindRow(acc), 0);
  }
  EXPECT_EQ(FindRow("30"), 0);
  EXPECT_EQ(FindRow("4010"), 0);
  EXPECT_EQ(CurrentReport().Subtitle(),
            "ze zbioru N2024  [konta: 20*,40?]  data BO: 01-01-2024  w okresie 01-02-2024 do "
            "31-03-2024");
}

TEST_F(TrialBalanceTest, MaskTextShowsThreeMasksOrTwoAndDots) {
  params_.masks = {"1*", "2*", "3*"};
  ASSERT_TRUE(RunIt());
  EXPECT_NE(CurrentReport().Subtitle().find("[konta: 1*,2*,3*]"), std::string_view::npos);
  params_.masks = {"1*", "2*", "3*", "4*"};
  ASSERT_TRUE(RunIt());
  EXPECT_NE(CurrentReport().Subtitle().find("[konta: 1*,2*,...]"), std::string_view::npos);
}

TEST(BalanceRule, OppositeSignsStayOtherwiseNetted) {
  struct Case {
    const char* name;
    Amount wn, ma, bwn, bma;
  };
  const Case cases[] = {
      {"debit 100, credit -30 not netted", 100, -30, 100, -30},
      {"equal sides give zeros", 50, 50, 0, 0},
      {"larger debit", 80, 30, 50, 0},
      {"larger credit", 30, 80, 0, 50},
      {"both negative", -100, -30, -70, 0},
      {"nothing", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Amount bwn = 1, bma = 1;
    BalanceRule(c.wn, c.ma, &bwn, &bma);
    EXPECT_FALSE(AmountsDiffer(bwn, c.bwn));
    EXPECT_FALSE(AmountsDiffer(bma, c.bma));
  }
}

TEST_F(TrialBalanceTest, ChecksBeforeTheRun) {
  const std::string dir = MakeTempFolder("zel_tb_checks");
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/N2024.DFX";
  std::ofstream(path, std::ios::binary).put('\0');
  struct Case {
    const char* name;
    TrialBalanceKind kind;
    std::string path;
    const char* bo;
    const char* from;
    const char* to;
    int pod1, pod3, pod7;
    int field;
    std::string message;
  };
  const Case cases[] = {
      {"missing file", TrialBalanceKind::ZOiSa, dir + "/N1999.DFX", "010124", "010224", "310324",
       0, 0, 0, kFieldRocz, "Nie ma " + dir + "/N1999.DFX"},
      {"period before BO", TrialBalanceKind::ZOiSa, path, "010324", "010224", "310324", 0, 0, 0,
       kFieldDaBO, "Popraw datę BO"_w},
      {"SyBBO ignores the BO date", TrialBalanceKind::SyBBO, path, "010324", "010224", "310324",
       0, 0, 0, 0, ""},
      {"end before start", TrialBalanceKind::Anali, path, "010124", "010324", "010224", 0, 0, 0,
       kFieldDaOd, "Popraw datę początkową"_w},
      {"Pod3 below Pod1", TrialBalanceKind::ZOiSa, path, "010124", "010224", "310324", 3, 2, 0,
       kFieldPod3, "Popraw głębokość"_w},
      {"Pod7 below Pod3", TrialBalanceKind::ZOiSa, path, "010124", "010224", "310324", 1, 3, 2,
       kFieldPod7, "Popraw głębokość"_w},
      {"zero depths are off", TrialBalanceKind::ZOiSa, path, "010124", "010224", "310324", 3, 0,
       0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow w;
    TrialBalanceParams p;
    p.kind = c.kind;
    p.annual_path = c.path;
    p.bo_date = D(c.bo);
    p.from = D(c.from);
    p.to = D(c.to);
    p.pod1 = c.pod1;
    p.pod3 = c.pod3;
    p.pod7 = c.pod7;
    EXPECT_EQ(CheckTrialBalance(p, w), c.field == 0);
    EXPECT_EQ(w.field, c.field);
    EXPECT_EQ(w.error, c.message);
    if (c.field != 0) {
      EXPECT_EQ(sink_.last, c.message);
    }
  }
  std::filesystem::remove_all(dir);
}

TEST_F(TrialBalanceTest, WholeRunReadsTheFile) {
  StandardPostings();
  const std::string dir = MakeTempFolder("zel_tb_file");
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(journal_.WriteToNative(dir + "/N2024.DFX"));
  chart_bytes_ = chart_builder_.Bytes();
  MemorySource chart_source(chart_bytes_);
  chart_.LoadFrom(chart_source);
  params_.annual_path = dir + "/N2024.DFX";
  params_.pod7 = 3;
  ASSERT_TRUE(TrialBalance(params_, window_));
  EXPECT_EQ(Cells(FindRow("201"))[3], "25,00");
  EXPECT_GT(window_.progress_calls, 0);
  std::filesystem::remove_all(dir);
}

TEST_F(TrialBalanceTest, SyntheticMonthlyLines) {
  journal_.Post("201-01", D("050324"), 10, false);  // the file is in account order
  StandardPostings();
  params_.kind = TrialBalanceKind::SynMi;
  params_.mode = 'N';
  ASSERT_TRUE(RunIt());
  const ReportDocument& doc = CurrentReport();
  EXPECT_EQ(doc.ColumnCount(), 8);
  EXPECT_EQ(doc.StretchColumn(), 2);
  const std::int32_t bo = FindRow("201-01");
  ASSERT_NE(bo, 0);
  EXPECT_EQ(Cells(bo), (std::vector<std::string>{"201-01", "", "BO", "100,00", "", "100,00", "",
                                                 "Firma Alfa"}));
  EXPECT_EQ(Cells(bo + 1),
            (std::vector<std::string>{"", "", "poprz.", "", "40,00", "60,00", "", ""}));
  EXPECT_EQ(Cells(bo + 2), (std::vector<std::string>{"", "", "02", "", "", "60,00", "", ""}));
  EXPECT_EQ(Cells(bo + 3),
            (std::vector<std::string>{"", "", "03", "", "10,00", "50,00", "", ""}));
  EXPECT_EQ(Cells(bo + 4), (std::vector<std::string>{"201-01", "", "", "", "10,00", "", "",
                                                     "w okresie"}));
  EXPECT_EQ(Cells(bo + 5), (std::vector<std::string>{"", "", "", "100,00", "50,00", "", "",
                                                     "narastająco"_w}));
}

TEST_F(TrialBalanceTest, SyntheticMonthsOverMoreThanAYear) {
  // A period of 18 months: the month list and the day arrays hold it all.
  params_.kind = TrialBalanceKind::SynMi;
  params_.bo_date = D("311222");
  params_.from = D("010123");
  params_.to = D("300624");
  journal_.Post("201-01", D("150624"), 3, true);
  ASSERT_TRUE(RunIt());
  const std::int32_t bo = FindRow("BO", 3);
  ASSERT_NE(bo, 0);
  EXPECT_EQ(CurrentReport().Cell(bo + 18, 3), "06");
  EXPECT_EQ(CurrentReport().Cell(bo + 18, 4), "3,00");
  EXPECT_EQ(CurrentReport().Cell(bo + 19, 8), "w okresie");
}

TEST_F(TrialBalanceTest, AnalyticalListing) {
  StandardPostings();
  journal_.Post("201-03", D("010124"), 12, false);  // BO only, nothing in the period
  chart_builder_.Add("201-03", "Firma Gamma");
  params_.kind = TrialBalanceKind::Anali;
  params_.mode = 'N';
  ASSERT_TRUE(RunIt());
  const std::int32_t head = FindText("201-01   Firma Alfa");
  ASSERT_NE(head, 0);
  const std::int32_t opening = FindRow("Bilans otwarcia", 3);
  EXPECT_EQ(opening, head + 1);
  EXPECT_EQ(Cells(opening)[3], "100,00");
  // 201-01 has no posting in the period: its opening line comes at its close.
  const std::int32_t posting = FindRow("FV 7/2", 3);
  ASSERT_NE(posting, 0);
  EXPECT_EQ(Cells(posting), (std::vector<std::string>{"", "10-02-24", "FV 7/2", "25,00", "", "",
                                                      "", "", ""}));
  const std::int32_t gamma = FindText("201-03   Firma Gamma");
  ASSERT_NE(gamma, 0);
  EXPECT_EQ(Cells(gamma + 1)[4], "12,00");
  EXPECT_EQ(Cells(gamma + 2)[5], "w okresie");
  EXPECT_EQ(Cells(gamma + 2)[7], "201-03");
}

TEST_F(TrialBalanceTest, DescriptionModesShapeTheRows) {
  StandardPostings();
  params_.pod7 = 6;
  struct Case {
    char mode;
    int columns;
    const char* text_line;   // text row before the amounts, or nullptr
    std::vector<std::string> first_cells;
  };
  const Case cases[] = {
      {'B', 9, nullptr, {"201-01", "100,00"}},
      {'N', 10, nullptr, {"201-01", "Firma Alfa", "100,00"}},
      {'H', 10, nullptr, {"201-01", "ALFA", "100,00"}},
      {'O', 9, "201-01   Firma Alfa", {"", "100,00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    params_.mode = c.mode;
    ASSERT_TRUE(RunIt());
    EXPECT_EQ(CurrentReport().ColumnCount(), c.columns);
    std::int32_t row = 0;
    if (c.text_line) {
      std::int32_t t = FindText(c.text_line);
      ASSERT_NE(t, 0);
      row = t + 1;
    } else {
      row = FindRow("201-01");
    }
    ASSERT_NE(row, 0);
    std::vector<std::string> cells = Cells(row);
    cells.resize(c.first_cells.size());
    EXPECT_EQ(cells, c.first_cells);
  }
}

TEST_F(TrialBalanceTest, SyntheticWithoutOpeningColumns) {
  StandardPostings();
  params_.kind = TrialBalanceKind::SyBBO;
  params_.pod7 = 3;
  ASSERT_TRUE(RunIt());
  EXPECT_EQ(CurrentReport().ColumnCount(), 7);
  EXPECT_EQ(CurrentReport().Subtitle().find("data BO"), std::string_view::npos);
  EXPECT_EQ(Cells(FindRow("201")),
            (std::vector<std::string>{"201", "25,00", "", "125,00", "40,00", "85,00", ""}));
}

TEST_F(TrialBalanceTest, JpkRowsFollowTheDeepestLevelAndPeriodPostings) {
  StandardPostings();
  RecordingJpk jpk;
  params_.jpk = &jpk;
  params_.pod1 = 1;
  params_.pod3 = 3;
  ASSERT_TRUE(RunIt());
  EXPECT_EQ(jpk.begun, 1);
  EXPECT_EQ(jpk.ended, 1);
  EXPECT_EQ(jpk.rows, (std::vector<std::string>{"201"}));
  EXPECT_FALSE(AmountsDiffer(jpk.amounts[0][kNaWn], 125));
  EXPECT_EQ(jpk.postings, (std::vector<std::string>{"201-02"}));
}

TEST_F(TrialBalanceTest, AbortStopsTheRun) {
  StandardPostings();
  RecordingJpk jpk;
  params_.jpk = &jpk;
  window_.abort = true;
  EXPECT_FALSE(RunIt());
  EXPECT_EQ(FindRow("RAZEM"), 0);
  // An interrupted run's JPK rows are incomplete: none are kept.
  EXPECT_EQ(jpk.discarded, 1);
  EXPECT_EQ(jpk.ended, 0);
}

// Opening-balance postings that stand after postings of the period, as when
// an opening document is entered late.
TEST_F(TrialBalanceTest, AnaliOpeningLineHoldsTheWholeOpeningBalance) {
  chart_builder_.Add("201-03", "Firma Gamma");
  const DayNo bo = D("010124");
  journal_.Post("201-01", bo, 100, true, "BO 1", 1);
  journal_.Post("201-01", D("100224"), 25, true, "FV 1", 1);
  journal_.Post("201-01", bo, 30, false, "BO 2", 1);
  journal_.Post("201-01", D("150324"), 10, false, "WB 1", 1);
  // The only opening posting after the period's: the line must still come.
  journal_.Post("201-02", D("100224"), 5, true, "FV 2", 1);
  journal_.Post("201-02", bo, 70, true, "BO 3", 1);
  // Nothing in the period: the line at the account's close.
  journal_.Post("201-03", bo, 12, false, "BO 4", 1);
  params_.kind = TrialBalanceKind::Anali;
  params_.mode = 'N';
  ASSERT_TRUE(RunIt());

  struct Row {
    const char* account;
    const char* head;
    const char* wn;
    const char* ma;
    const char* next;  // column 3 of the row after the opening line
  } rows[] = {
      {"201-01", "201-01   Firma Alfa", "100,00", "30,00", "FV 1/1"},
      {"201-02", "201-02   Firma Beta", "70,00", "", "FV 2/1"},
      {"201-03", "201-03   Firma Gamma", "", "12,00", ""},
  };
  std::vector<std::vector<std::string>> opening;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.account);
    const std::int32_t head = FindText(row.head);
    ASSERT_NE(head, 0);
    std::vector<std::string> line = Cells(head + 1);
    line.resize(5);
    EXPECT_EQ(line, (std::vector<std::string>{"", "", "Bilans otwarcia", row.wn, row.ma}));
    EXPECT_EQ(Cells(head + 2)[2], row.next);
    opening.push_back({row.wn, row.ma});
  }
  int opening_lines = 0;
  for (std::int32_t r = FindRow("Bilans otwarcia", 3); r != 0;
       r = FindRow("Bilans otwarcia", 3, r + 1)) {
    ++opening_lines;
  }
  EXPECT_EQ(opening_lines, 3);
  // The posting lines keep their file order after the opening line.
  const std::int32_t alfa = FindText("201-01   Firma Alfa");
  EXPECT_EQ(Cells(alfa + 3)[2], "WB 1/1");

  // The same opening balance as the trial balance shows per account.
  params_.kind = TrialBalanceKind::ZOiSa;
  params_.mode = 'B';
  params_.pod7 = 6;
  ASSERT_TRUE(RunIt());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].account);
    const std::vector<std::string> cells = Cells(FindRow(rows[i].account));
    EXPECT_EQ((std::vector<std::string>{cells[1], cells[2]}), opening[i]);
  }
}

TEST_F(TrialBalanceTest, FileOutOfAccountOrderIsRefusedByEveryOption) {
  const std::string message = "Zbiór N2024 nie jest uporządkowany według kont (zapis 3)"_w;
  for (TrialBalanceKind kind :
       {TrialBalanceKind::ZOiSa, TrialBalanceKind::SyBBO, TrialBalanceKind::SynMi,
        TrialBalanceKind::Anali, TrialBalanceKind::ZOiSN}) {
    SCOPED_TRACE(static_cast<int>(kind));
    journal_ = test::JournalBuilder();
    journal_.Post("201-01", D("010124"), 100, true);
    journal_.Post("201-02", D("100224"), 25, true);
    journal_.Post("201-01", D("100324"), 5, false);  // back to an earlier account
    journal_.Post("201-03", D("100324"), 1, false);
    RecordingJpk jpk;
    window_ = FakeWindow();
    params_.kind = kind;
    params_.jpk = &jpk;
    EXPECT_FALSE(RunIt());
    EXPECT_EQ(window_.field, kFieldRocz);
    EXPECT_EQ(window_.error, message);
    EXPECT_EQ(sink_.last, message);
    // No report, not even a partial one, and no JPK fragments.
    EXPECT_EQ(CurrentReport().RowCount(), 0);
    EXPECT_EQ(CurrentReport().ColumnCount(), 0);
    EXPECT_EQ(jpk.discarded, 1);
    EXPECT_EQ(jpk.ended, 0);
  }
}

TEST_F(TrialBalanceTest, OrderIsCheckedOutsideTheMasksAndThePeriodToo) {
  struct Case {
    const char* name;
    std::vector<std::string> masks;
    const char* late;  // booking date of the record out of order
  } cases[] = {
      {"an account no mask selects", {"201-01"}, "100224"},
      {"a record after the period end", {}, "100424"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    journal_ = test::JournalBuilder();
    journal_.Post("201-01", D("100224"), 1, true);
    journal_.Post("300", D("100224"), 1, true);
    journal_.Post("202", D(c.late), 1, true);
    params_.masks = c.masks;
    window_ = FakeWindow();
    EXPECT_FALSE(RunIt());
    EXPECT_EQ(window_.field, kFieldRocz);
  }
}

TEST_F(TrialBalanceTest, EmptyFileGivesHeadingsAndZeroTotals) {
  ASSERT_TRUE(RunIt());
  EXPECT_EQ(DataRows(), 2);
  EXPECT_EQ(Cells(FindRow("RAZEM"))[1], "");
}

}  // namespace
}  // namespace zel
