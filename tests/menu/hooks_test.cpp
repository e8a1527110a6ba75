#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "menu/hooks.hpp"
#include "platform/paths.hpp"
#include "menu_recorders.hpp"

namespace zel {
namespace {

using test::MenuFixture;

TEST(Hooks, WrongOwnerIsReportedAndTheHookStillWorks) {
  MenuFixture f;
  int width = 0;
  f.menu.MainMenu("bZestaw", width);
  ASSERT_EQ(f.status.shown.size(), 1u);
  EXPECT_EQ(f.status.shown[0].first, "MainMenu ma być w baaMenu a nie w bZestaw");
  EXPECT_EQ(f.status.shown[0].second, 0);
  EXPECT_EQ(f.lists.main_lines.size(), 16u);
  EXPECT_GT(width, 0);

  f.menu.CallNext("aaaMenu", 'A');
  EXPECT_EQ(f.status.shown.back().first, "CallNext ma być w baaMenu a nie w aaaMenu");
  EXPECT_EQ(OptionIndex, 11);
}

TEST(Hooks, CheckOwnerTextsOfTheFourModules) {
  MenuFixture f;
  const char* modules[] = {"bZestaw", "bOknaF3", "baaMenu", "bPulpit"};
  for (const char* name : modules) {
    SCOPED_TRACE(name);
    BusinessModule module(name);
    EXPECT_TRUE(module.CheckOwner(name, "Hak"));
    EXPECT_FALSE(module.CheckOwner("inny", "Hak"));
    EXPECT_EQ(f.status.shown.back().first, std::string("Hak ma być w ") + name + " a nie w inny");
  }
  EXPECT_EQ(f.status.shown.size(), 4u);
}

TEST(Hooks, HookMissingSpeaksOnlyToDevelopers) {
  MenuFixture f;
  SetDeveloperMode(false);
  EXPECT_TRUE(HookMissing("EnStNeGo", "bEntKlik", 71));
  EXPECT_TRUE(f.status.shown.empty());
  EXPECT_TRUE(f.desktop.clipboard.empty());

  SetDeveloperMode(true);
  EXPECT_TRUE(HookMissing("EnStNeGo", "bEntKlik", 71));
  SetDeveloperMode(false);
  ASSERT_EQ(f.status.shown.size(), 1u);
  EXPECT_EQ(f.status.shown[0], std::make_pair(std::string("bEntKlik, EnStNeGo, 71"), 0));
  EXPECT_EQ(f.desktop.clipboard, "EnStNeGo");
}

TEST(Hooks, MenuModuleHasNoOptionOfItsOwn) {
  MenuFixture f;
  f.menu.InnaOpcM("baaMenu");
  EXPECT_FALSE(f.menu.niMaOpcji("baaMenu"));
  EXPECT_TRUE(f.status.shown.empty());
  EXPECT_TRUE(f.desktop.shown.empty());
}

}  // namespace
}  // namespace zel

namespace zel {
namespace {

TEST(Hooks, DeveloperModeFollowsTheMarkerFile) {
  char pattern[] = "/tmp/zel-menu-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::filesystem::path home(pattern);
  std::string before = ZelFolder();
  if (before.empty() || !std::filesystem::is_directory(before)) before = home.parent_path();
  std::string err;
  ASSERT_TRUE(SetZelFolder(home.string(), &err)) << err;
  EXPECT_FALSE(DetectDeveloperMode());
  std::filesystem::create_directory(home / "#");
  std::ofstream(home / "#" / "Zel.DEV") << "x";
  EXPECT_TRUE(DetectDeveloperMode());
  EXPECT_TRUE(DeveloperMode());
  SetDeveloperMode(false);
  EXPECT_TRUE(SetZelFolder(before, &err)) << err;
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace zel
