// The F3 window without a view: what Go, Esc and Enter return to the
// parameter window and whether the record was saved, Enter on empty fields,
// a failed save, a list's value coming back into a field, positions per key.
#include "fields/okna_f3.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/globals.hpp"
#include "fields/b_okna_f3.hpp"
#include "fields/option_values.hpp"
#include "menu/hooks.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "store/declaration.hpp"

namespace zel {
namespace {

struct F3Host : OknaF3Host {
  struct List {
    int code;
    int kind;
    std::string typed;
    bool f5;
  };
  std::vector<int> closed;
  std::vector<List> lists;
  std::map<std::string, Point16> positions;
  void Closed(std::uint8_t kind) override { closed.push_back(kind); }
  void OpenList(std::uint8_t code, std::uint8_t kind, std::string_view typed, bool f5) override {
    lists.push_back({code, kind, std::string(typed), f5});
  }
  bool ReadPosition(std::string_view key, Point16* p) override {
    auto it = positions.find(std::string(key));
    if (it == positions.end()) return false;
    *p = it->second;
    return true;
  }
  void WritePosition(std::string_view key, Point16 p) override { positions[std::string(key)] = p; }
  bool FieldDeveloperMarker() override { return false; }
};

class OknaF3Test : public ::testing::Test {
 protected:
  FixedWidthMetrics metrics{8, 16};
  bOknaF3 module;
  F3Host host;
  FOknaF3 form{module, metrics, &host};

