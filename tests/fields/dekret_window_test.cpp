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
  form.ClickGo();
  EXPECT_TRUE(SawPart("Zapisano dowód PK 1: pozycji 9"));
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

}  // namespace
}  // namespace zel
