#include "audit/annual_audit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "output/report_document.hpp"
#include "output/report_text.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

DayNo D(const char* ddmmyy) {
  return DayFromDdMmYy(ddmmyy);
}

class FakeWindow : public SilentOptionServices {
 public:
  bool FieldError(int field_number, std::string_view text) override {
    field = field_number;
    error = text;
    return true;
  }
  int field = -1;
  std::string error;
};

class QuietSink : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t) override { last = text; }
  void Clear() override {}
  std::string last;
};

struct Row {
  std::string first, debit, credit, text;
  bool operator==(const Row&) const = default;
};

// The data rows before the "=" rule (the findings), and the description
// cells of the rows after it (the explanations).
struct Report {
  std::vector<Row> findings;
  std::vector<std::string> explanations;
};

Report ReadReport() {
  const ReportDocument& doc = CurrentReport();
  Report r;
  bool after_rule = false;
  for (std::int32_t i = 1; i <= doc.RowCount(); ++i) {
    if (doc.RowKind(i) == '3' && doc.Cell(i, 1) == "=") after_rule = true;
    if (doc.RowKind(i) != '0') continue;
    if (after_rule) {
      r.explanations.emplace_back(doc.Cell(i, 4));
    } else {
      r.findings.push_back({std::string(doc.Cell(i, 1)), std::string(doc.Cell(i, 2)),
                            std::string(doc.Cell(i, 3)), std::string(doc.Cell(i, 4))});
    }
  }
  return r;
}

class AnnualAuditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_sink_ = SetStatusSink(&sink_);
    for (const char* s : {"011", "013", "071", "080", "13", "130", "201", "201-1", "201-2", "310",
                          "330", "401", "402", "490", "501", "700", "750", "750-2", "860"}) {
      chart_builder_.Add(s, std::string("konto ") + s);
    }
    params_.name = "N2024";
    params_.path = "X:\\N2024.DFX";
    params_.bo_date = D("010124");
    params_.bz_date = D("311224");
    params_.chart = &chart_;
  }
  void TearDown() override { SetStatusSink(old_sink_); }

  AuditOutcome Run(const test::JournalBuilder& journal) {
    chart_bytes_ = chart_builder_.Bytes();
    MemorySource chart_source(chart_bytes_);
    chart_.LoadFrom(chart_source);
    bytes_ = journal.Bytes();
    MemorySource source(bytes_);
    return AuditFrom(params_, source, window_);
  }

  QuietSink sink_;
  StatusSink* old_sink_ = nullptr;
  test::ChartBuilder chart_builder_;
  ChartTable chart_;
  std::string bytes_, chart_bytes_;
  AuditParams params_;
  FakeWindow window_;
};

struct Posting {
  const char* account;
  const char* ddmmyy;
  double amount;
  bool debit;
};

