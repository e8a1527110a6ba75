#include "platform/paths.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"

namespace zel {
namespace {

using testing::ZelTestFolder;

TEST(NativePath, ResolvesEachExistingComponentWithoutRegardToCase) {
  ZelTestFolder dir;
  mkdir(dir.Native("vat").c_str(), 0777);
  dir.Put("vat/VAT.7BT", "x");
  mkdir(dir.Native("\xC5\x81\xC3\xB3\x64\xC5\xBA").c_str(), 0777);  // "Łódź" in UTF-8 on disk
  mkdir(dir.Native("#").c_str(), 0777);

  struct Row {
    const char* name;
    std::string zel;
    std::string native;  // relative to the Zel folder
  };
  const Row rows[] = {
      {"exact", "#\\Zel.BAL", "#/Zel.BAL"},
      {"folder and file in other case", "VAT\\Vat.7BT", "vat/VAT.7BT"},
      {"upper case all through", "VAT\\VAT.7BT", "vat/VAT.7BT"},
      {"slash separates too", "vat/vat.7bt", "vat/VAT.7BT"},
      {"Polish letters fold", "ŁÓDŹ\\nowy.txt"_w, "\xC5\x81\xC3\xB3\x64\xC5\xBA/nowy.txt"},
      {"new names keep their spelling", "Nowy\\Plik.DFX", "Nowy/Plik.DFX"},
      {"new Polish name becomes UTF-8", "Żółw.txt"_w, "\xC5\xBB\xC3\xB3\xC5\x82w.txt"},
      {"trailing separator dropped", "VAT\\", "vat"},
      {"dot components skipped", ".\\vat\\.\\VAT.7bt", "vat/VAT.7BT"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(NativePath(r.zel), dir.Native(r.native));
  }
  EXPECT_EQ(NativePath(""), dir.root());
}

TEST(NativePath, DriveLettersMapToDriveRootsAndRootedPathsAreAbsolute) {
  ZelTestFolder dir;
  EXPECT_EQ(NativePath("C:\\DANE\\2024\\"), dir.Native("drive_c/DANE/2024"));
  EXPECT_EQ(NativePath("d:Temp"), dir.Native("drive_d/Temp"));
  SetDriveRoot('e', dir.Native("media"));
  EXPECT_EQ(NativePath("E:\\Temp"), dir.Native("media/Temp"));
  EXPECT_EQ(NativePath("/usr/share"), "/usr/share");
  EXPECT_EQ(NativePath("\\usr\\share"), "/usr/share");
  EXPECT_EQ(DriveRoot('1'), "");

  EXPECT_TRUE(ExistingDrives().empty());
  mkdir(dir.Native("drive_c").c_str(), 0777);
  mkdir(dir.Native("media").c_str(), 0777);
  EXPECT_EQ(ExistingDrives(), (std::vector<char>{'C', 'E'}));
}

TEST(NativePath, DriveCIsAlwaysThereOtherDrivesOnlyWhenTheirFolderIs) {
  ZelTestFolder dir;
  EXPECT_FALSE(MakeFolder("E:\\Temp"));
  EXPECT_TRUE(MakeFolder("C:\\Temp"));
  EXPECT_TRUE(IsFolder("c:\\temp"));
  EXPECT_EQ(ExistingDrives(), (std::vector<char>{'C'}));
  // A drive C named by the environment that is not there stays missing.
  setenv("ZEL_DRIVE_C", dir.Native("not-mounted").c_str(), 1);
  EXPECT_FALSE(MakeFolder("C:\\Temp"));
  unsetenv("ZEL_DRIVE_C");
  EXPECT_FALSE(IsFolder("not-mounted"));
}

TEST(NativePath, SetZelFolderCreatesTheFolderAndMakesItCurrent) {
  ZelTestFolder dir;
  std::string err;
  ASSERT_TRUE(SetZelFolder(dir.Native("a/b/zel"), &err)) << err;
  EXPECT_EQ(ZelFolder(), dir.Native("a/b/zel"));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(std::string(cwd), dir.Native("a/b/zel"));
  dir.Put("plik", "x");
  EXPECT_FALSE(SetZelFolder(dir.Native("plik/sub"), &err));
  EXPECT_NE(err.find("Nie mogę utworzyć folderu"_w), std::string::npos);
}

TEST(NativePath, DefaultZelFolderFollowsTheEnvironment) {
  // Saves and restores the three variables around the test.
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  } saved[] = {{"ZEL_HOME", "", false}, {"XDG_DATA_HOME", "", false}, {"HOME", "", false}};
  for (Saved& s : saved) {
    if (const char* v = getenv(s.name)) {
      s.value = v;
      s.set = true;
    }
  }
  setenv("ZEL_HOME", "/srv/zel", 1);
  setenv("XDG_DATA_HOME", "/x/data", 1);
  setenv("HOME", "/home/anna", 1);
  EXPECT_EQ(DefaultZelFolder(), "/srv/zel");
  unsetenv("ZEL_HOME");
  EXPECT_EQ(DefaultZelFolder(), "/x/data/zel");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(DefaultZelFolder(), "/home/anna/.local/share/zel");
  for (const Saved& s : saved) {
    if (s.set) {
      setenv(s.name, s.value.c_str(), 1);
    } else {
      unsetenv(s.name);
    }
  }
}

TEST(ZelPathParts, FileNameAndFolder) {
  EXPECT_EQ(PathFileName("!\\Login.txt"), "Login.txt");
  EXPECT_EQ(PathFolder("!\\Login.txt"), "!\\");
  EXPECT_EQ(PathFileName("Zel.BAL"), "Zel.BAL");
  EXPECT_EQ(PathFolder("Zel.BAL"), "");
  EXPECT_EQ(PathFolder("FIRMA\\VAT\\Vat.7BT"), "FIRMA\\VAT\\");
}

TEST(WildcardMatch, WindowsLikeWithoutRegardToCase) {
  struct Row {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Row rows[] = {
      {"!Prac*.*", "!Prac-FX.005", true},
      {"!Prac*.*", "!prac-fx", true},  // no dot: "*.*" still matches
      {"!Prac*.*", "Prac-FX.005", false},
      {"*.dfx", "N2020.DFX", true},
      {"*.dfx", "N2020.DFXX", false},
      {"*.dfx", "dfx", false},
      {"*.*", "README", true},
      {"*", "", true},
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*ĄĆ*", "xąćy", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.pattern) + " ~ " + r.name);
    EXPECT_EQ(WildcardMatch(Utf8ToWin(r.pattern), Utf8ToWin(r.name)), r.match);
  }
}

TEST(FindFiles, ListsMatchingEntriesSortedWithTheirSizes) {
  ZelTestFolder dir;
  mkdir(dir.Native("!").c_str(), 0777);
  dir.Put("!/!Prac-FX.005", "12345");
  dir.Put("!/!prac-zel", "");
  dir.Put("!/Login.txt", "x");
  mkdir(dir.Native("!/!Prac.dir").c_str(), 0777);
  const auto found = FindFiles("!\\!Prac*.*");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "!Prac-FX.005");
  EXPECT_EQ(found[0].size, 5u);
  EXPECT_FALSE(found[0].is_folder);
  EXPECT_EQ(found[1].name, "!Prac.dir");
  EXPECT_TRUE(found[1].is_folder);
  EXPECT_EQ(found[2].name, "!prac-zel");
  EXPECT_TRUE(FindFiles("brak\\*.*").empty());
  dir.Put("N2020.DFX", "");
  dir.Put("n2021.dfx", "");
  dir.Put("Plan.PFX", "");
  const auto journals = FindFiles("*.dfx");
  ASSERT_EQ(journals.size(), 2u);
  EXPECT_EQ(journals[1].name, "n2021.dfx");
}

}  // namespace
}  // namespace zel
