// The hint list: what each kind holds, where it opens, the keys, the
// filter and the search, choosing and Esc, the calendar, the free numbers
// of the account list, the documents of a journal file and the folder walks.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "fields/hint_lists.hpp"
#include "fields/lis_f45.hpp"
#include "menu/desktop_services.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

struct ReturnRecorder : DesktopServices {
  std::vector<bool> returns;  // RetF45(escaped)
  ReturnRecorder() { previous_ = SetDesktopServices(this); }
  ~ReturnRecorder() override { SetDesktopServices(previous_); }
  void ShowKind(std::uint8_t, std::uint8_t) override {}
  void Ending() override {}
  void RetF3(bool) override {}
  void RetF45(bool escaped) override { returns.push_back(escaped); }
  void F45(std::uint8_t, std::uint8_t, std::string_view, std::uint16_t) override {}
  void SetClipboard(std::string_view) override {}

 private:
  DesktopServices* previous_;
};

struct Host : ListHost {
  ListRequest request;
  std::vector<ListAnswer> answers;
  std::vector<std::string> pictures;
  ListRequest Request() override { return request; }
  void Answer(const ListAnswer& a) override { answers.push_back(a); }
  void ShowPicture(std::string_view p) override { pictures.emplace_back(p); }
};

// A scratch database folder (absolute, so the Zel folder stays as it is),
// the chart cleared; the shell state it changes is put back afterwards.
class HintListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zel-lists-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/DB");
    // Absolute folders: the process's Zel folder stays as the other tests
    // left it.
    db_ = root_ + "/DB\\";
    DbDir = db_;
    TempDir = db_;
    StationExt = ".xxx";
    Today = DayFromDdMmYy("150126");
    BzDate = DayFromDdMmYy("311224");
    Chart().Clear();
  }
  void TearDown() override {
    Chart().Clear();
    DbDir = saved_db_;
    TempDir = saved_temp_;
    StationExt = saved_ext_;
    Today = saved_today_;
    BzDate = saved_bz_;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::string Native(const std::string& rel) const { return root_ + "/DB/" + rel; }
  void WriteText(const std::string& rel, const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(Native(rel)).parent_path());
    std::ofstream(Native(rel), std::ios::binary) << text;
  }
  void PutAccounts(std::initializer_list<const char*> symbols) {
    for (const char* s : symbols) {
      AccountRecord r;
      r.symbol = s;
      r.name = std::string("Konto ") + s;
      Chart().Put(r);
    }
  }
  FLisF45& OpenList(std::uint8_t kind, std::string typed = "", bool f5 = false,
                    std::string pattern = "") {
    host_.request = ListRequest{kind, f5, std::move(typed), std::move(pattern), 55};
    form_.Go(1);
    return form_;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> v;
    for (std::size_t i = 0; i < form_.Count(); ++i) v.push_back(WinToUtf8(form_.EntryText(i)));
    return v;
  }

  std::string root_;
  std::string db_;
  const std::string saved_db_ = DbDir.str();
  const std::string saved_temp_ = TempDir.str();
  const std::string saved_ext_ = StationExt.str();
  const DayNo saved_today_ = Today;
  const DayNo saved_bz_ = BzDate;
  ReturnRecorder desktop_;
  Host host_;
  FLisF45 form_{host_};
};

TEST_F(HintListTest, AccountListHasOneFreeEntryPerGapAndOpensAtTheTypedText) {
  PutAccounts({"1", "100", "130", "2", "201", "201-01", "201-02", "201-05", "202", "205", "300"});
  OpenList(107);
  // A gap sorts among the other families: "101..129" after "100", before "130".
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{
                "1 × Konto 1", "100 × Konto 100", "101 × wolne 101 - 129", "130 × Konto 130",
                "131 × wolne 131 - 200", "2 × Konto 2", "201 × Konto 201", "201-01 × Konto 201-01",
                "201-02 × Konto 201-02", "201-03 × wolne 201-03 - 201-04", "201-05 × Konto 201-05",
                "202 × Konto 202", "203 × wolne 203 - 204", "205 × Konto 205",
                "206 × wolne 206 - 299", "300 × Konto 300"}));
  EXPECT_EQ(WinToUtf8(form_.Caption()),
            "    Lista F4 / F5    [F4] szuka wolne        16 pozycji    [F4] wolne");

  struct Row {
    const char* typed;
    std::size_t selected;
  };
  for (const Row& row :
       {Row{"", 0}, Row{"20", 6}, Row{"201-03", 9}, Row{"202", 11}, Row{"21", 15}, Row{"9", 15}}) {
    SCOPED_TRACE(row.typed);
    OpenList(107, row.typed);
    EXPECT_EQ(form_.Selected(), row.selected);
  }

  // F4 goes from gap to gap and round to the first again.
  OpenList(107);
  for (std::size_t want : {2u, 4u, 9u, 12u, 14u, 2u}) {
    form_.Key(kListF4);
    EXPECT_EQ(form_.Selected(), want);
  }
  form_.ClickGo();
  ASSERT_EQ(host_.answers.size(), 1u);
  EXPECT_EQ(host_.answers[0].value, "101");
  EXPECT_EQ(desktop_.returns, std::vector<bool>{false});
}

