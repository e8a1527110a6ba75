#include <gtest/gtest.h>

#include <filesystem>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "platform/folders.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings.hpp"
#include "shell/status.hpp"
#include "shell/pulpit_fixture.hpp"

namespace zel::testing {
namespace {

TEST_F(DesktopTest, TimerRunsTheStartUpAndActivatesTheMenuTwoTicksLater) {
  desk.FCreat();
  EXPECT_EQ(desk.Interval(), 1000);
  EXPECT_EQ(RunMode, 222);

  desk.TiTime();  // the executable-name check
  EXPECT_EQ(desk.Interval(), 100);
  EXPECT_EQ(menu.bo, 0);

  desk.TiTime();  // the start-up sequence, then ShowKind(3, 1)
  EXPECT_EQ(menu.bo, 1);
  EXPECT_EQ(menu.jo, 1);
  EXPECT_EQ(desk.Interval(), 12);
  EXPECT_EQ(desk.PendingKind(), 3);
  EXPECT_EQ(menu.go, 0);

  desk.TiTime();
  EXPECT_EQ(desk.Interval(), 123);
  EXPECT_EQ(menu.go, 0);

  desk.TiTime();
  EXPECT_EQ(desk.Interval(), 1234);
  EXPECT_EQ(menu.go, 1);
  EXPECT_EQ(menu.last_mode, 1);
  EXPECT_TRUE(desk.RegistrationDone());
  EXPECT_EQ(links.chart_loads, 1);
  EXPECT_EQ(view.title, "  Zel Kelto-Soft ");

  desk.TiTime();  // resting: nothing more is activated
  EXPECT_EQ(menu.go, 1);
  EXPECT_EQ(desk.Interval(), 1234);
}

TEST_F(DesktopTest, ActivationWaitsWhileTheMenuListIsDisabled) {
  Start();
  desk.TiTime();
  links.menu_input = false;
  desk.TiTime();
  EXPECT_EQ(desk.Interval(), 123);
  EXPECT_EQ(menu.go, 0);
  links.menu_input = true;
  desk.TiTime();
  EXPECT_EQ(menu.go, 1);
}

TEST_F(DesktopTest, WindowKindsActivateTheirWindows) {
  Start();
  TwoTicks();
  struct Row {
    const char* name;
    std::uint8_t kind;
    FakeWindow* window;  // nullptr: no window
    bool message;        // "Funkcja w przygotowaniu"
  };
  const Row rows[] = {
      {"menu", 3, &menu, false},         {"parameter window for an option", 55, &zestaw, false},
      {"login window", 1, &zestaw, false}, {"shell option", 134, &zestaw, false},
      {"hint list", 6, &lis_f45, false},  {"viewer", 8, &viewer, false},
      {"F3 window", 125, &okna_f3, false}, {"kind 0", 0, nullptr, false},
      {"kind 144", 144, nullptr, false},   {"kind 131", 131, nullptr, true},
      {"kind 132", 132, nullptr, true},    {"kind 200", 200, nullptr, true},
      {"preview without a window", 7, &zestaw, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int before = row.window ? row.window->go : 0;
    ShowStatus("", kInfo);
    desk.ShowKind(row.kind, 4);
    EXPECT_EQ(desk.Interval(), 12);
    TwoTicks();
    if (row.window) {
      EXPECT_EQ(row.window->go, before + 1);
      EXPECT_EQ(row.window->last_mode, 4);
    }
    EXPECT_EQ(LastMessage() == "Funkcja w przygotowaniu"_w, row.message);
  }
}

TEST_F(DesktopTest, UnpreparedKindLeavesTheCurrentWindowUnchanged) {
  Start();
  TwoTicks();
  Activation before = desk.LastActivation();
  desk.ShowKind(131, 1);
  TwoTicks();
  EXPECT_EQ(LastMessage(), "Funkcja w przygotowaniu"_w);
  EXPECT_EQ(desk.LastActivation().kind, before.kind);
  EXPECT_EQ(desk.LastActivation().count, before.count);
  EXPECT_EQ(menu.go, 1);
}

TEST_F(DesktopTest, MissingParameterWindowSaysTheFunctionIsNotReady) {
  desk.SetWindow(FPulpit::kZestaw, nullptr);
  Start();
  TwoTicks();
  desk.ShowKind(55, 1);
  TwoTicks();
  EXPECT_EQ(LastMessage(), "Funkcja w przygotowaniu"_w);
}

TEST_F(DesktopTest, WithoutALoggedInUserOnlyTheFirstKindsOpen) {
  MakeFolder("!");
  folder.Put("!/Login.txt", "5,ANNA,x,K,FIRMA1,PLAN1\r\n");
  Start();
  EXPECT_TRUE(StationExt.empty());
  EXPECT_EQ(RunMode, 222);
  // The desktop waits on the middle three fifths of the screen.
  EXPECT_EQ(desk.Frame().left, 200);
  EXPECT_EQ(desk.Frame().width, 600);
  EXPECT_EQ(desk.Frame().top, 160);
  EXPECT_EQ(desk.Frame().height, 480);
  TwoTicks();
  EXPECT_EQ(menu.go, 1);
  desk.ShowKind(55, 1);
  TwoTicks();
  EXPECT_EQ(zestaw.go, 0);
  EXPECT_EQ(LastMessage(), "Zaloguj się prawidłowo ponownie"_w);
  desk.ShowKind(1, 1);
  TwoTicks();
  EXPECT_EQ(zestaw.go, 1);
}

TEST_F(DesktopTest, WorkstationModeFromTheFirstArgument) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* ext;
    int run_mode;
    bool network;
    const char* db_dir;
  };
  const Row rows[] = {
      {"station 5", {"5"}, ".005", 5, true, "STACJA5\\"},
      {"station 197", {"197"}, ".197", 197, true, ""},
      {"198 is no station", {"198"}, ".xxx", 220, false, "JEDNO\\"},
      {"letters are no station", {"abc"}, ".xxx", 220, false, "JEDNO\\"},
      {"no argument", {}, ".xxx", 220, false, "JEDNO\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetShellState();
    StationRecords(
        " DirxBaza.005 = STACJA5\\;PLAN5\r\n"
        " DirxBaza.xxx = JEDNO\\;PLAN\r\n");
    FPulpit d(sys);
    d.SetLinks(&links);
    d.SetProgramName("");
    sys.args = row.args;
    d.FCreat();
    d.TiTime();
    d.TiTime();
    EXPECT_EQ(StationExt.view(), row.ext);
    EXPECT_EQ(RunMode, row.run_mode);
    EXPECT_EQ(NetworkMode, false);  // FirmUsSi field 3 is not "T"
    EXPECT_EQ(DbDir.view(), row.db_dir);
    EXPECT_EQ(UserLetter, 'A');
    (void)row.network;
  }
}

TEST_F(DesktopTest, NumberedStationKeepsNetworkModeWhenTheFirmAllowsIt) {
  sys.args = {"5"};
  StationRecords(" DirxBaza.005 = FIRMA\\;PLAN\r\n");
  MakeFolder("FIRMA");
  folder.Put("FIRMA/Zel.BAL", " FirmUsSi.005 = Firma Sp. z o.o.;123;T\r\n");
  Start();
  EXPECT_TRUE(NetworkMode);
  EXPECT_EQ(FirmName.view(), "Firma Sp. z o.o.");
  EXPECT_EQ(ChartPath.view(), "FIRMA\\PLAN.PFX");
}

TEST_F(DesktopTest, DatabaseFolderFromTheSettings) {
  struct Row {
    const char* name;
    const char* records;
    const char* db_dir;
    const char* chart_path;
  };
  const Row rows[] = {
      {"short folder overrides", " DirxBaza.xxx = C:\\DANE\\;PLAN\r\n sDirBaza.xxx = FIRMA;\r\n", "FIRMA\\",
       "FIRMA\\PLAN.PFX"},
      {"short chart overrides", " DirxBaza.xxx = C:\\DANE\\;PLAN\r\n sDirBaza.xxx = ;KONTA\r\n",
       "C:\\DANE\\", "C:\\DANE\\KONTA.PFX"},
      {"doubled backslash", " DirxBaza.xxx = C:\\DANE\\\\2024\\;PLAN\r\n", "C:\\DANE\\2024\\",
       "C:\\DANE\\2024\\PLAN.PFX"},
      {"folder without its backslash", " DirxBaza.xxx = C:\\DANE;PLAN\r\n", "C:\\DANE\\",
       "C:\\DANE\\PLAN.PFX"},
      {"nothing configured", "", "", "PFX"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetShellState();
    StationRecords(row.records);
    FPulpit d(sys);
    d.SetProgramName("");
    d.FCreat();
    d.TiTime();
    d.TiTime();
    EXPECT_EQ(DbDir.view(), row.db_dir);
    if (std::string_view(row.chart_path) != "PFX") {
      EXPECT_EQ(ChartPath.view(), row.chart_path);
    }
  }
}

TEST_F(DesktopTest, FontsColoursAndTheDesktopPlace) {
  StationRecords(
      " KonOkien.xxx = c Mono;----;10;9;6;6;4;3;2\r\n"
      " PulpitLT.xxx = 30;40\r\n"
      " PulpitWH.xxx = 900;700\r\n");
  Start();
  EXPECT_TRUE(AltColours);
  EXPECT_EQ(NormalColour, kAltDeskColour);
  EXPECT_EQ(desk.DeskColour(), kAltDeskColour);
  EXPECT_EQ(desk.StripColour(), 0x396DA6u);
  // "Mono" is found in the last installed family that holds it.
  EXPECT_EQ(WindowFont.family, "Liberation Mono");
  EXPECT_EQ(WindowFont.size, 10);
  EXPECT_FALSE(WindowFont.bold);
  EXPECT_EQ(desk.Frame().left, 30);
  EXPECT_EQ(desk.Frame().top, 40);
  EXPECT_EQ(desk.Frame().width, 900);
  EXPECT_EQ(desk.Frame().height, 700);
  EXPECT_EQ(desk.WindowText(), "Okno: 30-929 40-739");
  EXPECT_EQ(menu.frame.left, 8);
  EXPECT_EQ(menu.frame.top, 1);
  // The corner panel from "31-12 12:00": 14 + 5 is below 25.
  EXPECT_EQ(desk.CornerHeight(), 25);
  EXPECT_EQ(desk.CornerWidth(), 11 * 7 + 9);
}

TEST_F(DesktopTest, DefaultPlaceFillsTheScreen) {
  Start();
  EXPECT_FALSE(AltColours);
  EXPECT_EQ(WindowFont.family, "Consolas");  // not installed: the text itself
  EXPECT_TRUE(WindowFont.bold);
  EXPECT_EQ(desk.Frame().left, 5);
  EXPECT_EQ(desk.Frame().top, 5);
  EXPECT_EQ(desk.Frame().width, 990);
  EXPECT_EQ(desk.Frame().height, 770);
}

TEST_F(DesktopTest, NextWindowPositionFallsBackToOneNearTheEdges) {
  struct Row {
    const char* name;
    WindowFrame menu_frame;
    int next_left;
    int next_top;
  };
  // The desktop's client area is 982 x 740.
  const Row rows[] = {
      {"inside", {8, 1, 300, 400, 8, 30}, 8 + 225, 1 + 300},
      {"menu wide near the right edge", {8, 1, 1300, 400, 8, 30}, 1, 301},
      {"menu tall near the bottom", {8, 1, 300, 1000, 8, 30}, 233, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetShellState();
    FakeWindow m(row.menu_frame);
    FPulpit d(sys);
    d.SetProgramName("");
    d.SetWindow(FPulpit::kMen, &m);
    d.Frame().extra_width = 8;
    d.Frame().extra_height = 30;
    d.FCreat();
    d.TiTime();
    d.TiTime();
    EXPECT_EQ(d.NextLeft, row.next_left);
    EXPECT_EQ(d.NextTop, row.next_top);
  }
}

TEST_F(DesktopTest, BookYearAndFirmFromTheDatabaseSettings) {
  StationRecords(" DirxBaza.xxx = FIRMA\\;PLAN\r\n");
  MakeFolder("FIRMA");
  folder.Put("FIRMA/Zel.BAL", Utf8ToWin(" DatyBOBZ.??? = 01-01-2024;31-12-2024\r\n"
                                       " Dla kogo.xxx = Biuro Rachunkowe Ósemka\r\n"));
  Start();
  EXPECT_EQ(DayToText10(BoDate), "01-01-2024");
  EXPECT_EQ(DayToText10(BzDate), "31-12-2024");
  EXPECT_EQ(FromDate, BoDate + 1);
  EXPECT_EQ(ToDate, BzDate);
  EXPECT_EQ(ForWhom.view(), Utf8ToWin("Biuro Rachunkowe Ósemka"));
}

TEST_F(DesktopTest, TemporaryFolderFromThePointerFile) {
  MakeFolder("#");
  MakeFolder("robocze");
  folder.Put("#/Temp", "robocze\\\r\nignored\r\n");
  Start();
  EXPECT_EQ(TempDir.view(), "robocze\\");
  EXPECT_TRUE(FindFiles("robocze\\*").empty());  // no probe file stays
}

TEST_F(DesktopTest, TemporaryFolderFallsBackToTheFixedCandidates) {
  MakeFolder("#");
  folder.Put("#/Temp.xxx", "nie-ma-takiego\r\n");
  Start();
  EXPECT_EQ(TempDir.view(), "C:\\Temp\\");
  EXPECT_TRUE(sys.fatal.empty());
}

TEST_F(DesktopTest, NoTemporaryFolderEndsTheProgramWithAMessage) {
  SetDriveRoot('C', "/proc/nie-ma");
  SetDriveRoot('D', "/proc/nie-ma");
  SetDriveRoot('E', "/proc/nie-ma");
  desk.FCreat();
  desk.TiTime();
  desk.TiTime();
  EXPECT_FALSE(sys.fatal.empty());
  EXPECT_NE(desk.Interval(), 12);  // the menu is not posted
}

TEST_F(DesktopTest, EndingAsksAndClosesOnlyOnYes) {
  Start();
  TwoTicks();
  asker.answers = {1};
  desk.EscapeKey();
  ASSERT_EQ(asker.seconds.size(), 1u);
  EXPECT_EQ(asker.defaults[0], 'N');
  EXPECT_EQ(asker.seconds[0], "Czy już koniec pracy ?"_w);
  EXPECT_EQ(asker.firsts[0], "Zel - księgi rachunkowe."_w);
  EXPECT_EQ(view.close_requests, 0);
  EXPECT_EQ(desk.Interval(), 123);  // the pending window comes again
  int go = menu.go;
  desk.TiTime();
  EXPECT_EQ(menu.go, go + 1);

  // The window's own close button asks too.
  asker.answers = {2};
  EXPECT_FALSE(desk.FCloQu());
  EXPECT_TRUE(desk.CloseConfirmation());

  asker.answers = {0};
  desk.CornerClick();
  EXPECT_EQ(view.close_requests, 1);
  EXPECT_FALSE(desk.CloseConfirmation());
}

TEST_F(DesktopTest, ClosingIsRefusedWhileAnEntryIsUnfinished) {
  Start();
  TwoTicks();
  asker.answers = {0};
  desk.Ending();
  links.unfinished = true;
  std::uint32_t raised = zestaw.frame.raised;
  EXPECT_FALSE(desk.FCloQu());
  EXPECT_EQ(zestaw.frame.raised, raised + 1);
  links.unfinished = false;
  EXPECT_TRUE(desk.FCloQu());
}

TEST_F(DesktopTest, ClosingWritesTheSettingsAndWindowPositions) {
  StationRecords(" DirxBaza.xxx = FIRMA\\;PLAN\r\n");
  MakeFolder("FIRMA");
  Start();
  TwoTicks();
  desk.RaiseWindow(3, menu);
  menu.frame.left = 40;
  menu.frame.top = 50;
  asker.answers = {0};
  desk.Ending();
  ASSERT_TRUE(desk.FCloQu());
  std::string station = WinToUtf8(folder.Get("#/Zel.BAL"));
  EXPECT_NE(station.find("KonOkien.xxx = c Consolas;Bold;11;9;6;6;4;3;2"), std::string::npos)
      << station;
  EXPECT_NE(station.find("PulpitLT.xxx = 5;5"), std::string::npos) << station;
  EXPECT_NE(station.find("PulpitWH.xxx = 990;770"), std::string::npos) << station;
  EXPECT_NE(station.find("   MenLT.xxx = 40;50"), std::string::npos) << station;
  std::string database = WinToUtf8(folder.Get("FIRMA/Zel.BAL"));
  EXPECT_NE(database.find("DatyBOBZ.xxx = 01-01-2018;31-12-2018"), std::string::npos) << database;
  EXPECT_EQ(menu.frame.height, 0);  // collapsed by HideWindow
}

TEST_F(DesktopTest, HideWindowSavesChangedPositionsByName) {
  Start();
  struct Row {
    const char* name;
    std::uint8_t kind;
    int left;
    int top;
    const char* saved;  // the record expected in "#\Zel.BAL", or nullptr
    bool hook;
  };
  const Row rows[] = {
      {"menu", 3, 3, -5, "   MenLT.xxx = 8;", false},
      {"list", 6, 100, 20, "   F45LT.xxx = 100;20", false},
      {"parameter window never saved", 4, 300, 30, nullptr, false},
      {"option without a name goes to the hook", 142, 50, 60, nullptr, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeWindow w;
    w.frame = {row.left, row.top, 200, 100, 8, 30};
    links.hook_kinds.clear();
    desk.HideWindow(row.kind, w, false);
    EXPECT_EQ(w.frame.height, 0);
    EXPECT_TRUE(desk.Windows()[row.kind].hidden);
    std::string station = folder.Get("#/Zel.BAL");
    if (row.saved) {
      EXPECT_NE(station.find(row.saved), std::string::npos) << station;
    }
    EXPECT_EQ(!links.hook_kinds.empty(), row.hook);
    if (row.hook) {
      EXPECT_EQ(LastMessage(), "Ukryj nie działa"_w);
    }
  }
  EXPECT_EQ(desk.Windows()[3].left, 8);
  EXPECT_EQ(desk.Windows()[3].top, 0);

  FakeWindow back;
  back.frame = {8, 0, 200, 100, 8, 30};
  desk.HideWindow(3, back, true);
  EXPECT_EQ(desk.PendingKind(), 3);
  EXPECT_EQ(desk.PendingMode(), 2);
}

TEST(WindowTableTest, KindsShareEntries) {
  WindowTable t;
  t[4].left = 77;
  EXPECT_EQ(t[55].left, 77);
  EXPECT_EQ(t[120].left, 77);
  t[5].top = 9;
  EXPECT_EQ(t[125].top, 9);
  EXPECT_EQ(t[131].top, 9);
  EXPECT_EQ(t[132].top, 0);
  EXPECT_TRUE(t[9].hidden);
}

TEST_F(DesktopTest, LoadPositionCascadesThenTakesDefaultsThenTheSavedPlace) {
  Start();
  CascadeBase = {100, 200};
  sys.random = 0;  // c = 15
  desk.LoadPosition("Ab", 0, 0);
  EXPECT_EQ(desk.NextLeft, 115);
  EXPECT_EQ(desk.NextTop, 185);
  sys.random = 6;  // c = -15
  desk.LoadPosition("Ab", 0, 0);
  EXPECT_EQ(desk.NextLeft, 85);
  EXPECT_EQ(desk.NextTop, 215);
  desk.LoadPosition("Ab", 8, 2);
  EXPECT_EQ(desk.NextLeft, 8);
  EXPECT_EQ(desk.NextTop, 2);
  desk.SavePosition("Ab", 44, 55);
  desk.LoadPosition("Ab", 8, 2);
  EXPECT_EQ(desk.NextLeft, 44);
  EXPECT_EQ(desk.NextTop, 55);
}

TEST_F(DesktopTest, ClampsKeepWindowsOnTheDesktop) {
  Start();  // client 982 x 740, status bar 21 high
  EXPECT_EQ(desk.ClampLeft(900, 200), 982 - 200 - 4);
  EXPECT_EQ(desk.ClampLeft(-50, 200), 3);
  EXPECT_EQ(desk.ClampLeft(100, 200), 100);
  EXPECT_EQ(desk.ClampTop(700, 100), 740 - 100 - desk.StatusBar().height - 4);
  EXPECT_EQ(desk.ClampTop(-9, 100), -1);
}

TEST_F(DesktopTest, VersionText) {
  EXPECT_EQ(desk.VersionText(), "1.41");
  sys.version_minor = 42;
  EXPECT_EQ(desk.VersionText(), "1.42 / 1.41");
  sys.version_major = 2;
  sys.version_minor = 5;
  EXPECT_EQ(desk.VersionText(), "2.05 / 1.41");
}

TEST_F(DesktopTest, StatusBarRisesWithAMessageAndSinksBack) {
  Start();
  TwoTicks();
  ShowStatus("Uwaga", kWarning);
  EXPECT_EQ(desk.StatusBar().panel0, " Uwaga");
  EXPECT_EQ(desk.StatusBar().height, 25);
  EXPECT_EQ(desk.StatusBar().colour, 0xFFBB77u);
  desk.TiTime();
  EXPECT_EQ(desk.StatusBar().height, 24);
  desk.TiTime();
  desk.TiTime();
  desk.TiTime();
  EXPECT_EQ(desk.StatusBar().height, 21);
  EXPECT_EQ(desk.StatusBar().colour, 0xFFBB77u);
  desk.TiTime();
  EXPECT_EQ(desk.StatusBar().colour, NormalColour);
  EXPECT_EQ(desk.StatusBar().panel0, " Uwaga");  // faded, not cleared
  ClearStatus();
  EXPECT_EQ(desk.StatusBar().panel0, "");
}

TEST_F(DesktopTest, CornerShowsTheDateTimeAndTheWeekday) {
  DateTime fixed{2024, 3, 15, 9, 7, 30, 0};  // a Friday
  SetClockForTests(&fixed);
  Start();
  EXPECT_EQ(desk.CornerText(), "15-03 09:07");
  EXPECT_EQ(desk.CornerHint(), "Piątek"_w);
  EXPECT_EQ(DayToDdMmYy(Today), "150324");
  DateTime sunday{2024, 3, 17, 23, 59, 0, 0};
  SetClockForTests(&sunday);
  desk.TiTime();
  EXPECT_EQ(desk.CornerHint(), "Niedziela");
  SetClockForTests(nullptr);
}

TEST_F(DesktopTest, AdministratorMessages) {
  Start();
  TwoTicks();
  MakeFolder("!");
  folder.Put("!/OdAdmina.xxx", "Prosze zapisac prace\r\n");
  desk.TiTime();
  EXPECT_EQ(LastMessage(), "Prosze zapisac prace");
  EXPECT_FALSE(IsFile("!\\OdAdmina.xxx"));
  EXPECT_TRUE(asker.seconds.empty());

  folder.Put("!/OdAdmina.xxx", "Koniec o 15!\r\n");
  asker.answers = {0};
  desk.TiTime();
  ASSERT_EQ(asker.seconds.size(), 1u);
  EXPECT_EQ(asker.firsts[0], "Koniec o 15!.");
  EXPECT_EQ(asker.seconds[0], "Byłoby miło ?"_w);
  EXPECT_EQ(asker.defaults[0], 'T');

  // A line still being written is left for a later tick.
  folder.Put("!/OdAdmina.xxx", "Logout");
  desk.TiTime();
  EXPECT_TRUE(IsFile("!\\OdAdmina.xxx"));
  EXPECT_EQ(view.close_requests, 0);

  // Logout leaves an open question unanswered and closes without asking.
  folder.Put("!/OdAdmina.xxx", "Logout\n");
  desk.TiTime();
  EXPECT_EQ(asker.yes_presses, 0);
  EXPECT_EQ(asker.back_presses, 1);
  EXPECT_EQ(view.close_requests, 1);
  EXPECT_FALSE(desk.CloseConfirmation());
  EXPECT_TRUE(desk.FCloQu());
}

TEST_F(DesktopTest, LogoutWaitsForAnUnfinishedEntry) {
  Start();
  TwoTicks();
  MakeFolder("!");
  links.unfinished = true;
  folder.Put("!/OdAdmina.xxx", "Logout\r\n");
  desk.TiTime();
  EXPECT_FALSE(desk.FCloQu()) << "the entry is not lost";
  const int asked = view.close_requests;
  desk.TiTime();
  EXPECT_EQ(view.close_requests, asked) << "no close while the entry is open";
  links.unfinished = false;
  desk.TiTime();
  EXPECT_EQ(view.close_requests, asked + 1);
  EXPECT_TRUE(desk.FCloQu());
}

TEST_F(DesktopTest, DatabaseLoadCaptionWaitPanelAndTime) {
  StationRecords(" DirxBaza.xxx = FIRMA\\;PLAN\r\n");
  sys.seconds_step = 0.25;
  Start();
  EXPECT_EQ(links.enable_calls, (std::vector<bool>{false, true}));
  EXPECT_FALSE(desk.WaitPanelShown());
  EXPECT_EQ(desk.WaitPanelText(), "Proszę czekać, wczytuję bazę danych"_w);
  const std::string& c = desk.Caption();
  EXPECT_EQ(c.find("         Zel         Kelto - Finansowo-Księgowy"_w), 0u) << c;
  EXPECT_NE(c.find("FIRMA\\PLAN.PFX"), std::string::npos);
  EXPECT_NE(c.find("ID.xxx"), std::string::npos);
  EXPECT_NE(c.find("Okno: 5-994 5-774"), std::string::npos) << c;
  EXPECT_NE(LastMessage().find("  0,25"), std::string::npos) << LastMessage();
  EXPECT_EQ(LastMessage().substr(LastMessage().size() - 2), " s");
}

TEST_F(DesktopTest, TestStartSitsOffScreen) {
  sys.args = {"-o"};
  desk.FCreat();
  EXPECT_EQ(RunMode, 223);
  EXPECT_LT(desk.Frame().left, 0);
  desk.TiTime();
  desk.TiTime();
  EXPECT_EQ(desk.Frame().left, -222);
  EXPECT_EQ(desk.Frame().width, 222);
  EXPECT_TRUE(StationExt.empty());
  EXPECT_EQ(desk.Caption(), "Kelto-Systemy");
}

TEST_F(DesktopTest, DraggingMovesTheDesktop) {
  Start();
  desk.DragPress(100, 100);
  desk.DragMove(130, 90);
  desk.DragMove(140, 95);
  desk.DragRelease();
  desk.DragMove(500, 500);
  EXPECT_EQ(desk.Frame().left, 5 + 40);
  EXPECT_EQ(desk.Frame().top, 5 - 5);
}

TEST_F(DesktopTest, ListsAndF3WindowsReturnToTheirKinds) {
  Start();
  TwoTicks();
  desk.F45(55, 7, "20*", 116);
  EXPECT_EQ(desk.PendingKind(), 6);
  EXPECT_TRUE(desk.F45WasF5());
  EXPECT_EQ(desk.F45Value(), 7);
  desk.RetF45(true);
  EXPECT_EQ(desk.PendingKind(), 55);
  EXPECT_EQ(desk.PendingMode(), 5);
  links.current = 59;
  desk.RetF3(false);
  EXPECT_EQ(desk.PendingKind(), 59);
  EXPECT_EQ(desk.PendingMode(), 2);
  EXPECT_EQ(desk.Interval(), 12);
}

TEST(ResolveFontNameTest, DropsTheKeyLetterAndTakesTheLastMatch) {
  std::vector<std::string> installed = {"Courier", "Consolas", "Consolas Bold Alt", "Tahoma"};
  EXPECT_EQ(ResolveFontName("c Consolas", installed), "Consolas Bold Alt");
  EXPECT_EQ(ResolveFontName("Tahoma", installed), "Tahoma");
  EXPECT_EQ(ResolveFontName("x Nieznana", installed), "Nieznana");
  EXPECT_EQ(ResolveFontName("", installed), "");
}

// The executable-name check, always on a copy in a temporary folder.
class ExeNameTest : public ::testing::Test {
 protected:
  ExeNameTest() {
    char tmpl[] = "/tmp/zel-exe-XXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  ~ExeNameTest() override { std::filesystem::remove_all(dir_); }
  std::string Put(const std::string& name, const std::string& content) {
    std::string p = dir_ + "/" + name;
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fputs(content.c_str(), f);
    std::fclose(f);
    return p;
  }
  std::string Read(const std::string& name) {
    std::string p = dir_ + "/" + name, s;
    FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) return "<missing>";
    char buf[64];
    std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    return std::string(buf, n);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> v;
    for (auto& e : std::filesystem::directory_iterator(dir_)) v.push_back(e.path().filename());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string dir_;
  FakeSystem sys;
};

TEST_F(ExeNameTest, TheRightNameStays) {
  std::string p = Put("zel", "old");
  EXPECT_EQ(CheckExeName(sys, p, "zel"), ExeCheck::kSameName);
  EXPECT_EQ(Names(), std::vector<std::string>{"zel"});
  EXPECT_FALSE(sys.halted);
}

TEST_F(ExeNameTest, OnlyTheLetterCaseIsCorrected) {
  std::string p = Put("ZEL", "prog");
  EXPECT_EQ(CheckExeName(sys, p, "zel"), ExeCheck::kCaseFixed);
  EXPECT_EQ(Names(), std::vector<std::string>{"zel"});
  EXPECT_EQ(Read("zel"), "prog");
  EXPECT_FALSE(sys.halted);
}

TEST_F(ExeNameTest, AnUpdateReplacesTheOldProgramAndRestarts) {
  Put("zel", "old");
  std::string p = Put("zel(1)", "new");
  sys.args = {"5"};
  EXPECT_EQ(CheckExeName(sys, p, "zel"), ExeCheck::kRestarted);
  EXPECT_EQ(Names(), std::vector<std::string>{"zel"});
  EXPECT_EQ(Read("zel"), "new");
  ASSERT_EQ(sys.started.size(), 1u);
  EXPECT_EQ(sys.started[0], dir_ + "/zel");
  EXPECT_TRUE(sys.halted);
}

TEST_F(ExeNameTest, AnOldProgramThatCannotBeDeletedHalts) {
  std::filesystem::create_directory(dir_ + "/zel");
  Put("zel/keep", "x");  // a folder with content cannot be removed as a file
  std::string p = Put("zel-new", "new");
  EXPECT_EQ(CheckExeName(sys, p, "zel"), ExeCheck::kHalted);
  EXPECT_TRUE(sys.halted);
  EXPECT_TRUE(sys.started.empty());
  EXPECT_EQ(Read("zel-new"), "new");
}

}  // namespace
}  // namespace zel::testing

namespace zel::testing {
namespace {

TEST_F(DesktopTest, FirstTickCorrectsTheProgramNameThenGoesOn) {
  MakeFolder("bin");
  folder.Put("bin/ZEL", "program");
  sys.program = folder.Native("bin/ZEL");
  desk.SetProgramName("zel");
  desk.FCreat();
  desk.TiTime();
  EXPECT_EQ(desk.Interval(), 100);
  EXPECT_EQ(folder.Get("bin/zel"), "program");
  EXPECT_FALSE(sys.halted);
}

TEST_F(DesktopTest, StatusBarDoubleClickAndWaitPanelClick) {
  Start();
  TwoTicks();
  int go = menu.go;
  desk.StatusBarDoubleClick();
  EXPECT_EQ(menu.go, go + 1);
  desk.WaitPanelClick();
  EXPECT_FALSE(desk.WaitPanelShown());
  EXPECT_TRUE(view.close_requests == 0);
}

}  // namespace
}  // namespace zel::testing
