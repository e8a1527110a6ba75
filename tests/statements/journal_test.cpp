#include "statements/journal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/state.hpp"
#include "shell/status_recorder.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

using test::JournalBuilder;

DayNo D(const char* ddmmyy) { return DayFromDdMmYy(ddmmyy); }

class FakeWindow : public OptionServices {
 public:
  bool FieldError(int field_number, std::string_view text) override {
    field = field_number;
    error = text;
    return true;
  }
  void Progress(std::string_view, std::int64_t, std::int64_t) override {}
  // Answers true from the abort_at-th question on (0: never).
  bool AbortRequested() override { return abort_at != 0 && ++asked >= abort_at; }
  void SetReturnSlot(int) override {}
  void SetReturnField(int f) override { field = f; }
  void OpenRunBracket() override {}
  void CloseRunBracket() override {}
  std::string_view PeriodText() const override { return " za 2024 rok"; }

  int field = 0;
  std::string error;
  int abort_at = 0;
  int asked = 0;
};

// One report row as "kind|cell|cell..." without trailing empty cells (the
// document keeps cells stripped of surrounding spaces); rule
// rows as their character, text rows and "-" rows as their text.
std::vector<std::string> Rows() {
  const ReportDocument& doc = CurrentReport();
  std::vector<std::string> rows;
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    const char kind = doc.RowKind(r);
    std::string row(1, kind);
    int last = kind == '0' ? doc.ColumnCount() : 1;
    while (last > 1 && doc.Cell(r, last).empty()) --last;
    for (int c = 1; c <= last; ++c) row.append("|").append(doc.Cell(r, c));
    rows.push_back(WinToUtf8(row));
  }
  return rows;
}

class JournalTest : public ::testing::Test {
 protected:
  JournalTest() {
    std::filesystem::create_directory(dir_.Native("Baza"));
    std::filesystem::create_directory(dir_.Native("Tmp"));
    DbDir = "Baza\\";
    TempDir = "Tmp\\";
    StationExt = ".xxx";
    p_.kind = JournalKind::DzieP;
    p_.working_name = "R2024";
    p_.working_path = "Baza\\R2024.DFX";
    p_.from = D("010124");
    p_.to = D("311224");
    p_.chart = &chart_;
  }

  // Runs the journal over the file the builder writes; true when reported.
  bool Run(const JournalBuilder& b) {
    EXPECT_TRUE(b.WriteTo(p_.working_path));
    const std::uint32_t generation = CurrentReport().Generation();
    Journal(p_, window_);
    EXPECT_TRUE(TempFiles().empty()) << "the sorted file stays behind";
    return CurrentReport().Generation() != generation;
  }
  // Work files of this workstation left in the temporary folder (the local
  // copy itself stays for the next run).
  std::vector<std::string> TempFiles() const {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(dir_.Native("Tmp"))) {
      const std::string name = f.path().filename().string();
      if (name.rfind("R2024.DFX", 0) != 0) names.push_back(name);
    }
    return names;
  }
  bool Shown(std::string_view utf8) const {
    const std::string win = Utf8ToWin(utf8);
    return std::any_of(rec_.shown.begin(), rec_.shown.end(),
                       [&](const auto& m) { return m.first == win; });
  }

  testing::ZelTestFolder dir_;
  testing::StatusRecorder rec_;
  ChartTable chart_;
  FakeWindow window_;
  JournalParams p_;
};

TEST_F(JournalTest, FullJournalPrintsEachDocumentWithItsChecksInDocumentOrder) {
  JournalBuilder b;
  // Written out of order, control records before their postings.
  b.Control("201", "KP/004", 90);
  b.Post("100", D("100124"), 100, true, "KP/004", 1).journalNo = 0;
  b.Post("201", D("100124"), 100, false, "KP/004", 2).journalNo = 0;
  b.Control("100", "KP/001", 100);
  b.Post("201", D("050124"), 100, false, "KP/001", 2).journalNo = 2;
  b.Post("100", D("050124"), 100, true, "KP/001", 1).journalNo = 1;
  b.Post("100", D("060124"), 100, true, "KP/002", 1).journalNo = 3;
  b.Post("201", D("060124"), 99.99L, false, "KP/002", 2).journalNo = 4;
  b[4].transactionNo = "FV 7";
  b[4].dueDate = D("200124");
  ASSERT_TRUE(Run(b));
  const std::vector<std::string> want = {
      "0|Dow.|KP/001 z 05-01-24",
      "0|1|100|100,00",
      "0|2|201||100,00|FV 7|20-01-2024",
      "0||Razem d-d KP/001|100,00|100,00",
      "3| ",
      "0|Dow.|KP/002 z 06-01-24",
      "0|3|100|100,00",
      "0|4|201||99,99",
      "0||Razem d-d KP/002|100,00|99,99",
      "-| *** Niezgodność strony W-N z MA",
      "3|=",
      "0|Dow.|KP/004 z 10-01-24",
      "0|1|100|100,00",
      "0|2|201||100,00",
      "0||Razem d-d KP/004|100,00|100,00",
      "-| *** Niezgodna suma kontrolna",
      "3| ",
      "0||Razem zbiór|300,00|299,99",
  };
  EXPECT_EQ(Rows(), want);
  EXPECT_EQ(CurrentReport().Title(), Utf8ToWin("DZIENNIK PEŁNY za 2024 rok"));
  EXPECT_EQ(CurrentReport().Subtitle(), "ze zbioru R2024");
}