// Each case: the postings of one account and the texts of its findings.
TEST_F(AnnualAuditTest, GroupRulesOfOneAccount) {
  struct Case {
    const char* name;
    std::vector<Posting> postings;
    std::vector<std::string> texts;  // Windows-1250 after conversion below
  };
  const std::vector<Case> cases = {
      {"cost account credited",
       {{"401", "100324", 100, true}, {"401", "110324", 10, false}},
       {"obroty po stronie ma"}},
      {"cost settlement credited by design", {{"490", "100324", 100, false}}, {}},
      {"cost settlement debited", {{"490", "100324", 5, true}}, {"obroty po stronie wn"}},
      {"cost centre credited", {{"501-401", "100324", 3, false}}, {"obroty po stronie ma"}},
      {"fixed asset below zero",
       {{"011", "100324", 100, true}, {"011", "100424", 150, false}},
       {"saldo po stronie ma"}},
      {"depreciation on the debit side",
       {{"071", "100324", 10, true}, {"071", "100424", 5, false}},
       {"saldo po stronie wn"}},
      {"group 08 below zero", {{"080", "100324", 1, false}}, {"saldo po stronie ma"}},
      {"bank overdrawn",
       {{"130", "100324", 10, true}, {"130", "110324", 20, false}},
       {"saldo po stronie ma"}},
      {"stock below zero",
       {{"310", "100324", 5, true}, {"310", "110324", 6, false}},
       {"saldo po stronie ma"}},
      {"goods in balance", {{"330", "100324", 6, true}, {"330", "110324", 6, false}}, {}},
      {"reversal larger than turnover",
       {{"402", "100324", 5, true}, {"402", "110324", -7, true}},
       {"storno większe niż obroty"}},
      {"result unbalanced",
       {{"860", "311224", 10, true}, {"860", "311224", 9, false}},
       {"wynik finansowy"}},
      {"result balanced", {{"860", "311224", 10, true}, {"860", "311224", 10, false}}, {}},
      {"revenue beside its -2 account",
       {{"750", "100324", 5, false}},
       {"koszt / przychód na 750-2"}},
      {"analytic revenue account", {{"750-2", "100324", 5, false}}, {}},
      {"short account", {{"13", "100324", 5, true}}, {"= za krótkie konto ="}},
      {"synthetic missing from the chart", {{"999-1", "100324", 5, true}}, {"nie ma konta 999"}},
      {"booked before the book year",
       {{"201-1", "311223", 5, true}},
       {"obroty przed datą 01-01-2024"}},
      {"booked after the book year",
       {{"201-1", "020125", 5, true}},
       {"obroty po dacie 31-12-2024"}},
      {"cost on the opening date", {{"402", "010124", 5, true}}, {"koszty pod datą 01-01-2024"}},
      {"revenue on the opening date",
       {{"700", "010124", 5, false}},
       {"przych.pod datą 01-01-2024"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::JournalBuilder journal;
    for (const Posting& p : c.postings) {
      journal.Post(p.account, D(p.ddmmyy), static_cast<Amount>(p.amount), p.debit);
    }
    ASSERT_TRUE(Run(journal).done);
    std::vector<std::string> got;
    for (const Row& r : ReadReport().findings) {
      if (r.first == c.postings.front().account) got.push_back(WinToUtf8(r.text));
    }
    EXPECT_EQ(got, c.texts);
  }
}

TEST_F(AnnualAuditTest, RowsAfterTheLastAccount) {
  test::JournalBuilder journal;
  journal.Post("011", D("100324"), 100, true);
  journal.Post("071", D("100324"), 150, false);
  journal.Post("201-1", D("100324"), 40, true);
  journal.Post("201-2", D("100324"), 15, false);
  journal.Post("401", D("100324"), 100, true);
  journal.Post("402", D("100324"), 50, true);
  journal.Post("501-401", D("100324"), 60, true);
  journal.Post("501-401", D("100424"), 30, true);
  // Cost type 402 closes over the year although its months differ.
  journal.Post("501-402", D("100524"), 50, true);
  ASSERT_TRUE(Run(journal).done);
  // "5??-401" spelled so that no trigraph is formed.
  const std::string circle = std::string("401.. , 5?") + "?-401..";
  const std::vector<Row> want = {
      {"011.. , 071..", "100,00", "150,00", "wartość netto ujemna"_w},
      {"201", "40,00", "15,00", "saldo dwustronne"},
      {"KK w mies.: 03 04", "100,00", "90,00", circle},
      {"01 mies. 03", "100,00", "60,00", circle},
      {"01 mies. 04", "", "30,00", circle},
  };
  EXPECT_EQ(ReadReport().findings, want);
}

TEST_F(AnnualAuditTest, EveryDifferingMonthIsListed) {
  test::JournalBuilder journal;
  for (int mm = 1; mm <= 12; ++mm) {
    char date[7];
    std::snprintf(date, sizeof date, "10%02d24", mm);
    journal.Post("401", D(date), 10, true);
  }
  // Booked after the book year: the month list names it "po".
  journal.Post("501-401", D("100125"), 1, true);
  params_.excluded = ">";
  ASSERT_TRUE(Run(journal).done);
  const std::vector<Row> findings = ReadReport().findings;
  ASSERT_GE(findings.size(), 3u);
  EXPECT_EQ(findings[0].first, "KK w mies.: 01 02");
  EXPECT_EQ(findings[1].first, "03 04 05 06 07 08");
  EXPECT_EQ(findings[2].first, "09 10 11 12 po");
}

TEST_F(AnnualAuditTest, ExcludedCodesLeaveOutRowsAndExplanations) {
  test::JournalBuilder journal;
  journal.Post("401", D("100324"), 100, true);
  journal.Post("401", D("110324"), 10, false);
  journal.Post("501-401", D("100324"), 100, true);
  journal.Post("860", D("311224"), 10, true);
  journal.Post("999", D("100324"), 1, true);

  ASSERT_TRUE(Run(journal).done);
  Report all = ReadReport();
  ASSERT_EQ(all.findings.size(), 3u);
  // Explanations in the order in which the codes first occurred: 4, 8, 3.
  ASSERT_GE(all.explanations.size(), 6u);
  EXPECT_EQ(all.explanations[0], "obroty po stronie ma oznacza, że"_w);
  EXPECT_EQ(all.explanations[4], "wynik finansowy oznacza, że być może powinien"_w);
  EXPECT_EQ(all.explanations.back(), "syntetycznego nie ma w planie kont");

  params_.excluded = "48";
  ASSERT_TRUE(Run(journal).done);
  Report some = ReadReport();
  EXPECT_EQ(some.findings, std::vector<Row>({{"999", "1,00", "", "nie ma konta 999"}}));
  EXPECT_EQ(some.explanations,
            std::vector<std::string>({"nie ma konta oznacza, że to takiego konta"_w,
                                      "syntetycznego nie ma w planie kont"}));
  EXPECT_EQ(CurrentReport().Subtitle(),
            "N2024  w okresie od 01-01-2024 do 31-12-2024  z wyłączeniem \"48\""_w);
}

// A working file stands in document order; the audit of it and of the annual
// file made from it (the same postings sorted by account, stable) agree row
// for row, and an account split over several runs is reported once.
TEST_F(AnnualAuditTest, WorkingOrderGivesTheFindingsOfAccountOrder) {
  test::JournalBuilder working;
  working.Post("401", D("100324"), 100, true, "PK 1", 1);
  working.Post("201-1", D("100324"), 100, false, "PK 1", 2);
  working.Post("501-401", D("100324"), 60, true, "PK 1", 3);
  working.Control("201-1", "PK 1", 100);
  working.Post("401", D("100424"), 7, false, "PK 2", 1);
  working.Post("201-1", D("100424"), 7, true, "PK 2", 2);
  working.Post("13", D("100424"), 1, true, "PK 3", 1);
  working.Post("401", D("100524"), 0.1, true, "PK 4", 1);
  working.Post("860", D("100524"), 0.1, false, "PK 4", 2);

  test::JournalBuilder annual;
  for (const char* account : {"13", "201-1", "401", "501-401", "860"}) {
    for (std::size_t i = 0; i < working.size(); ++i) {
      if (working[i].account.view() == account && !working[i].IsControl()) annual.Add(working[i]);
    }
  }

  const AuditOutcome a = Run(annual);
  ASSERT_TRUE(a.done);
  EXPECT_EQ(a.order, AuditOrder::kAccountOrder);
  const std::string annual_text = ReportAsText(CurrentReport());
  const AuditOutcome w = Run(working);
  ASSERT_TRUE(w.done);
  EXPECT_EQ(w.order, AuditOrder::kSorted);
  EXPECT_EQ(w.postings, a.postings);
  EXPECT_EQ(ReportAsText(CurrentReport()), annual_text);
  const Report r = ReadReport();
  const auto count = [&r](std::string_view account) {
    return std::count_if(r.findings.begin(), r.findings.end(),
                         [&](const Row& row) { return row.first == account; });
  };
  EXPECT_EQ(count("401"), 1);
  EXPECT_EQ(count("13"), 1);
  EXPECT_EQ(count("860"), 1);
}

TEST_F(AnnualAuditTest, EmptyFileGivesTheHeadingAndNoFindings) {
  ASSERT_TRUE(Run(test::JournalBuilder()).done);
  const Report r = ReadReport();
  EXPECT_TRUE(r.findings.empty());
  EXPECT_TRUE(r.explanations.empty());
  EXPECT_EQ(CurrentReport().Title(), "AUDYT ZBIORU ROCZNEGO");
  EXPECT_EQ(CurrentReport().ColumnCount(), 4);
}

TEST_F(AnnualAuditTest, ChecksRefuseABackwardBookYearAndAMissingFile) {
  struct Case {
    const char* name;
    DayNo bo, bz;
    std::string path;
    int field;
    std::string message_start;
  };
  const std::vector<Case> cases = {
      {"year ends before it starts", D("010124"), D("311223"), "X:\\N2024.DFX", 0,
       "Koniec roku obrachunkowego"},
      {"no opening date", 0, D("311224"), "X:\\N2024.DFX", 0, "Koniec roku obrachunkowego"},
      {"missing file", D("010124"), D("311224"), "X:\\NIE-MA-TAKIEGO.DFX", kFieldRobo,
       "Nie ma X:\\NIE-MA-TAKIEGO.DFX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    params_.bo_date = c.bo;
    params_.bz_date = c.bz;
    params_.path = c.path;
    window_ = FakeWindow();
    EXPECT_FALSE(CheckAudit(params_, window_));
    EXPECT_EQ(window_.field, c.field);
    EXPECT_EQ(window_.error.rfind(c.message_start, 0), 0u) << window_.error;
    EXPECT_EQ(sink_.last, window_.error);
  }
}

// The legend stands in the seventeen display-only cells of width 21, each
// beginning with the code it explains.
TEST(AuditLegend, FillsTheCellsWithinTheirWidth) {
  RegisterAuditProcedures();
  EXPECT_TRUE(IsProcedureRegistered(kAuditOptionIndex));
  const std::string codes = "3M7-A804N152<>!KS";
  for (int i = 0; i < 17; ++i) {
    SCOPED_TRACE(i);
    const std::string& text = AuditLegend()[static_cast<std::size_t>(i)];
    EXPECT_LE(text.size(), 21u);
    EXPECT_EQ(text[0], codes[static_cast<std::size_t>(i)]);
    EXPECT_EQ(OptionText(249 + i), text);
  }
  UnregisterProcedure(kAuditOptionIndex);
}

}  // namespace
}  // namespace zel
