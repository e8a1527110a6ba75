// The account editor's saves against a real chart file: rename, copy and
// delete with their questions, edits that change nothing, texts the window
// does not show, a failing file, another workstation's change and unusable
// symbols.
#include "books/chart_options.hpp"
#include "chart_books_fixture.hpp"

namespace zel {
namespace {

using test::ChartBuilder;

// A register that says other workstations take part, so refreshes run.
class ActiveRegister : public ChartRegister {
 public:
  bool Request(char, std::string_view) override { return true; }
  bool Active() const override { return true; }
};

class ChartEditorTest : public test::ChartBooksTest {
 protected:
  void SetUp() override {
    ChartBooksTest::SetUp();
    ChartBuilder b;
    b.Add("100", "Kasa");
    b.Add("201", "Odbiorcy");
    b.Add("201-01", "Alfa Sp. z o.o.", "ul. Długa 15, Warszawa"_w, "526-000-00-00", "ALFA")
        .spare = "zapas";
    b.Add("202", "Dostawcy");
    b.Add("300", "Materiały"_w);
    WriteAndLoad(b);
  }
  // Loads `symbol` as typing it into KonE does, and sets the new symbol.
  void Edit(std::string_view symbol, std::string_view new_symbol) {
    AccountEditor().Load(symbol);
    SetOptionText(kFieldKonX, new_symbol);
  }
  test::RecordingWindow Save() {
    test::RecordingWindow w;
    AccountEditor().Save(w);
    return w;
  }
};

TEST_F(ChartEditorTest, LoadingShowsTheAccountAndItsNeighbours) {
  AccountEditor().Load("201-01");
  EXPECT_EQ(Text(kFieldKonX), "201-01");
  EXPECT_EQ(Text(kFieldKAdr), "ul. Długa 15, Warszawa");
  EXPECT_EQ(Text(kFieldKa), "100 | Kasa");
  EXPECT_EQ(Text(kFieldKc), "201 | Odbiorcy");
  EXPECT_EQ(Text(kFieldKx), "202 | Dostawcy");
  EXPECT_EQ(Text(kFieldKz), "300 | Materiały");
  // A symbol not in the chart stands between its neighbours; past the ends
  // the neighbours are empty.
  AccountEditor().Load("2011");
  EXPECT_EQ(Text(kFieldKNaz), "");
  EXPECT_EQ(Text(kFieldKc), "201-01 | Alfa Sp. z o.o. | ul. Długa 15, Warszawa");
  EXPECT_EQ(Text(kFieldKx), "202 | Dostawcy");
  AccountEditor().Load("100");
  EXPECT_EQ(Text(kFieldKa), "");
  EXPECT_EQ(Text(kFieldKc), "");
  // Paging is clamped to the first and the last account.
  AccountEditor().Page(10);
  EXPECT_EQ(Text(kFieldKonE), "300");
  EXPECT_EQ(Text(kFieldKz), "");
  AccountEditor().Page(-2);
  EXPECT_EQ(Text(kFieldKonE), "201-01");
  AccountEditor().Page(-10);
  EXPECT_EQ(Text(kFieldKonE), "");
}

TEST_F(ChartEditorTest, RenameAsksWhatToDoWithTheOldAccount) {
  struct Case {
    const char* answers;
    const char* outcome;
    bool old_stays;
    bool new_exists;
    std::uintmax_t records;  // in the chart file afterwards
  } cases[] = {
      {"T", "Konto zmienione", false, true, 7},
      {"N", "Konto skopiowane", true, true, 6},
      {"P", "Nic nie zapisano", true, false, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    SetUp();
    asker_.Script(c.answers);
    Edit("201-01", "201-02");
    const test::RecordingWindow w = Save();
    EXPECT_EQ(w.error, "");
    EXPECT_EQ(w.outcome, c.outcome);
    EXPECT_EQ(asker_.asked.back(), "Skasować je  ?");
    EXPECT_EQ(Chart().Contains("201-01"), c.old_stays);
    EXPECT_EQ(Chart().Contains("201-02"), c.new_exists);
    EXPECT_EQ(ChartRecords(), c.records);
    // The file says the same as the memory.
    ASSERT_TRUE(LoadChart());
    EXPECT_EQ(Chart().Contains("201-01"), c.old_stays);
    if (c.new_exists) {
      const AccountRecord moved = InMemory("201-02");
      EXPECT_EQ(moved.address.view(), "ul. Długa 15, Warszawa"_w);
      EXPECT_EQ(moved.spare.view(), "zapas");
    }
  }
}

TEST_F(ChartEditorTest, NewSymbolOfAnExistingAccountNeedsConsent) {
  // "Nie" (and "Powrót") to overwriting keeps both accounts and asks for
  // another symbol.
  asker_.Script("N");
  Edit("201-01", "202");
  test::RecordingWindow w = Save();
  EXPECT_EQ(w.error_field, kFieldKonX);
  EXPECT_EQ(w.error, "Zmień symbol");
  EXPECT_EQ(ChartRecords(), 5u);
  EXPECT_EQ(InMemory("202").name.view(), "Dostawcy");
  // "Tak" overwrites it, then the old account goes as asked.
  asker_.Script("TT");
  Edit("201-01", "202");
  w = Save();
  EXPECT_EQ(w.outcome, "Konto zmienione");
  EXPECT_EQ(asker_.asked, (std::vector<std::string>{"Skasować poprzedni opis ?", "Skasować je  ?"}));
  EXPECT_EQ(InMemory("202").name.view(), "Alfa Sp. z o.o.");
  EXPECT_FALSE(Chart().Contains("201-01"));
}

TEST_F(ChartEditorTest, EditsKeepWhatTheWindowDoesNotShow) {
  // Nothing typed: nothing written, even for an account with a spare text.
  Edit("201-01", "201-01");
  test::RecordingWindow w = Save();
  EXPECT_EQ(w.outcome, "Nic się nie zmieniło");
  EXPECT_EQ(status_.Count("Nic się nie zmieniło"_w, kInfo), 1);
  EXPECT_EQ(ChartRecords(), 5u);
  // A changed name is written with the spare text as it was.
  SetOptionText(kFieldKNaz, "Alfa S.A.");
  w = Save();
  EXPECT_EQ(w.error, "");
  EXPECT_EQ(ChartRecords(), 6u);
  ASSERT_TRUE(LoadChart());
  const AccountRecord saved = InMemory("201-01");
  EXPECT_EQ(saved.name.view(), "Alfa S.A.");
  EXPECT_EQ(saved.spare.view(), "zapas");
  EXPECT_EQ(saved.shortName.view(), "ALFA");
  EXPECT_EQ(saved.nip.view(), "526-000-00-00");
}

TEST_F(ChartEditorTest, ClearingTheNewSymbolDeletes) {
  Edit("202", "");
  test::RecordingWindow w = Save();
  EXPECT_EQ(w.outcome, "Skasowany");
  EXPECT_EQ(w.return_field, kFieldKonE);
  EXPECT_FALSE(Chart().Contains("202"));
  // The neighbours skip it.
  EXPECT_EQ(Text(kFieldKx), "300 | Materiały");
  ASSERT_TRUE(LoadChart());
  EXPECT_FALSE(Chart().Contains("202"));
  // An account that is not there is not "deleted" again.
  SetOptionText(kFieldKonX, "");
  w = Save();
  EXPECT_EQ(w.error, "Nie ma konta 202");
  EXPECT_EQ(ChartRecords(), 6u);
}

TEST_F(ChartEditorTest, RefusedInputWritesNothing) {
  struct Case {
    std::string symbol;
    const char* name;
    int field;
    const char* error;
  } cases[] = {
      {"\xFE"
       "1",
       "Nowe", kFieldKonX, "Zmień symbol"},
      {"4 0", "Nowe", kFieldKonX, "Zmień symbol"},
      {"40\x01", "Nowe", kFieldKonX, "Zmień symbol"},
      {"400", "", kFieldKNaz, "Musisz podać opis konta"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbol);
    Edit(c.symbol, c.symbol);
    SetOptionText(kFieldKNaz, c.name);
    const test::RecordingWindow w = Save();
    EXPECT_EQ(w.error_field, c.field);
    EXPECT_EQ(w.error, c.error);
    EXPECT_EQ(ChartRecords(), 5u);
  }
  // No symbol at all.
  SetOptionText(kFieldKonE, "");
  EXPECT_EQ(Save().error, "Podaj symbol konta");
}

TEST_F(ChartEditorTest, FailedWritesAreNeverReportedAsARename) {
  // The new record cannot be written: nothing at all changes.
  asker_.Script("T");
  Edit("201-01", "201-02");
  InjectFault(FaultOp::kWrite, 1, true);
  test::RecordingWindow w = Save();
  ClearFaults();
  EXPECT_EQ(w.error_field, kFieldKonX);
  EXPECT_EQ(w.error, "Nie zapisano konta 201-02");
  EXPECT_EQ(w.outcome, "");
  EXPECT_TRUE(Chart().Contains("201-01"));
  EXPECT_FALSE(Chart().Contains("201-02"));
  EXPECT_EQ(ChartRecords(), 5u);

  // The new record is written but the deletion fails: both accounts stay,
  // and the window says so.
  asker_.Script("T");
  Edit("201-01", "201-02");
  InjectFault(FaultOp::kOpen, 3, true);
  w = Save();
  ClearFaults();
  EXPECT_EQ(w.error_field, kFieldKonE);
  EXPECT_EQ(w.error, "Konto skopiowane, nie skasowano konta 201-01");
  EXPECT_EQ(status_.Count("Konto zmienione"_w, kInfo), 0);
  ASSERT_TRUE(LoadChart());
  EXPECT_TRUE(Chart().Contains("201-01"));
  EXPECT_TRUE(Chart().Contains("201-02"));
}

TEST_F(ChartEditorTest, ChangeOnAnotherWorkstationIsNotOverwritten) {
  ActiveRegister reg;
  SetChartRegister(&reg);
  Edit("201-01", "201-01");
  SetOptionText(kFieldKNaz, "Moja nazwa");
  // Another workstation appends a new version of the account meanwhile.
  ChartBuilder other;
  other.Add("100", "Kasa");
  other.Add("201", "Odbiorcy");
  other.Add("201-01", "Alfa Sp. z o.o.", "ul. Długa 15, Warszawa"_w, "526-000-00-00", "ALFA")
      .spare = "zapas";
  other.Add("202", "Dostawcy");
  other.Add("300", "Materiały"_w);
  other.Add("201-01", "Alfa z innego stanowiska");
  ASSERT_TRUE(other.WriteToNative(folder_.Db("Plan.PFX")));
  test::RecordingWindow w = Save();
  EXPECT_EQ(w.error_field, kFieldKonE);
  EXPECT_EQ(w.error, "Konto zmienione na innym stanowisku");
  EXPECT_EQ(ChartRecords(), 6u);
  // The window shows the other workstation's version; saving again now
  // changes that one.
  EXPECT_EQ(Text(kFieldKNaz), "Alfa z innego stanowiska");
  SetOptionText(kFieldKNaz, "Moja nazwa");
  w = Save();
  EXPECT_EQ(w.error, "");
  EXPECT_EQ(ChartRecords(), 7u);
  EXPECT_EQ(InMemory("201-01").name.view(), "Moja nazwa");
}

}  // namespace
}  // namespace zel
