#include "platform/program_files.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/zel_test_folder.hpp"

namespace zel {
namespace {

using testing::ZelTestFolder;

TEST(DataFolder, FoundBesideAnInstalledOrABuiltProgram) {
  ZelTestFolder dir;
  for (const char* f : {"usr", "usr/bin", "usr/share", "usr/share/zel", "build", "build/app",
                        "build/app/data", "both", "both/bin", "both/bin/data", "both/share",
                        "both/share/zel", "bare", "bare/bin"}) {
    ASSERT_EQ(mkdir(dir.Native(f).c_str(), 0777), 0) << f;
  }
  dir.Put("build/share", "a file, not the folder");

  struct Row {
    const char* name;
    std::string program;
    std::string data;  // empty: none
  };
  const Row rows[] = {
      {"installed", dir.Native("usr/bin/zel"), dir.Native("usr/share/zel")},
      {"build folder", dir.Native("build/app/zel-batch"), dir.Native("build/app/data")},
      {"installed layout wins", dir.Native("both/bin/zel"), dir.Native("both/share/zel")},
      {"neither", dir.Native("bare/bin/zel"), ""},
      {"unknown program", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(DataFolderFor(r.program), r.data);
  }
}

TEST(DataFolder, EnvironmentNamesTheFolder) {
  ZelTestFolder dir;
  ASSERT_EQ(mkdir(dir.Native("forms").c_str(), 0777), 0);
  const char* before = std::getenv("ZEL_DATA_DIR");
  const std::string saved = before ? before : "";
  setenv("ZEL_DATA_DIR", (dir.Native("forms") + "/").c_str(), 1);
  EXPECT_EQ(DataFolder(), dir.Native("forms"));
  setenv("ZEL_DATA_DIR", dir.Native("missing").c_str(), 1);
  EXPECT_EQ(DataFolder(), "");
  unsetenv("ZEL_DATA_DIR");
  EXPECT_FALSE(ProgramFile().empty());
  EXPECT_EQ(ProgramFile().front(), '/');
  if (before) setenv("ZEL_DATA_DIR", saved.c_str(), 1);
}

}  // namespace
}  // namespace zel
