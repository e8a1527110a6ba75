// The document window (option 11) driven as a user drives it: rows keep
// what was typed at full width however the table scrolls, a refused
// document brings its faulty cell into view with the cursor in it, and a
// stored one updates the counts and empties the table for the next one.
#include "fields/dekret_window.hpp"

#include "fields/zestaw_fixture.hpp"
#include "store/chart.hpp"
#include "store/document_book.hpp"

namespace zel {
namespace {

using test::TempFolder;
using test::ZestawTest;

class DekretWindowTest : public ZestawTest {
 protected:
  void SetUp() override {
    ZestawTest::SetUp();
    DbDir = folder.Path() + "\\";
    Chart().Clear();
    for (const char* s : {"100", "130", "201", "201-1"}) {
      AccountRecord r;
      r.symbol = s;
      r.name = "konto";
      Chart().Put(r);
    }
    RegisterDocumentProcedure();
  }
  void TearDown() override {
    UnregisterProcedure(kDocumentOptionIndex);
    Chart().Clear();
  }
  // The slot of a column in the n-th visible row (0-based).
  int CellSlot(int visible_row, int column) const {
    return form.Fields().Table().header_slot + 1 + visible_row * 8 + column;
  }
  void Row(int row, const char* debit, const char* credit, const char* amount) {
    auto& r = Options.rows[static_cast<std::size_t>(row)];
    r[kColDebit] = debit;
    r[kColCredit] = credit;
    r[kColAmount] = amount;
  }

  bool SawPart(const std::string& utf8) const {
    for (const auto& [text, colour] : status.shown) {
      if (text.find(utf8) != std::string::npos) return true;
    }
    return false;
  }

  TempFolder folder;
};

TEST_F(DekretWindowTest, TypedRowsKeepTheirFullWidthWhileTheTableScrolls) {
  Open(kDocumentOptionIndex);
  const std::string opis = "opis pozycji na trzydzieści zn";  // 30 characters
  form.ClickSlot(CellSlot(0, kColText));
  Type(opis);
  Enter();
  for (int i = 0; i < 12; ++i) Key(kKeyDown);
  EXPECT_GT(form.FirstShownRow(), 1);
  for (int i = 0; i < 20; ++i) Key(kKeyUp);
  EXPECT_EQ(form.FirstShownRow(), 1);
  EXPECT_EQ(WinToUtf8(Options.rows[0][kColText].view()), opis);
  EXPECT_EQ(Panel(CellSlot(0, kColText)), opis);
  EXPECT_EQ(Panel(CellSlot(1, kColLine)), "2");
}

TEST_F(DekretWindowTest, RefusedDocumentShowsItsCellAndStoredOneEmptiesTheTable) {
  Open(kDocumentOptionIndex);
  Click("Robo");
  Type("ROB");
  Enter();
  EXPECT_TRUE(SawPart("pierwszy zapisany dowód go założy"));
  Click("NDow");
  Type("PK 1");
  Enter();
  Click("DatD");
  Type("150324");
  Enter();
  for (int r = 0; r < 8; ++r) Row(r, "100", "130", "10");
  Row(9, "100", "139", "10");  // row 10: no such account, below the visible rows
  form.ClickGo();
  EXPECT_GE(form.FirstShownRow(), 5);
  EXPECT_EQ(form.CurrentSlot(), CellSlot(10 - form.FirstShownRow(), kColCredit));
  EXPECT_NE(Go().find("Wiersz 10: Nie ma konta 139"), std::string::npos) << Go();
  EXPECT_FALSE(std::filesystem::exists(folder.path / "ROB.DFX"));

  Type("201-1");  // into the cell the cursor was sent to
  status.shown.clear();
  form.ClickGo();
  // What was stored stands in the status line, not the generic outcome.
  EXPECT_TRUE(status.SawPrefix("Zapisano dowód PK 1: pozycji 9"));
  EXPECT_FALSE(status.Saw("Wykonane."));
  EXPECT_TRUE(status.shown.back().first.rfind("Zapisano dowód PK 1", 0) == 0 &&
              status.shown.back().second == kSuccess)
      << status.shown.back().first;
  EXPECT_EQ(std::filesystem::file_size(folder.path / "ROB.DFX"), 19u * 250u);
  EXPECT_EQ(form.CurrentSlot(), Slot("NDow"));
  EXPECT_EQ(Panel(Slot("DekL")), "18");
  EXPECT_EQ(Panel(Slot("DekP")), "99");
  EXPECT_EQ(Options.rows[0][kColDebit].view(), "");
  EXPECT_EQ(Panel(CellSlot(0, kColDebit)), "wn");

  // Its number typed again loads it for correction.
  Click("DatD");
  Click("NDow");
  Type("PK 1");
  Enter();
  // The empty ninth row is gone: stored lines are numbered without gaps.
  EXPECT_EQ(Options.rows[8][kColCredit].view(), "201-1");
  EXPECT_EQ(Panel(CellSlot(0, kColAmount)), "10");
}

TEST_F(DekretWindowTest, F3OnTheTableColumnsOpensTheirWindows) {
  Open(kDocumentOptionIndex);
  struct Case {
    const char* name;
    int column;
    const char* typed;  // into the cell before F3, UTF-8; null: nothing
    int kind;           // F3 window asked of the desktop; 0: none
    const char* status; // status shown instead; null: none expected
  };
  const Case cases[] = {
      {"debit account in the chart", kColDebit, "201-1", 122, nullptr},
      {"credit account not yet in the chart", kColCredit, "202", 122, nullptr},
      {"debit still showing its placeholder", kColDebit, nullptr, 0, "Podaj symbol konta"},
      {"a symbol with a space", kColCredit, "20 1", 0, "Zmień symbol"},
      {"amount", kColAmount, "10", 123, nullptr},
      {"VAT register", kColVat, "A", 124, nullptr},
      {"invoice number has none", kColInvoice, "FV 1", 0, "Tu  F3  nie działa !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.kinds.clear();
    status.shown.clear();
    form.ClickSlot(CellSlot(0, c.column));
    if (c.typed) {
      form.SetEditorText("");
      Type(c.typed);
    }
    Key(kKeyF3);
    if (c.kind == 0) {
      EXPECT_TRUE(desktop.kinds.empty());
    } else {
      ASSERT_EQ(desktop.kinds.size(), 1u);
      EXPECT_EQ(desktop.kinds[0], std::make_pair(c.kind, 1));
    }
    if (c.status) {
      EXPECT_TRUE(status.Saw(c.status))
          << (status.shown.empty() ? "" : status.shown.back().first);
    }
    if (c.kind != 0) form.Go(3);  // the F3 window escaped
  }
  // The account card loads the account of the cell.
  form.ClickSlot(CellSlot(0, kColDebit));
  form.SetEditorText("201-1");
  Key(kKeyF3);
  EXPECT_EQ(CurrentAccount().symbol.view(), "201-1");
  EXPECT_EQ(CurrentAccount().name.view(), "konto");
  // Saved: the symbol typed but not committed before F3 comes back into
  // the cell; a return with nothing to hand back leaves the cell alone.
  form.Go(2);
  EXPECT_EQ(Options.rows[0][kColDebit].view(), "201-1");
  form.ClickSlot(CellSlot(0, kColAmount));
  form.SetEditorText("12");
  Key(kKeyF3);
  form.Go(2);
  EXPECT_EQ(Options.rows[0][kColAmount].view(), "12");
  EXPECT_EQ(Options.rows[0][kColDebit].view(), "201-1");
}

}  // namespace
}  // namespace zel