TEST_F(HintListTest, AccountListReachesEveryAccountOfALargeChart) {
  for (int i = 0; i < 12000; ++i) {
    AccountRecord r;
    r.symbol = Concat({"5", std::to_string(10000 + i * 2)});  // every other number free
    r.name = "x";
    Chart().Put(r);
  }
  OpenList(49, "523998");
  EXPECT_EQ(form_.Count(), 12000u + 11999u);
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "523998");
  form_.Key(kListEnd);
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "533998");
}

TEST_F(HintListTest, KeysMoveWithinBothEnds) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "#L" + std::to_string(1000 + i) + "\r\n";
  WriteText("Linie.TXT", text);
  OpenList(89, "", false, "Linie.TXT");
  ASSERT_EQ(form_.Count(), 150u);
  EXPECT_EQ(form_.EntryText(0), "L1000");  // the marker character dropped

  struct Row {
    const char* name;
    std::size_t from;
    std::uint16_t key;
    std::size_t to;
  };
  const Row rows[] = {
      {"up at the top", 0, kListUp, 0},
      {"pad 8 up", 5, kListPad8, 4},
      {"down", 5, kListDown, 6},
      {"pad 2 down at the end", 149, kListPad2, 149},
      {"page up near the top", 4, kListPageUp, 0},
      {"pad 3 page down", 4, kListPad3, 14},
      {"page down near the end", 145, kListPageDown, 149},
      {"home", 80, kListHome, 0},
      {"pad 1 end", 3, kListPad1, 149},
      {"pad 6 hundred down", 20, kListPad6, 120},
      {"pad 6 past the end", 60, kListPad6, 149},
      {"pad 4 hundred up past the top", 60, kListPad4, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    form_.Select(row.from);
    form_.Key(row.key);
    EXPECT_EQ(form_.Selected(), row.to);
    EXPECT_LE(form_.TopLine(), form_.Selected());
    EXPECT_LT(form_.Selected(), form_.TopLine() + FLisF45::kVisibleLines);
  }
}

TEST_F(HintListTest, FilterFoldsCaseAndPolishLetters) {
  struct Row {
    const char* filter;
    std::vector<std::string> values;
  };
  const Row rows[] = {
      {"EURO", {"EUR"}},
      {"węgry", {"HUF"}},
      {"WEGRY", {"HUF"}},
      {"szwedz", {"SEK"}},
      {"dolar", {"USD", "AUD", "HKD", "CAD", "NZD", "SGD"}},
      {"xyz", {""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.filter);
    OpenList(87, "", true);
    EXPECT_EQ(form_.Mode(), 0);
    EXPECT_FALSE(form_.ListEnabled());
    EXPECT_EQ(form_.Focus(), ListFocus::kFilter);
    form_.SetFilterText(Utf8ToWin(row.filter));
    form_.EnterFilter();
    EXPECT_TRUE(form_.ListEnabled());
    EXPECT_TRUE(form_.SearchEnabled());
    std::vector<std::string> values;
    for (std::size_t i = 0; i < form_.Count(); ++i)
      values.push_back(EntryValue(form_.EntryText(i)));
    EXPECT_EQ(values, row.values);
  }
  // The empty result names the filter after 99 spaces.
  EXPECT_EQ(form_.EntryText(0),
            std::string(kEntrySeparator) + "pusta lista" + std::string(99, ' ') + "xyz");
  form_.ClickGo();
  EXPECT_EQ(host_.answers.back().value, "");
}

TEST_F(HintListTest, SearchFindsForwardAndBackAndWraps) {
  OpenList(87);
  form_.FocusSearch();
  EXPECT_EQ(form_.SearchEdit(), "");
  form_.SetSearchText("korona");
  form_.ClickGo();  // Go in the search edit searches
  EXPECT_EQ(form_.Mode(), 2);
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "CZK");
  EXPECT_EQ(WinToUtf8(form_.SearchEdit()), " - w tył   w przód + ");
  EXPECT_EQ(form_.Focus(), ListFocus::kList);
  form_.Key(kListGreyPlus);
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "DKK");
  form_.Key(kListGreyMinus);
  form_.Key(kListGreyMinus);  // before the first one: round to the last
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "SEK");
  EXPECT_TRUE(host_.answers.empty());
}