TEST_F(JournalTest, ControlRecordsAreCheckedAgainstTheWholeDocument) {
  const struct {
    const char* name;
    std::vector<Amount> controls;
    bool flagged;
  } cases[] = {
      {"one equal", {50}, false},
      {"one different", {45}, true},
      {"two equal", {50, 50}, false},
      {"the second different", {50, 49.99L}, true},
      {"zero checks nothing", {0}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JournalBuilder b;
    // Control records take entry numbers below the postings' and a booking
    // date outside the period: neither may cost the check.
    for (Amount control : c.controls) b.Control("100", "PK/1", control);
    b.Post("100", D("020224"), 20, true, "PK/1", 1);
    b.Post("101", D("020224"), 30, true, "PK/1", 2);
    b.Post("201", D("020224"), 50, false, "PK/1", 3);
    ASSERT_TRUE(Run(b));
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "-| *** Niezgodna suma kontrolna"),
              c.flagged ? 1 : 0);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& r) { return r.rfind("0|Dow.", 0) == 0; }),
              1)
        << "a control record starts no document";
    EXPECT_EQ(rows.back(), "0||Razem zbiór|50,00|50,00");
  }
}

TEST_F(JournalTest, ShortJournalCountsEachPostingOnce) {
  AccountRecord acc;
  acc.symbol = "201-7";
  acc.name = Utf8ToWin("Hurtownia Żak");
  chart_.Put(acc);
  JournalBuilder b;
  b.Post("100", D("030324"), 40, true, "WB/1", 1).transactionNo = "T1";
  b.Post("201-7", D("030324"), 40, false, "WB/1", 2);
  b.Post("100", D("040324"), 10, true, "WB/2", 1).description = WinToDos(Utf8ToWin("wpłata"));
  b.Post("201-7", D("040324"), 9, false, "WB/2", 2);
  b[2].documentDate = D("010324");
  p_.kind = JournalKind::DzieS;
  ASSERT_TRUE(Run(b));
  const std::vector<std::string> want = {
      "0|Dow.|WB/1 z 03-03-24|||T1",
      "0||dok. z dnia 03-03-24|40,00|40,00|201-7 Hurtownia Żak",
      "3| ",
      "0|Dow.|WB/2 z 04-03-24",
      "0||dok. z dnia 01-03-24|10,00|9,00|wpłata",
      "-| *** Niezgodność strony W-N z MA",
      "3| ",
      "0||Razem zbiór|50,00|49,00",
  };
  EXPECT_EQ(Rows(), want);
  EXPECT_EQ(CurrentReport().Title(), Utf8ToWin("DZIENNIK SKRÓCONY za 2024 rok"));
}

