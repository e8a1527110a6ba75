// The Go actions of the shell's own options, run on a desktop form over a
// fresh Zel folder.
#include "fields/shell_options.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fields/zestaw_fixture.hpp"
#include "platform/folders.hpp"
#include "shell/pulpit.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/settings.hpp"
#include "shell/stations.hpp"
#include "store/chart.hpp"

namespace zel {
namespace {

struct StartRecorder : testing::FakeSystem {
  bool StartProgram(const std::string& path, const std::vector<std::string>& args) override {
    started.push_back(path);
    last_args = args;
    return true;
  }
  std::vector<std::string> last_args;
};

struct LoadCounter : PulpitLinks {
  bool LoadChart() override {
    ++loads;
    return true;
  }
  int loads = 0;
};

class ShellOptionsTest : public test::ZestawTest {
 protected:
  void SetUp() override {
    test::ZestawTest::SetUp();
    testing::ResetShellState();
    SetRetryPause([](int) {});
    SetSettingsWait([](int) {});
    MakeFolder("drive_c");
    MakeFolder("#");
    MakeFolder("FIRMA");
    MakeFolder("INNA");
    sys.program = dir.root() + "/zel";
    desk.SetLinks(&links);
    StationExt = ".xxx";
    DbDir = "FIRMA\\";
    ChartName = "PLAN1";
  }
  void TearDown() override {
    SetRetryPause(nullptr);
    SetSettingsWait(nullptr);
    // The other tests of this binary name their folders from where they
    // started: the Zel folder goes back there.
    std::string err;
    SetZelFolder(start_, &err);
    // Nor do they find a workstation suffix that would let them write
    // settings there.
    testing::ResetShellState();
    StationExt.clear();
  }
  std::string Dirx() {
    ReadSetting(false, "DirxBaza");
    return SettingFieldWide(1) + ";" + SettingFieldWide(2);
  }

  testing::KeepFolder keep;
  std::string start_ = std::filesystem::current_path().string();
  testing::ZelTestFolder dir;
  StartRecorder sys;
  LoadCounter links;
  FPulpit desk{sys};
  ShellOptions options{desk, sys};
};

TEST_F(ShellOptionsTest, DatabaseChangeWithinTheFolderReloadsTheChartLater) {
  ShellFields.edit_folder = "FIRMA";
  ShellFields.edit_chart = "PLAN2";
  ASSERT_TRUE(options.Run(139, form));
  EXPECT_EQ(Dirx(), "FIRMA\\;PLAN2");
  EXPECT_EQ(DbDir.str(), "FIRMA\\");
  EXPECT_EQ(ChartName.str(), "PLAN2");
  EXPECT_TRUE(ChartReloadRequested());
  EXPECT_EQ(links.loads, 0) << "same folder: no waiting panel, no load now";

  ShellFields.edit_folder = "INNA";
  ASSERT_TRUE(options.Run(138, form));
  EXPECT_EQ(Dirx(), "INNA\\;PLAN2");
  EXPECT_EQ(DbDir.str(), "INNA\\");
  EXPECT_EQ(links.loads, 1);
}

TEST_F(ShellOptionsTest, SingleWorkstationMovesItsLockWithItsDatabase) {
  RunMode = 220;
  ASSERT_EQ(OwnStationLock().Take(StationLockName(0, "FIRMA\\")), StationLock::Result::kTaken);
  StationLock other;  // another single program has INNA open
  ASSERT_EQ(other.Take(StationLockName(0, "INNA\\")), StationLock::Result::kTaken);
  ShellFields.edit_folder = "INNA";
  ShellFields.edit_chart = "PLAN1";
  ASSERT_TRUE(options.Run(138, form));
  EXPECT_EQ(Go(), "Ta baza jest otwarta w innym programie Zel");
  EXPECT_EQ(DbDir.str(), "FIRMA\\");
  other.Release();
  ASSERT_TRUE(options.Run(138, form));
  EXPECT_EQ(DbDir.str(), "INNA\\");
  EXPECT_EQ(OwnStationLock().Path(), StationLockName(0, "INNA\\"));
  EXPECT_FALSE(IsFile(StationLockName(0, "FIRMA\\"))) << "the old database is free again";
  OwnStationLock().Release();
}

TEST_F(ShellOptionsTest, FolderTooLongForTheSettingsIsRefusedAtTheField) {
  ShellFields.edit_folder = std::string(240, 'A');
  ShellFields.edit_chart = "PLAN2";
  for (std::uint8_t index : {138, 139, 142}) {
    SCOPED_TRACE(static_cast<int>(index));
    ASSERT_TRUE(options.Run(index, form));
    EXPECT_EQ(Go(), "Za długa nazwa folderu bazy danych");
    EXPECT_EQ(DbDir.str(), "FIRMA\\");
    EXPECT_EQ(Dirx(), ";");
  }
  EXPECT_TRUE(sys.started.empty());
}

TEST_F(ShellOptionsTest, SecondProgramIsToldItsDatabase) {
  ShellFields.edit_folder = "INNA";
  ShellFields.edit_chart = "PL";
  ASSERT_TRUE(options.Run(142, form));
  ASSERT_EQ(sys.started.size(), 1u);
  EXPECT_EQ(sys.started[0], sys.program);
  const std::vector<std::string> expected = {"--home", dir.root(), "--db", "INNA", "--chart", "PL"};
  EXPECT_EQ(sys.last_args, expected);
  EXPECT_EQ(Dirx(), "INNA\\;PL");
  EXPECT_EQ(DbDir.str(), "FIRMA\\") << "this program keeps its database";
}

TEST_F(ShellOptionsTest, PasswordWindowRunsThroughTheRunnerAndNeedsALogin) {
  SetShellOptionRunner(&options);
  Open(140);
  for (const char* code : {"HasS", "HasN", "HasP"}) {
    Click(code);
    Type("nowe");
    Enter();
  }
  form.ClickGo();
  SetShellOptionRunner(nullptr);
  // Without a login there is no user whose password could change: the
  // window says so at its first field instead of "Wykonane.".
  EXPECT_EQ(Go(), "Zmiana hasła wymaga zalogowania");
  EXPECT_EQ(form.CurrentSlot(), Slot("HasS"));
}

TEST_F(ShellOptionsTest, UpdateFetchesNothingWithoutASafeAddress) {
  sys.program = "/usr/bin/zel";
  EXPECT_EQ(options.UpdateProgram(), UpdateAnswer::kPackaged);
  sys.program = dir.root() + "/zel";
  EXPECT_EQ(options.UpdateProgram(), UpdateAnswer::kNoAddress);
  WriteSetting(false, "AdresAkt", "http://example.invalid/zel/");
  EXPECT_EQ(options.UpdateProgram(), UpdateAnswer::kBadAddress);
  EXPECT_EQ(LastMessage(), "Adres aktualizacji musi zaczynać się od https:// : nic nie pobrano"_w);
  EXPECT_TRUE(sys.started.empty());
  EXPECT_FALSE(sys.halted);
  EXPECT_TRUE(desk.RestartProgram().empty());
}

}  // namespace
}  // namespace zel