TEST_F(HintListTest, ChoosingReturnsTheValueAndEscReturnsNone) {
  OpenList(87, "EUR");
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "EUR");
  form_.DoubleClick(form_.Selected());
  ASSERT_EQ(host_.answers.size(), 1u);
  EXPECT_EQ(host_.answers[0].value, "EUR");
  EXPECT_EQ(host_.answers[0].description, "euro 1EUR + cent");
  EXPECT_FALSE(host_.answers[0].none);
  EXPECT_EQ(form_.Frame().height, 0);

  OpenList(87);
  form_.ClickEsc();
  EXPECT_EQ(host_.answers.size(), 1u);
  EXPECT_EQ(desktop_.returns, (std::vector<bool>{false, true}));

  OpenList(80, "CS");
  form_.ClickDelete();
  EXPECT_EQ(host_.answers.back().value, "CS");
  EXPECT_EQ(host_.answers.back().request, 'D');
  EXPECT_EQ(form_.Mode(), 3);

  WriteText("Pliki.TXT", "*Raport1 opis\n*Raport2 inny\n");
  OpenList(32, "Raport2", false, "Pliki.TXT");
  form_.ClickGo();
  EXPECT_EQ(host_.answers.back().value, "Raport2");  // kind 32: up to the first space

  OpenList(68, "150324", true);
  form_.SetFilterText("15-03-2024");
  form_.EnterFilter();
  ASSERT_EQ(form_.Count(), 1u);
  form_.ClickGo();
  EXPECT_EQ(host_.answers.back().value, "150324");

  OpenList(32, "", false, "Brak.TXT");
  EXPECT_EQ(WinToUtf8(form_.EntryText(0)), " × Pusty zbiór \"Brak.TXT");
}

TEST_F(HintListTest, CalendarReturnsDaysTheDayNumbersHold) {
  OpenList(68, "150324");
  ASSERT_TRUE(form_.CalendarMode());
  EXPECT_FALSE(form_.ListEnabled());
  EXPECT_EQ(form_.CalendarStart().year, 2024);
  EXPECT_EQ(form_.CalendarStart().month, 3);
  EXPECT_EQ(form_.CalendarStart().day, 15);

  struct Row {
    const char* name;
    CalendarDay day;
    bool double_click;
    const char* value;
  };
  const Row rows[] = {
      {"a day, double click", {2024, 2, 29}, true, "290224"},
      {"a day, Go", {2024, 2, 29}, false, "290224"},
      {"after 2039, double click", {2045, 12, 31}, true, "311239"},
      {"after 2039, Go", {2045, 12, 31}, false, ""},
      {"before 1920, double click", {1919, 12, 31}, true, ""},
      {"1-1-1920 is the empty day", {1920, 1, 1}, true, ""},
      {"the first day", {1920, 1, 2}, false, "020120"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OpenList(68, "");
    if (row.double_click) {
      form_.CalendarDoubleClick(row.day);
    } else {
      form_.SetCalendarDay(row.day);
      form_.ClickGo();
    }
    EXPECT_EQ(host_.answers.back().value, row.value);
    EXPECT_FALSE(host_.answers.back().none);
  }
  for (long n : {-400L, 1L, 31L, 60L, 43829L, 80000L}) {
    EXPECT_EQ(DaysSince1920(CalendarDayOf(n)), n);
  }
}

TEST_F(HintListTest, DateAndYearListsReachTheBookYear) {
  struct Row {
    const char* today;
    const char* bz;
    const char* last_day;
    int last_year;
  };
  const Row rows[] = {
      {"150118", "311218", "311222", 2019},  // the fixed bounds
      {"150126", "311224", "311227", 2027},  // the year after today
      {"150120", "311230", "311231", 2031},  // the year after the book year
      {"010139", "311239", "311239", 2039},  // never past 2039
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.today);
    Today = DayFromDdMmYy(row.today);
    BzDate = DayFromDdMmYy(row.bz);
    EXPECT_EQ(DayToDdMmYy(LastListedDay()), row.last_day);
    EXPECT_EQ(LastListedYear(), row.last_year);
  }
  Today = DayFromDdMmYy("150125");
  BzDate = DayFromDdMmYy("311224");
  OpenList(82, "2024");
  EXPECT_EQ(form_.EntryText(form_.Selected()), "2024");
  EXPECT_EQ(form_.EntryText(form_.Count() - 1), "2026");
}