  void SetUp() override {
    Options = OptionValues{};
    StationSettings = WorkstationSettings{};
    Declaration() = DeclarationData{};
    FillTemplate = "";
    SetDeveloperMode(false);
    char pattern[] = "/tmp/zel-oknaf3-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/DB");
    DbDir = root_ + "/DB\\";
    form.Bo();
  }
  void TearDown() override {
    Options = OptionValues{};
    Declaration() = DeclarationData{};
    DbDir = saved_db_;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  void Type(const std::string& utf8) { form.TypeText(Utf8ToWin(utf8)); }
  void Key(std::uint16_t key) { form.PressKey(key); }
  std::string Status() const { return WinToUtf8(form.StatusText()); }

  std::string root_;
  const std::string saved_db_ = DbDir.str();
};

TEST_F(OknaF3Test, GoEscAndEnterSequencesReturnTheirKindAndOnlyGoSaves) {
  // Each step: 't' types "20*" (or a value the window corrects: 'c' types
  // "ab*"), 'e' Enter, 'g' Go, 'x' Esc, 'd' Down.
  struct Row {
    const char* name;
    const char* steps;
    int kind;     // returned to the parameter window
    int masks;    // masks in the selection afterwards
  };
  const Row rows[] = {
      {"Esc at once", "x", 3, 0},
      {"typed then Esc", "tx", 3, 0},
      {"Enter then Esc", "tex", 2, 0},
      {"Down (Enter) then Esc", "tdx", 2, 0},
      {"Go saves", "tg", 2, 1},
      {"Enter then Go saves", "teg", 2, 1},
      {"Go on a corrected value waits, Esc then", "cgx", 3, 0},
      {"Go on a corrected value, Go again saves", "cgg", 2, 1},
      {"Enter on the empty second line saves", "tee", 2, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Options = OptionValues{};
    host.closed.clear();
    form.Open(125);
    ASSERT_TRUE(form.Shown());
    for (const char* s = row.steps; *s; ++s) {
      switch (*s) {
        case 't': Type("20*"); break;
        case 'c': Type("ab*"); break;
        case 'e': Key(kKeyEnter); break;
        case 'd': Key(kKeyDown); break;
        case 'g': form.ClickGo(); break;
        case 'x': Key(kKeyEsc); break;
      }
    }
    ASSERT_EQ(host.closed.size(), 1u);
    EXPECT_EQ(host.closed[0], row.kind);
    EXPECT_FALSE(form.Shown());
    EXPECT_EQ(Options.masks.count, row.masks);
    if (row.masks == 1) {
      EXPECT_EQ(Options.masks.masks[0].str(), row.steps[0] == 'c' ? "AB*" : "20*");
    }
  }
}

TEST_F(OknaF3Test, EnterOnEmptyFields) {
  // The purchase register: the month opens its list, the qualification its
  // own, any other empty field may stay empty and the cursor moves on.
  form.Open(124);
  const int month = form.FindCode("Miev");
  const int letter = form.FindCode("Litv");
  const int name = form.FindCode("Nazv");
  form.ClickSlot(month);
  Key(kKeyEnter);
  ASSERT_EQ(host.lists.size(), 1u);
  EXPECT_EQ(host.lists[0].kind, 109);
  EXPECT_EQ(host.lists[0].code, 124);
  form.Go(5);  // Esc in the list
  EXPECT_EQ(form.CurrentSlot(), month);
  form.ClickSlot(letter);
  Key(kKeyEnter);
  ASSERT_EQ(host.lists.size(), 2u);
  EXPECT_EQ(host.lists[1].kind, 118);
  form.Go(5);
  form.ClickSlot(name);
  Key(kKeyEnter);
  EXPECT_EQ(Status(), "Pole może być puste");
  EXPECT_EQ(form.CurrentSlot(), form.FindCode("Adrv"));

  // The selected accounts: "Wczytać ze zbioru" left empty goes back to the
  // first line of the list.
  form.Open(125);
  form.ClickSlot(form.FindCode("MaRe"));
  Key(kKeyEnter);
  EXPECT_EQ(form.CurrentSlot(), form.FindCode("MaAr"));
  EXPECT_TRUE(host.closed.empty());
}

TEST_F(OknaF3Test, AFailedSaveKeepsTheWindowOpenOnTheFieldInError) {
  form.Open(127);
  form.ClickSlot(form.FindCode("vMia"));
  Type("Radom");
  // The taxpayer's folder is a file: the record cannot be written.
  std::ofstream(root_ + "/DB/VAT") << "not a folder";
  form.ClickGo();
  EXPECT_TRUE(form.Shown());
  EXPECT_TRUE(host.closed.empty());
  EXPECT_NE(Status().find("Błąd zapisu do pliku"), std::string::npos) << Status();
  EXPECT_EQ(form.CurrentSlot(), form.FindCode("vKUr"));
  EXPECT_EQ(WinToUtf8(form.SlotValue(form.FindCode("vMia"))), "Radom");
  // Esc leaves without saving; the folder made right, Go saves.
  std::filesystem::remove(root_ + "/DB/VAT");
  form.ClickGo();
  ASSERT_EQ(host.closed.size(), 1u);
  EXPECT_EQ(host.closed[0], 2);
  EXPECT_TRUE(std::filesystem::exists(root_ + "/DB/VAT/Pod.7BT"));
}

TEST_F(OknaF3Test, F4InsideReturnsTheListsValueIntoTheField) {
  form.Open(125);
  Key(kKeyF4);
  ASSERT_EQ(host.lists.size(), 1u);
  EXPECT_EQ(host.lists[0].kind, 107);
  EXPECT_EQ(host.lists[0].code, 125);
  EXPECT_FALSE(host.lists[0].f5);
  Key(kKeyEnter);  // ignored while the list is open
  form.SetReturnText("201");
  form.Go(4);
  EXPECT_EQ(form.CurrentSlot(), form.FindCode("MaAr"));
  EXPECT_EQ(WinToUtf8(form.SlotValue(form.CurrentSlot())), "201");
  form.ClickGo();
  ASSERT_EQ(Options.masks.count, 1);
  EXPECT_EQ(Options.masks.masks[0].str(), "201");
  // A field without a list answers "???".
  form.Open(127);
  Key(kKeyF4);
  EXPECT_EQ(Status(), "???");
}

TEST_F(OknaF3Test, MaskListsKeepTheMasksPastTheLinesShownAndPositionsArePerKey) {
  // Thirteen document masks: the window shows eleven, the two after them
  // stay in the selection when the first line is changed.
  for (int i = 1; i <= 13; ++i) {
    std::string mask = "D";
    mask += std::to_string(i);
    Options.documents.Add(mask);
  }
  host.positions["DowWy"] = Point16{40, 50};
  form.Open(126);
  EXPECT_EQ(WinToUtf8(form.Title()), "Lista wybranych dowodów");
  EXPECT_EQ(form.Frame().left, 40);
  EXPECT_EQ(form.Frame().top, 50);
  EXPECT_EQ(WinToUtf8(form.Editor().text), "D1");
  Type("fv*");
  form.ClickGo();
  ASSERT_EQ(Options.documents.count, 13);
  EXPECT_EQ(Options.documents.masks[0].str(), "FV*");
  EXPECT_EQ(Options.documents.masks[12].str(), "D13");
  EXPECT_EQ(host.positions.count("DowWy"), 1u);

  // A code without a field set says so and only closes.
  form.Open(121);
  EXPECT_EQ(form.Title(), "F3 tu nie pracuje");
  EXPECT_EQ(form.CurrentSlot(), 0);
  form.ClickEsc();
  EXPECT_EQ(host.closed.back(), 3);
}

TEST_F(OknaF3Test, LaysItsFieldsOutTighterThanTheParameterWindow) {
  // The appearance values: margin 9 (+2), spacing 6 and 4, bevel 3, border 2.
  StationSettings.window_sizes = {11, 9, 6, 6, 4, 3, 2};
  form.Open(122);
  const FieldSet& f = form.Fields();
  // Lines start at x = 5, before the margin of a captioned field.
  EXPECT_EQ(f.Slot(1).label_left, 5 + 11);
  // "0" (8 pixels) x (50 + 1) - 2, plus (bevel + border) on both sides.
  const FieldSlot& name = f.Slot(form.FindCode("KNaz"));
  EXPECT_EQ(name.panel_width, 8 * 51 - 2 + 2 * (3 + 2));
  EXPECT_EQ(f.Slot(form.FindCode("KBaz")).panel_width, 8 * 2 - 2 + 10);
  // The opening separator takes the vertical spacing + 4.
  ASSERT_FALSE(f.Separators().empty());
  EXPECT_EQ(f.Slot(1).top - f.Separators()[0], 4 + 4);
}

TEST_F(OknaF3Test, GoOnAWindowWithoutARecordSaysSoAndStays) {
  form.Open(123);
  Type("EUR");
  Key(kKeyEnter);
  form.ClickGo();
  EXPECT_TRUE(form.Shown());
  EXPECT_TRUE(host.closed.empty());
  EXPECT_EQ(Status(), "Tylko do oglądania");
  EXPECT_EQ(form.CurrentSlot(), form.FindCode("SyWa"));
  Key(kKeyEsc);
  ASSERT_EQ(host.closed.size(), 1u);
}

}  // namespace
}  // namespace zel