TEST_F(JournalTest, SelectsByDatesNumbersAndMasks) {
  JournalBuilder b;
  for (const char* doc : {"FV/01", "FV/02", "KP/01", "KP/02", "KP/03"}) {
    const DayNo day = doc[4] == '1' ? D("100124") : D("100224");
    b.Post("100", day, 1, true, doc, 1);
    b.Post("200", day, 1, false, doc, 2);
  }
  const struct {
    const char* name;
    std::string first, last;
    std::vector<std::string> masks;
    DayNo from, to;
    std::vector<std::string> documents;
  } cases[] = {
      {"everything", "", "", {}, D("010124"), D("311224"),
       {"FV/01", "FV/02", "KP/01", "KP/02", "KP/03"}},
      {"one month", "", "", {}, D("010224"), D("290224"), {"FV/02", "KP/02", "KP/03"}},
      {"a range", "FV/02", "KP/02", {}, D("010124"), D("311224"), {"FV/02", "KP/01", "KP/02"}},
      {"a mask with *", "", "", {"KP*"}, D("010124"), D("311224"), {"KP/01", "KP/02", "KP/03"}},
      {"masks with ?", "", "", {"?" "?/01", "FV/0?"}, D("010124"), D("311224"),
       {"FV/01", "FV/02", "KP/01"}},
      {"an exact mask", "", "", {"KP/0"}, D("010124"), D("311224"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    p_.first_document = c.first;
    p_.last_document = c.last;
    p_.masks = c.masks;
    p_.from = c.from;
    p_.to = c.to;
    ASSERT_TRUE(Run(b));
    std::vector<std::string> documents;
    for (const std::string& r : Rows()) {
      if (r.rfind("0|Dow.|", 0) == 0) documents.push_back(r.substr(7, 5));
    }
    EXPECT_EQ(documents, c.documents);
  }
}

TEST_F(JournalTest, RefusesWrongParametersWithTheirField) {
  JournalBuilder b;
  b.Post("100", D("100124"), 1, true, "KP/1", 1);
  ASSERT_TRUE(b.WriteTo(p_.working_path));
  const struct {
    const char* name;
    std::string path, first, last;
    DayNo from, to;
    int field;
    const char* message;
  } cases[] = {
      {"missing file", "Baza\\R2023.DFX", "", "", D("010124"), D("311224"), kFieldRobo,
       "Nie ma Baza\\R2023.DFX"},
      {"first without last", p_.working_path, "KP/1", "", D("010124"), D("311224"), kFieldDoOd,
       "Popraw numery dowodów"},
      {"last before first", p_.working_path, "KP/2", "KP/1", D("010124"), D("311224"),
       kFieldDoOd, "Popraw numery dowodów"},
      {"end before start", p_.working_path, "", "", D("020224"), D("010224"), kFieldDaDo,
       "Popraw datę końcową"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JournalParams p = p_;
    p.working_path = c.path;
    p.first_document = c.first;
    p.last_document = c.last;
    p.from = c.from;
    p.to = c.to;
    FakeWindow w;
    const std::uint32_t generation = CurrentReport().Generation();
    EXPECT_FALSE(Journal(p, w));
    EXPECT_EQ(w.field, c.field);
    EXPECT_EQ(w.error, Utf8ToWin(c.message));
    EXPECT_EQ(CurrentReport().Generation(), generation);
  }
  p_.first_document = "KP/1";
  p_.last_document = "KP/1";
  EXPECT_TRUE(CheckJournal(p_, window_)) << "a range of one document";
}

TEST_F(JournalTest, EmptyFileAndEmptySelectionReportNothing) {
  EXPECT_FALSE(Run(JournalBuilder()));
  EXPECT_TRUE(Shown("Nic nie ma"));
  JournalBuilder b;
  b.Post("100", D("100124"), 1, true, "KP/1", 1);
  b.Control("100", "KP/2", 1);  // a control record alone is no posting
  p_.from = D("010224");
  EXPECT_FALSE(Run(b));
  EXPECT_TRUE(Shown("Brak dekretów"));
}

TEST_F(JournalTest, DamagedAmountIsLeftOutAndSaid) {
  JournalBuilder b;
  b.Post("100", D("100124"), 5, true, "KP/1", 1);
  b.Post("201", D("100124"), 5, false, "KP/1", 2);
  b.Post("201", D("100124"), 7, false, "KP/1", 3);
  const std::uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  b.SetRawAmount(2, nan);
  ASSERT_TRUE(Run(b));
  EXPECT_EQ(Rows().back(), "0||Razem zbiór|5,00|5,00");
  EXPECT_TRUE(Shown("Uszkodzony zapis nr 3 w Baza\\R2024.DFX"));
}

TEST_F(JournalTest, PostingOrderSortsAndTitlesOnly) {
  JournalBuilder b;
  b.Post("100", D("100124"), 1, true, "KP/1", 1);
  p_.kind = JournalKind::PoKsi;
  ASSERT_TRUE(Run(b));
  EXPECT_EQ(CurrentReport().Title(), Utf8ToWin("Polecenie księgowania"));
  EXPECT_EQ(CurrentReport().RowCount(), 0);
}

TEST_F(JournalTest, InterruptionsEndTheRunAndSayIt) {
  JournalBuilder b;
  for (int i = 1; i <= 1500; ++i) {
    const std::string doc = "PK/" + std::to_string(10000 + i);
    b.Post("100", D("100124"), 1, true, doc, 1);
    b.Post("200", D("100124"), 1, false, doc, 2);
  }
  // While sorting: nothing is printed.
  window_.abort_at = 1;
  EXPECT_FALSE(Run(b));
  EXPECT_TRUE(Shown("Przerwanie"));
  // While printing (the sort asks once): the report ends in "Przerwanie".
  window_.asked = 0;
  window_.abort_at = 3;
  ASSERT_TRUE(Run(b));
  const std::vector<std::string> rows = Rows();
  EXPECT_EQ(rows.back(), "1|Przerwanie");
  EXPECT_GT(rows.size(), 1000u);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const std::string& r) { return r.find("Razem zbiór") != r.npos; }),
            0);
}