TEST_F(HintListTest, DocumentListTotalsEveryDocumentOfTheFile) {
  test::JournalBuilder j;
  const DayNo d1 = DayFromDdMmYy("020124");
  const DayNo d2 = DayFromDdMmYy("050124");
  j.Post("201", d2, 100, true, "FV 2", 1).description = "Sprzedaz";
  j.Post("700", d2, 100, false, "FV 2", 2);
  j.Post("100", d1, 50.5L, true, "KP 1", 1).transactionNo = "FA/1";
  j.Post("201", d1, 50.5L, false, "KP 1", 2);
  j.Post("201", d2, 7, true, "FV 2", 3);
  j.Control("201", "FV 2", 107);
  ASSERT_TRUE(j.WriteTo(db_ + "ROB.DFX"));
  OpenList(100, "", false, "ROB");
  ASSERT_EQ(form_.Count(), 2u);
  EXPECT_EQ(EntryValue(form_.EntryText(0)), "FV 2");
  EXPECT_EQ(EntryValue(form_.EntryText(1)), "KP 1");
  const std::string fv = EntryDescription(form_.EntryText(0));
  EXPECT_EQ(fv.substr(0, 8), "05-01-24");
  EXPECT_NE(fv.find("    3         107,00         100,00"), std::string::npos) << fv;
  EXPECT_NE(fv.find("Sprzedaz"), std::string::npos);
  EXPECT_NE(EntryDescription(form_.EntryText(1)).find("FA/1"), std::string::npos);

  // Far more documents than the old table of 9999 held: none dropped.
  test::JournalBuilder many;
  for (int i = 0; i < 12000; ++i) many.Post("201", d1, 1, true, Concat({"D", std::to_string(100000 + i)}));
  ASSERT_TRUE(many.WriteTo(db_ + "DUZY.DFX"));
  OpenList(100, "D111999", false, "DUZY");
  EXPECT_EQ(form_.Count(), 12000u);
  EXPECT_EQ(EntryValue(form_.EntryText(form_.Selected())), "D111999");

  // Numbers in text order whatever their length; bytes left behind a
  // shorter number do not make it another document's.
  test::JournalBuilder order;
  for (const char* n : {"ABCDEFGHIJKL", "AB", "ABC", "A", "ABCDEFGHIJK", "B", "AB"}) {
    order.Post("201", d1, 1, true, n);
  }
  std::string bytes = order.Bytes();
  bytes[6 * 250 + 28 + 3] = 'C';  // the last "AB" carries a stale "C"
  WriteText("KOL.DFX", bytes);
  OpenList(100, "", false, "KOL");
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < form_.Count(); ++i) numbers.push_back(EntryValue(form_.EntryText(i)));
  EXPECT_EQ(numbers,
            (std::vector<std::string>{"A", "AB", "ABC", "ABCDEFGHIJK", "ABCDEFGHIJKL", "B"}));
  EXPECT_NE(EntryDescription(form_.EntryText(1)).find("    2"), std::string::npos);

  OpenList(100, "", false, "NIEMA");
  EXPECT_EQ(EntryValue(form_.EntryText(0)), "");
  EXPECT_EQ(form_.Count(), 1u);
  // The empty list says why it is empty.
  ListRequest missing;
  missing.kind = 100;
  missing.pattern = "NIEMA";
  EXPECT_EQ(BuildHintList(missing, "", {}).status, "Nie ma " + DbDir.str() + "NIEMA.DFX");
}

TEST_F(HintListTest, FolderListsShowFilesAndWalkPicturesOnceThroughLinks) {
  WriteText("ROB.DFX", std::string(500, '\0'));
  WriteText("R2024.DFX", std::string(250, '\0'));
  WriteText("Plan.PFX", "x");
  OpenList(90, "", false, "DFX");
  ASSERT_EQ(form_.Count(), 2u);
  EXPECT_EQ(form_.EntryText(0).substr(0, 8), "R2024 " + std::string(kEntrySeparator).substr(1));
  EXPECT_NE(form_.EntryText(1).find("500        2 rek."), std::string::npos) << form_.EntryText(1);

  WriteText("logo.jpg", "j");
  WriteText("a/b/znak.JPG", "j");
  std::filesystem::create_directory_symlink(Native("a"), Native("a/b/loop"));
  std::filesystem::create_directory_symlink(Native(""), Native("a/up"));
  OpenList(76);
  std::vector<std::string> values;
  for (std::size_t i = 0; i < form_.Count(); ++i) values.push_back(EntryValue(form_.EntryText(i)));
  EXPECT_EQ(values, (std::vector<std::string>{"logo.jpg", "a\\b\\znak.JPG"}));
  form_.Select(1);
  ASSERT_FALSE(host_.pictures.empty());
  EXPECT_EQ(host_.pictures.back(), db_ + "a\\b\\znak.JPG");
  form_.ClickEsc();
  EXPECT_EQ(host_.pictures.back(), "");  // the preview is hidden again

  // Esc during the walk keeps what was found.
  HintList stopped = BuildHintList(ListRequest{76, false, "", "", 0}, "", [] { return true; });
  EXPECT_TRUE(stopped.stopped);
}

