#include <gtest/gtest.h>

#include <string>

#include "menu/menu_tree.hpp"
#include "menu_recorders.hpp"

namespace zel {
namespace {

using test::MenuFixture;

// "A:PlaEd12 B:PlaSo13 ..." for a group; "J:-" for an item without an option
// and "C:=96" for an item opening its option without a code.
std::string Render(char group) {
  std::string out;
  for (const MenuItem& item : SubListItems(group)) {
    if (!out.empty()) out += ' ';
    out += item.letter;
    out += ':';
    if (item.index == 0) {
      out += '-';
      continue;
    }
    out += item.code[0] ? item.code : "=";
    out += std::to_string(item.index);
  }
  return out;
}

TEST(MenuTree, SubListsHoldTheirCodesAndIndicesInOrder) {
  struct Row {
    char group;
    const char* items;
  } rows[] = {
      {'B', "A:PlaEd12 B:PlaSo13 C:PlaZS14 D:PlaZP15 E:PlaZm16 F:PlaDo17 G:PlaRo18 H:PlaKo19 "
            "I:PlaAd20 J:PlaZe21 K:PlaDz22 L:PlaNo23 M:PlaZZ24"},
      {'C', "A:LacZb25 B:LacWe26 C:WWgZb27 D:WWgSK28 E:WWgND29 F:WWgDK30 G:WWgNK31 H:ZmiND32 "
            "I:PrzND33 J:ZmiDK34 K:ZmiTe35 L:ZmiZZ36 M:DeWzo37 N:ZaXLS38 O:ZaXSD39"},
      {'D', "A:PoKsi40 B:DzieP41 C:DzieS42 D:ReVat43 E:UsVat44 F:UsDzD45 G:UsDzS46 H:UsDzP47 "
            "I:SRVat48 J:VeVat49 K:ReFaZ50 L:ReWWT51 M:PKPiR52 N:Pit3653 O:Zamkn54"},
      {'E', "A:ZOiSa55 B:SyBBO56 C:Synte57 D:SynMi58 E:Anali59 F:AnaMi60 G:AnaSD61 H:SKoAn62 "
            "I:SynWa63 J:AnaWa64 K:ZOiSN65 L:AnaUz66"},
      {'F', "A:RoNie67 B:RoRoz68 C:Punkt69 D:Zaleg70 E:Platn71 F:Nalez72 G:JakSu73 H:PoZap74 "
            "I:Ranki75 J:Trans76 K:RoBan77 L:NatJP78"},
      {'G', "A:AnWyP79 B:AnOds80 C:WyPre81 D:Kontr82 E:WyFor83 F:RBiPo84 G:DeVa785"},
      {'H', "A:EdOds87 B:NotyO88 C:PotSa89 D:ProZa90 E:ImpAd91 F:NotaK92"},
      {'I', "A:AkKvv133 B:UsKvv134 C:UsOki135 D:UsDru136 F:ZmKat138 G:ZmBaz139 H:ZmHas140 "
            "I:InDok141 J:UrKvv142"},
      {'J', "A:- B:- C:=96 D:=97 E:=98 F:=99 G:=100 H:=101 I:=102 J:=103 K:=104 L:ImpPlX105"},
      {'K', "A:- B:- C:- D:- E:- F:-"},
      {'M', "A:- B:- C:- D:- E:-"},
      {'A', ""},
      {'L', ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.group);
    EXPECT_EQ(Render(row.group), row.items);
    for (const MenuItem& item : SubListItems(row.group))
      EXPECT_EQ(item.caption[0], item.letter) << item.caption;
  }
}

TEST(MenuTree, SettingsCodesOfOptionsWithoutACodeOnTheirLine) {
  struct Row {
    int index;
    const char* code;
  } rows[] = {{1, "LHa"},     {2, "FTP"},     {11, "Dekre"},  {96, "AnKaRo"}, {104, "ExpPla"},
              {105, "ImpPlX"}, {106, "KasRap"}, {116, "PlaTRZ"}, {122, "DePla"}, {130, "VSygn"},
              {143, "SzDbf"},  {55, "ZOiSa"},   {117, "KonZR"},  {86, ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    EXPECT_EQ(OptionSettingsCode(static_cast<std::uint8_t>(row.index)), row.code);
  }
}

TEST(MenuTree, MainMenuAddsSixteenLinesAndTheWidestWidth) {
  MenuFixture f;
  int width = 10;
  f.menu.MainMenu("baaMenu", width);
  ASSERT_EQ(f.lists.main_lines.size(), 16u);
  EXPECT_EQ(f.lists.main_lines[0], " Esc - koniec pracy z programem");
  EXPECT_EQ(f.lists.main_lines[15], " O - wyszukiwarka dokumentów");
  // The widest caption, "H - korespondencja z kontrahentami", with a space each side.
  EXPECT_EQ(width, static_cast<int>(Utf8ToWin(" H - korespondencja z kontrahentami ").size()) * 7);
  EXPECT_TRUE(f.status.shown.empty());
}

TEST(MenuTree, MainLinesOpenOptionsDirectly) {
  struct Row {
    char letter;
    int index;
    const char* code;
  } rows[] = {{'A', 11, "Dekret"}, {'L', 83, "WyFor"}, {'N', 117, "KonZR"}, {'O', 118, "WyDok"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.letter);
    MenuFixture f;
    OptionCaption = "caption from the line";
    f.menu.CallNext("baaMenu", row.letter);
    EXPECT_EQ(OptionIndex, row.index);
    EXPECT_EQ(OptionCode.view(), row.code);
    EXPECT_EQ(OptionKey.view(), std::string(1, row.letter));
    EXPECT_EQ(OptionCaption.view(), "caption from the line");
    EXPECT_EQ(CurrentGroup, row.letter);
    EXPECT_EQ(f.lists.open_at, std::string(1, row.letter));
    ASSERT_EQ(f.desktop.shown.size(), 1u);
    EXPECT_EQ(f.desktop.shown[0], std::make_pair(row.index, 1));
  }
}

TEST(MenuTree, GroupEThenItemEOpensTheSameOptionAsMainLineL) {
  MenuFixture f;
  f.menu.CallNext("baaMenu", 'G');
  f.menu.CallLast("baaMenu", 'G', 'E');
  EXPECT_EQ(OptionIndex, 83);
  EXPECT_EQ(OptionCode.view(), "WyFor");
  EXPECT_EQ(OptionKey.view(), "GE");
  f.menu.CallNext("baaMenu", 'L');
  EXPECT_EQ(OptionIndex, 83);
  EXPECT_EQ(OptionCode.view(), "WyFor");
  ASSERT_EQ(f.desktop.shown.size(), 2u);
  EXPECT_EQ(f.desktop.shown[0], f.desktop.shown[1]);
}

TEST(MenuTree, SubListLinesStartWithTheBackLine) {
  MenuFixture f;
  f.menu.CallNext("baaMenu", 'E');
  ASSERT_EQ(f.lists.sub_lists.size(), 1u);
  const auto& lines = f.lists.sub_lists[0];
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "Esc - powrót do głównego menu");
  EXPECT_EQ(lines[1], " A - zestawienie obrotów i sald");
  EXPECT_EQ(lines[12], " L - analityka uzupełniająca");
  EXPECT_TRUE(f.desktop.shown.empty());
  EXPECT_EQ(OptionKey.view(), "E");
}

TEST(MenuTree, ItemsWithoutAnOptionOpenNothing) {
  const std::pair<char, char> pairs[] = {{'J', 'A'}, {'J', 'B'}, {'K', 'A'}, {'K', 'F'},
                                         {'M', 'A'}, {'M', 'E'}, {'I', 'E'}, {'B', 'Z'}};
  for (auto [group, item] : pairs) {
    SCOPED_TRACE((std::string{group, item}));
    MenuFixture f;
    OptionIndex = 55;
    OptionCode = "ZOiSa";
    f.menu.CallLast("baaMenu", group, item);
    EXPECT_EQ(OptionIndex, 55);
    EXPECT_EQ(OptionCode.view(), "ZOiSa");
    EXPECT_TRUE(f.desktop.shown.empty());
  }
}

TEST(MenuTree, DatabaseItemsOpenTheirOptionWithAnEmptyCode) {
  MenuFixture f;
  f.menu.CallLast("baaMenu", 'J', 'C');
  EXPECT_EQ(OptionIndex, 96);
  EXPECT_TRUE(OptionCode.empty());
  f.menu.CallLast("baaMenu", 'J', 'L');
  EXPECT_EQ(OptionIndex, 105);
  EXPECT_EQ(OptionCode.view(), "ImpPlX");
}

TEST(MenuTree, EscLineEndsWorkAndUnknownLettersShowTheirCode) {
  MenuFixture f;
  f.menu.CallNext("baaMenu", '@');
  EXPECT_EQ(f.desktop.endings, 1);
  f.menu.CallNext("baaMenu", 'P');
  ASSERT_EQ(f.status.shown.size(), 1u);
  EXPECT_EQ(f.status.shown[0], std::make_pair(std::string("P #80"), 2));
  EXPECT_TRUE(f.desktop.shown.empty());
}

TEST(MenuTree, FunctionKeys) {
  struct Row {
    int key;
    int index;
    const char* option_key;
    const char* caption;
  } rows[] = {{1, 135, "F1", "ustawienia okienek"},       {2, 136, "F2", "ustawienia drukarki"},
              {4, 138, "F4", "zmiana katalogu"},          {5, 139, "F5", "zmiana bazy danych"},
              {6, 140, "F6", "zmiana hasła logowania"},   {7, 141, "F7", "instalacja dokumentów"},
              {8, 142, "F8", "start z inną bazą danych"}, {9, 134, "F9", "ustawienia programu Zel"},
              {10, 133, "F1", "aktualizacja programu Zel"}, {11, 135, "F1", "na razie nie ma"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    MenuFixture f;
    ASSERT_TRUE(OpenFunctionKey(row.key));
    EXPECT_EQ(OptionIndex, row.index);
    EXPECT_EQ(OptionKey.view(), row.option_key);
    EXPECT_EQ(OptionCode.view(), std::string("Menu") + row.option_key);
    EXPECT_EQ(WinToUtf8(OptionCaption.view()), row.caption);
    EXPECT_EQ(f.desktop.shown, (std::vector<std::pair<int, int>>{{row.index, 1}}));
  }
  MenuFixture f;
  EXPECT_FALSE(OpenFunctionKey(3));
  EXPECT_FALSE(OpenFunctionKey(12));
  EXPECT_TRUE(f.desktop.shown.empty());
}

TEST(MenuTree, WhileLoggingInEveryChoiceOpensTheLogin) {
  struct Row {
    const char* name;
    void (*choose)(baaMenu&);
  } rows[] = {
      {"main line A", [](baaMenu& m) { m.CallNext("baaMenu", 'A'); }},
      {"main line N", [](baaMenu& m) { m.CallNext("baaMenu", 'N'); }},
      {"item E-A", [](baaMenu& m) { m.CallLast("baaMenu", 'E', 'A'); }},
      {"item J-C", [](baaMenu& m) { m.CallLast("baaMenu", 'J', 'C'); }},
      {"key F9", [](baaMenu&) { OpenFunctionKey(9); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MenuFixture f;
    RunMode = kRunModeLoggingIn;
    row.choose(f.menu);
    EXPECT_EQ(OptionIndex, 1);
    EXPECT_TRUE(OptionKey.empty());
    EXPECT_EQ(OptionCaption.view(), "logowanie -");
    EXPECT_EQ(f.desktop.shown, (std::vector<std::pair<int, int>>{{1, 1}}));
  }
}

TEST(MenuTree, EveryMenuIndexIsReachable) {
  std::vector<std::uint8_t> indices = MenuIndices();
  EXPECT_EQ(indices.front(), 11);
  EXPECT_EQ(indices.back(), 142);
  for (std::uint8_t index : indices) {
    SCOPED_TRACE(static_cast<int>(index));
    EXPECT_TRUE(FindMenuPlace(index).has_value());
  }
  auto place = FindMenuPlace(55);
  ASSERT_TRUE(place);
  EXPECT_EQ(place->group, 'E');
  EXPECT_EQ(place->item, 'A');
  EXPECT_EQ(WinToUtf8(place->caption), "zestawienie obrotów i sald");
}

TEST(MenuTree, OpeningByIndexLooksLikeTheMenuLine) {
  struct Row {
    int index;
    const char* key;
    const char* code;
    const char* caption;
  } rows[] = {{55, "EA", "ZOiSa", "zestawienie obrotów i sald"},
              {11, "A", "Dekret", "wprowadzanie-korekta dowodów"},
              {96, "JC", "", "analiza katalogu roboczego"},
              {143, "", "SzDbf", ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    MenuFixture f;
    ASSERT_TRUE(OpenMenuIndex(static_cast<std::uint8_t>(row.index)));
    EXPECT_EQ(OptionIndex, row.index);
    EXPECT_EQ(OptionKey.view(), row.key);
    EXPECT_EQ(OptionCode.view(), row.code);
    EXPECT_EQ(WinToUtf8(OptionCaption.view()), row.caption);
    EXPECT_EQ(f.desktop.shown, (std::vector<std::pair<int, int>>{{row.index, 1}}));
  }
  MenuFixture f;
  EXPECT_FALSE(OpenMenuIndex(0));
  EXPECT_TRUE(f.desktop.shown.empty());
}

}  // namespace
}  // namespace zel