// The sorted file holds the selected records in document order, control
// records after their document's postings, equal records in file order.
TEST_F(JournalTest, SortedFileFollowsTheDocumentOrder) {
  // A few hundred records are a few hundred ascending runs, merged; ten
  // thousand are too many runs and take the other way.
  for (const int records : {400, 10000}) {
    SCOPED_TRACE(records);
    std::mt19937 rng(7);
    JournalBuilder b;
    // Short numbers, and long ones that differ past their eighth character.
    const char* docs[] = {"A",     "A1",          "AB",           "A\x01",      "B",
                          "\xA5x", "KP24/000001", "KP24/0000010", "KP24/00000", "KP24/000002"};
    const Amount amounts[] = {-5, -0.00001L, 0, 0.00004L, 0.0001L, 12.5L, 1e12L, -1e12L};
    for (int i = 0; i < records; ++i) {
      JournalEntry e =
          test::Posting("100", D("100124"), amounts[rng() % 8], rng() % 2 == 0,
                        docs[rng() % std::size(docs)], static_cast<std::uint16_t>(rng() % 3));
      e.transactionNo = std::string(rng() % 2, 'T');
      e.dueDate = static_cast<DayNo>(rng() % 2);
      e.journalNo = rng() % 10 == 0 ? -1 : 1;
      e.operationDate = static_cast<DayNo>(i);  // the file position, to check stability
      b.Add(e);
    }
    ASSERT_TRUE(b.WriteTo(p_.working_path));
    // Leftover bytes past a text's length (as an old editor leaves them) are
    // no part of the text and must not change the order.
    std::string file = dir_.Get("Baza/R2024.DFX");
    for (std::size_t at = 0; at + kJournalRecordSize <= file.size(); at += kJournalRecordSize) {
      for (const auto& [field, capacity] :
           {std::pair<std::size_t, std::size_t>{28, 12}, {101, 20}}) {
        const std::size_t n = static_cast<unsigned char>(file[at + field]);
        for (std::size_t i = n; i < capacity; ++i) file[at + field + 1 + i] = 'z';
      }
    }
    dir_.Put("Baza/R2024.DFX", file);
    std::uint64_t count = 0;
    ASSERT_EQ(SortJournal(p_.working_path, "Tmp\\sorted", p_, window_, &count),
              SortResult::kSorted);
    const std::string bytes = dir_.Get("Tmp/sorted");
    ASSERT_EQ(bytes.size(), (count + 1) * kJournalRecordSize);
    auto at = [&](std::uint64_t i) {
      JournalEntry e;
      DecodeJournalEntry(
          reinterpret_cast<const std::uint8_t*>(bytes.data()) + i * kJournalRecordSize, &e);
      return e;
    };
    EXPECT_EQ(at(0).documentNo.view(), "\xFF");
    for (std::uint64_t i = 2; i <= count; ++i) {
      const JournalEntry a = at(i - 1), c = at(i);
      SCOPED_TRACE(i);
      const int doc = CompareSymbols(a.documentNo, c.documentNo);
      ASSERT_LE(doc, 0);
      if (doc < 0) continue;
      ASSERT_LE(a.IsControl(), c.IsControl());
      if (a.IsControl() != c.IsControl()) continue;
      const int order = CompareDocumentOrder(a, c);
      ASSERT_LE(order, 0);
      if (order == 0) {
        ASSERT_LT(a.operationDate, c.operationDate);
      }
    }
    EXPECT_GT(count, static_cast<std::uint64_t>(records) * 3 / 4);
  }
}

TEST(NextDocumentNumber, AddsOneToTheTrailingDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"KP/001", "KP/002"}, {"KP/009", "KP/010"}, {"KP/999", "KP/000"},
      {"KP24/000003", "KP24/000004"}, {"A9", "A0"}, {"KP/", "KP/"}, {"", ""},
  };
  for (const auto& [from, want] : cases) EXPECT_EQ(NextDocumentNumber(from), want) << from;
}

}  // namespace
}  // namespace zel