TEST_F(HintListTest, ListsFromFilesEndWithAnEntryAtTheCeiling) {
  std::string text;
  for (std::size_t i = 0; i < kListCeiling + 5; ++i) text.append("-").append(std::to_string(i)).append("\n");
  WriteText("Duzo.TXT", text);
  OpenList(89, "", false, "Duzo.TXT");
  ASSERT_EQ(form_.Count(), kListCeiling + 1);
  EXPECT_NE(WinToUtf8(form_.EntryText(kListCeiling)).find("najwyżej 10000 pozycji"),
            std::string::npos);
}

TEST_F(HintListTest, CostCentresComeWithTheDateOfTheirJournalFile) {
  OpenList(243);
  ASSERT_EQ(form_.Count(), 1u);
  EXPECT_NE(WinToUtf8(form_.EntryText(0)).find("Pusty zbiór"), std::string::npos);

  WriteText("FFX/Osrodki.TFX", Utf8ToWin("01;SKL;Sklep, Radom ul. Długa 1\r\n\r\n02;WAR;Warsztat\r\n03\r\n"));
  WriteText("SKL/2023.DFX", std::string(250, '\0'));
  WriteText("SKL/2024.DFX", std::string(250, '\0'));
  std::filesystem::last_write_time(Native("SKL/2023.DFX"),
                                    std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400));
  OpenList(243, "02");
  ASSERT_EQ(form_.Count(), 3u);
  const std::string first = WinToUtf8(form_.EntryText(0));
  EXPECT_EQ(EntryValue(form_.EntryText(0)), "01");
  EXPECT_NE(first.find("SKL   Sklep, Radom ul. Długa 1"), std::string::npos) << first;
  // The date of the newest journal file (written today), not the older one's.
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char today[48];
  std::snprintf(today, sizeof today, "%02d-%02d-%04d", local.tm_mday, local.tm_mon + 1,
                local.tm_year + 1900);
  EXPECT_NE(first.find(std::string("z dnia ") + today), std::string::npos) << first;
  EXPECT_NE(WinToUtf8(form_.EntryText(1)).find("z dnia brak"), std::string::npos);
  EXPECT_EQ(EntryValue(form_.EntryText(2)), "03");
  EXPECT_EQ(form_.Selected(), 1u);  // opened at the typed number
}

TEST(NameListTest, CompletionFoldsAndNeverInventsAName) {
  struct Row {
    NameList list;
    const char* typed;
    bool matched;
    const char* out;
  };
  const Row rows[] = {
      {NameList::kCountries, "hol", true, "Holandia"},
      {NameList::kCountries, "POLSKA", true, "Polska"},
      {NameList::kCountries, "włochy", true, "Włochy"},
      {NameList::kCountries, "WLOCHY", true, "Włochy"},
      {NameList::kCountries, "Hox", true, "Holandia"},  // loses characters until one matches
      {NameList::kCountries, "xyz", false, "xyz"},      // never "Albania"
      {NameList::kCountries, "", true, ""},
      {NameList::kVoivodeships, "mazowieckie", true, "mazowieckie"},
      {NameList::kVoivodeships, "Śląskie", true, "śląskie"},
      {NameList::kVoivodeships, "SWIETOKRZYSKIE", true, "świętokrzyskie"},
      {NameList::kVoivodeships, "ma", true, "małopolskie"},  // the old short answers stay
      {NameList::kVoivodeships, "po", true, "pomorskie"},
      {NameList::kVoivodeships, "ŁÓDZ", true, "łódzkie"},
      {NameList::kVoivodeships, "", true, ""},
      {NameList::kVoivodeships, "qq", false, "qq"},
  };
  EXPECT_EQ(NameListEntries(NameList::kVoivodeships).size(), 16u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    std::string out;
    EXPECT_EQ(CompleteFromList(row.list, Utf8ToWin(row.typed), &out), row.matched);
    EXPECT_EQ(WinToUtf8(out), row.out);
  }
}

}  // namespace
}  // namespace zel
