#include "menu/fmen.hpp"

#include <gtest/gtest.h>

#include "common/cp1250.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/fmen_links.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/status.hpp"

namespace zel::testing {
namespace {

// The menu window inside a started desktop: the hooks' choices reach the
// desktop's ShowKind through the desktop services.
class MenuTest : public DesktopTest {
 protected:
  MenuTest() : services(desk), fmen(desk, hooks, metrics) {
    SetDesktopServices(&services);
    desk.SetWindow(FPulpit::kMen, &fmen);
    fmen.Frame().extra_width = 6;
    fmen.Frame().extra_height = 26;
    OptionKey.clear();
    OptionIndex = 0;
    Start();
    TwoTicks();  // the menu is activated
  }
  ~MenuTest() override { SetDesktopServices(nullptr); }

  void Keys(std::string_view keys, bool sub = false) {
    for (char c : keys) sub ? fmen.sMeKeyP(c) : fmen.mMeKeyP(c);
  }

  baaMenu hooks;
  PulpitServices services;
  FMen fmen;
};

TEST_F(MenuTest, JoBuildsTheListsButtonsAndMemo) {
  ASSERT_EQ(fmen.Main().lines.size(), 16u);
  EXPECT_EQ(fmen.Main().lines[5], " E - syntetyka i analityka");
  EXPECT_EQ(fmen.LineHeight(), 14 * 5 / 4);
  // The widest line plus a space, measured at 7 pixels a character, plus 7.
  std::size_t widest = 0;
  for (const std::string& l : fmen.Main().lines) widest = std::max(widest, l.size() + 1);
  int w = static_cast<int>(widest) * 7 + 7;
  EXPECT_EQ(fmen.Main().left, 7);
  EXPECT_EQ(fmen.Main().width, w);
  EXPECT_EQ(fmen.Sub().left, 7 + w + 5);
  EXPECT_EQ(fmen.Frame().ClientWidth(), 2 * 7 + 2 * w + 5);
  EXPECT_EQ(fmen.Main().height, 16 * 17 + 4);
  EXPECT_EQ(fmen.Frame().ClientHeight(), 2 * 5 + 16 * 17 + 4);
  EXPECT_EQ(fmen.Main().selected, 1);  // OptionKey "A"

  const auto& b = fmen.Buttons();
  ASSERT_EQ(b.size(), 11u);
  EXPECT_EQ(b[0].caption, "Wyjdź  Esc"_w);
  EXPECT_EQ(b[1].caption, "Okienka  F1");
  EXPECT_EQ(b[9].caption, "Akt.Zel F10");
  int bh = 14 + 4;
  EXPECT_EQ(b[0].top, 5);
  EXPECT_EQ(b[1].top, 5 + bh + 5);  // T after Esc
  EXPECT_EQ(b[2].top, b[1].top + bh + 3);  // S after F1
  EXPECT_EQ(b[5].top, 5);  // column 2 starts at the top again
  EXPECT_GT(b[5].left, b[0].left);
  for (const MenuButton& x : b) EXPECT_EQ(x.width, b[0].width);

  const MenuMemo& m = fmen.Memo();
  EXPECT_EQ(m.top, b.back().top + bh + 5 / 2);
  EXPECT_EQ(m.top + m.height, 5 + fmen.Main().height);
  EXPECT_EQ(m.width, 2 * b[0].width + 7);
  ASSERT_EQ(m.lines.size(), 12u);
  EXPECT_EQ(m.lines[1], "Zel 1.41     Pomoc techniczna:");
  EXPECT_EQ(m.lines[7], "W opcjach:  F3 dodatkowe okno");
  // The cascade base is taken where the window stands when Jo runs.
  fmen.Frame().left = 30;
  fmen.Frame().top = 40;
  fmen.Jo();
  EXPECT_EQ(CascadeBase.left, m.left + fmen.Frame().left);
  EXPECT_EQ(CascadeBase.top, m.top + fmen.Frame().top + 20);
}

TEST_F(MenuTest, GoPlacesRaisesAndFocusesTheMainList) {
  EXPECT_EQ(fmen.Frame().left, 8);
  EXPECT_EQ(fmen.Frame().top, 2);
  EXPECT_FALSE(desk.Windows()[3].hidden);
  EXPECT_GT(fmen.Frame().raised, 0u);
  EXPECT_EQ(fmen.CurrentFocus(), FMen::Focus::kMain);
  EXPECT_TRUE(fmen.ButtonsShown());
}

TEST_F(MenuTest, MainListKeys) {
  struct Row {
    const char* name;
    int from;
    const char* keys;
    int selected;
  };
  const Row rows[] = {
      {"7 selects group A, not the end line", 9, "7", 1},
      {"9 too", 9, "9", 1},
      {"1 selects the last line", 3, "1", 15},
      {"3 too", 3, "3", 15},
      {"2 moves down", 3, "2", 4},
      {"2 on the last line stays", 15, "2", 15},
      {"8 moves up", 3, "8", 2},
      {"8 on line 0 stays", 0, "8", 0},
      {"other characters do nothing", 4, "#x5", 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fmen.SelectMain(row.from);
    Keys(row.keys);
    EXPECT_EQ(fmen.Main().selected, row.selected);
    EXPECT_FALSE(fmen.Sub().visible);
  }
}

TEST_F(MenuTest, LetterBeyondTheLastGroupSaysTaa) {
  fmen.SelectMain(4);
  ShowStatus("", kInfo);
  Keys("P");
  EXPECT_EQ(LastMessage(), "Taa...");
  EXPECT_EQ(fmen.Main().selected, 4);
  EXPECT_EQ(desk.PendingKind(), 3);
}

TEST_F(MenuTest, LettersChooseGroups) {
  Keys("o");  // lower case is folded
  EXPECT_EQ(fmen.Main().selected, 15);
  EXPECT_EQ(OptionIndex, 118);
  EXPECT_EQ(OptionKey.view(), "O");
  EXPECT_EQ(OptionCaption.view(), Utf8ToWin("wyszukiwarka dokumentów"));
  EXPECT_EQ(desk.PendingKind(), 118);

  Keys("E");
  EXPECT_TRUE(fmen.Sub().visible);
  EXPECT_EQ(fmen.CurrentFocus(), FMen::Focus::kSub);
  EXPECT_EQ(fmen.Sub().lines[0], Utf8ToWin("Esc - powrót do głównego menu"));
  EXPECT_EQ(fmen.Sub().selected, 1);
  Keys("A", true);
  EXPECT_EQ(OptionIndex, 55);
  EXPECT_EQ(OptionCode.view(), "ZOiSa");
  EXPECT_EQ(OptionKey.view(), "EA");
  EXPECT_EQ(OptionCaption.view(), Utf8ToWin("zestawienie obrotów i sald"));
  EXPECT_EQ(desk.PendingKind(), 55);
  // Two ticks later the parameter window is activated with mode 1.
  TwoTicks();
  EXPECT_EQ(zestaw.go, 1);
  EXPECT_EQ(zestaw.last_mode, 1);
}

TEST_F(MenuTest, SubListRemembersTheLastLinePerGroupUntilJo) {
  Keys("E");
  Keys("C", true);
  EXPECT_EQ(fmen.LastItem('E'), 3);
  Keys("\x1b", true);
  EXPECT_FALSE(fmen.Sub().visible);
  EXPECT_EQ(fmen.CurrentFocus(), FMen::Focus::kMain);
  Keys("E");
  EXPECT_EQ(fmen.Sub().selected, 3);
  Keys("\x1b", true);
  Keys("D");
  EXPECT_EQ(fmen.Sub().selected, 1);  // another group keeps its own
  fmen.Jo();
  EXPECT_EQ(fmen.LastItem('E'), 1);
  Keys("E");
  EXPECT_EQ(fmen.Sub().selected, 1);
}

TEST_F(MenuTest, SubListKeys) {
  Keys("K");  // six items
  ASSERT_EQ(fmen.Sub().lines.size(), 7u);
  Keys("1", true);
  EXPECT_EQ(fmen.Sub().selected, 6);
  Keys("7", true);
  EXPECT_EQ(fmen.Sub().selected, 1);
  std::uint8_t before = OptionIndex;
  Keys("H", true);  // beyond the last line: ignored without a message
  EXPECT_EQ(fmen.Sub().selected, 1);
  Keys("Z", true);
  EXPECT_EQ(fmen.Sub().selected, 1);
  Keys("B", true);  // K items open nothing
  EXPECT_EQ(OptionIndex, before);
  EXPECT_EQ(OptionKey.view(), "KB");
  EXPECT_EQ(fmen.LastItem('K'), 2);
}

TEST_F(MenuTest, EnterOnTheBackLineReturnsToTheMainList) {
  Keys("E");
  fmen.SelectSub(0);
  Keys("\r", true);
  EXPECT_FALSE(fmen.Sub().visible);
  EXPECT_EQ(fmen.CurrentFocus(), FMen::Focus::kMain);
  EXPECT_EQ(fmen.LastItem('E'), 0);
  EXPECT_EQ(OptionKey.view(), "E@");
  Keys("E");
  EXPECT_EQ(fmen.Sub().selected, 0);
}

TEST_F(MenuTest, EndingFromEscTabTheEndLineAndTheEscButton) {
  struct Row {
    const char* name;
    void (*act)(FMen&);
  };
  const Row rows[] = {
      {"Esc", [](FMen& m) { m.mMeKeyP(27); }},
      {"Tab", [](FMen& m) { m.TabKey(false); }},
      {"Shift+Tab", [](FMen& m) { m.TabKey(true); }},
      {"the end-of-work line", [](FMen& m) {
         m.SelectMain(0);
         m.mMeKeyP(13);
       }},
      {"Esc button", [](FMen& m) {
         const MenuButton& b = m.Buttons()[0];
         m.MenMoDn(b.left + 1, b.top + 1);
         m.MenKlik(b.left + 1, b.top + 1);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    asker.seconds.clear();
    asker.answers = {1};
    row.act(fmen);
    ASSERT_EQ(asker.seconds.size(), 1u);
    EXPECT_EQ(asker.seconds[0], "Czy już koniec pracy ?"_w);
    EXPECT_EQ(view.close_requests, 0);
  }
}

TEST_F(MenuTest, FunctionKeysAndButtonsOpenTheirOptions) {
  EXPECT_TRUE(fmen.mMeFxDn(9));
  EXPECT_EQ(OptionIndex, 134);
  EXPECT_EQ(OptionKey.view(), "F9");
  EXPECT_EQ(OptionCode.view(), "MenuF9");
  const MenuButton& f9 = fmen.Buttons()[8];
  ASSERT_EQ(f9.key, 9);
  EXPECT_EQ(OpenAt.left, f9.left + fmen.Frame().left);
  EXPECT_EQ(OpenAt.top, f9.top + f9.height - 3 + fmen.Frame().top + 26);

  EXPECT_TRUE(fmen.mMeFxDn(11));
  EXPECT_EQ(OptionIndex, 135);
  EXPECT_EQ(OptionKey.view(), "F1");
  EXPECT_EQ(OptionCaption.view(), "na razie nie ma");
  EXPECT_FALSE(fmen.mMeFxDn(12));

  const MenuButton& f5 = fmen.Buttons()[4];
  fmen.MenMoDn(f5.left + 2, f5.top + 2);
  EXPECT_EQ(desk.StatusBar().panel0, "X=" + std::to_string(f5.left + 2) + " Y=" +
                                         std::to_string(f5.top + 2) + " klik");
  EXPECT_EQ(fmen.PressedButton(), 5);
  EXPECT_TRUE(fmen.Buttons()[4].lowered);
  fmen.MenKlik(f5.left + 2, f5.top + 2);
  EXPECT_EQ(OptionIndex, 139);
  EXPECT_FALSE(fmen.Buttons()[4].lowered);
  EXPECT_EQ(fmen.PressedButton(), FMen::kNoButton);
}

TEST_F(MenuTest, ClickOnTheMemoOnlyShowsThePointer) {
  std::uint8_t before = OptionIndex;
  std::uint8_t pending = desk.PendingKind();
  const MenuMemo& m = fmen.Memo();
  fmen.MenMoDn(m.left + 3, m.top + 4);
  fmen.MenKlik(m.left + 3, m.top + 4);
  fmen.mMeEntr();  // the memo hands the focus on to the main list
  EXPECT_EQ(desk.StatusBar().panel0.substr(0, 2), "X=");
  EXPECT_EQ(OptionIndex, before);
  EXPECT_EQ(desk.PendingKind(), pending);
  EXPECT_TRUE(asker.seconds.empty());
  EXPECT_EQ(fmen.CurrentFocus(), FMen::Focus::kMain);
}

TEST_F(MenuTest, OpenAtBelowTheChosenLine) {
  Keys("E");
  int caption = fmen.Frame().height - fmen.Frame().ClientHeight();
  EXPECT_EQ(OpenAt.left, fmen.Main().left + fmen.Frame().left);
  EXPECT_EQ(OpenAt.top, fmen.Main().top + ('E' - 63) * 17 + fmen.Frame().top + caption);
  Keys("B", true);
  EXPECT_EQ(OpenAt.left, fmen.Sub().left + fmen.Frame().left);
  EXPECT_EQ(OpenAt.top, fmen.Sub().top + 3 * 17 + fmen.Frame().top + caption - 1);
}

TEST_F(MenuTest, ActivationCollapsesTheOptionWindows) {
  zestaw.frame = {300, 40, 400, 300, 8, 30};
  lis_f45.frame = {500, 60, 200, 200, 8, 30};
  fmen.MeActiv();
  EXPECT_EQ(zestaw.frame.height, 0);
  EXPECT_EQ(lis_f45.frame.height, 0);
  EXPECT_TRUE(desk.Windows()[4].hidden);
  EXPECT_EQ(desk.Windows()[6].left, 500);
}

TEST_F(MenuTest, MainLineAOpensTheDocumentWindowAtOnce) {
  Keys("A");
  EXPECT_EQ(OptionIndex, 11);
  EXPECT_EQ(OptionCode.view(), "Dekret");
  EXPECT_EQ(OptionKey.view(), "A");
  EXPECT_FALSE(fmen.Sub().visible);
}

TEST_F(MenuTest, DisabledListTakesNoKeys) {
  fmen.EnableList(false);
  Keys("E");
  EXPECT_FALSE(fmen.Sub().visible);
  EXPECT_FALSE(links.MenuAcceptsInput() && fmen.AcceptsInput());
  fmen.EnableList(true);
}

class AltMenuTest : public MenuTest {};

TEST_F(AltMenuTest, AlternativeSchemeHasNoMarginsAndFollowsTheSubList) {
  AltColours = true;
  fmen.Bo();
  fmen.Jo();
  EXPECT_EQ(fmen.Colours().lists, 0x447CCFu);
  EXPECT_EQ(fmen.Colours().list_text, 0xE6FFFFu);
  EXPECT_EQ(fmen.Main().left, 0);
  EXPECT_EQ(fmen.Main().top, 0);
  EXPECT_EQ(fmen.Sub().left, fmen.Main().width);
  EXPECT_EQ(fmen.LineHeight(), 14 + 13);
  fmen.mMeEntr();
  EXPECT_EQ(fmen.Frame().ClientWidth(), fmen.Main().width);
  Keys("E");
  EXPECT_EQ(fmen.Frame().ClientWidth(), 2 * fmen.Main().width);
  Keys("\x1b", true);
  EXPECT_EQ(fmen.Frame().ClientWidth(), fmen.Main().width);
  AltColours = false;
}

TEST_F(MenuTest, TestStartGoesStraightToOptionTwo) {
  RunMode = 223;
  fmen.Go(1);
  EXPECT_EQ(OptionIndex, 2);
  EXPECT_EQ(desk.PendingKind(), 2);
  fmen.MeActiv();
  EXPECT_EQ(desk.PendingKind(), 2);
}

TEST(MenuBeforeRegistration, FunctionKeysWaitForTheRegistration) {
  FakeSystem sys;
  FPulpit desk(sys);
  baaMenu hooks;
  FixedMetrics metrics;
  FMen fmen(desk, hooks, metrics);
  PulpitServices services(desk);
  SetDesktopServices(&services);
  OptionIndex = 0;
  fmen.Jo();
  EXPECT_FALSE(desk.RegistrationDone());
  EXPECT_TRUE(fmen.mMeFxDn(9));
  EXPECT_EQ(OptionIndex, 0);
  SetDesktopServices(nullptr);
}

}  // namespace
}  // namespace zel::testing
