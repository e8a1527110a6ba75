#include "shell/local_copy.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "common/cp1250.hpp"
#include "platform/faults.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::StatusRecorder;
using testing::ZelTestFolder;

class LocalCopyTest : public ::testing::Test {
 protected:
  LocalCopyTest() {
    mkdir(dir_.Native("Baza").c_str(), 0755);
    mkdir(dir_.Native("Tmp").c_str(), 0755);
    TempDir = "Tmp\\";
  }
  ~LocalCopyTest() override { SetFileUseRegister(nullptr); }

  int Copies() const {
    int n = 0;
    for (const auto& [text, colour] : rec_.shown) n += text.rfind("Ściągam "_w, 0) == 0;
    return n;
  }

  ZelTestFolder dir_;
  StatusRecorder rec_;
};

TEST_F(LocalCopyTest, CopiesOnceAndAgainOnlyWhenTheFileChanged) {
  dir_.Put("Baza/R2024.DFX", std::string(200000, 'a'));
  ASSERT_TRUE(LocalCopy("Baza\\R2024.DFX", 0));
  EXPECT_EQ(LocalCopyName("Baza\\R2024.DFX"), "Tmp\\R2024.DFX");
  EXPECT_EQ(dir_.Get("Tmp/R2024.DFX"), std::string(200000, 'a'));
  EXPECT_EQ(rec_.shown.back().first, "O.K.");
  ASSERT_TRUE(LocalCopy("Baza\\R2024.DFX", 0));
  EXPECT_EQ(Copies(), 1) << "an unchanged file is not copied again";

  // A record rewritten in place keeps the size, and the modification time
  // is put back as well: the change time still tells.
  FileInfo before;
  ASSERT_TRUE(GetFileInfo("Baza\\R2024.DFX", &before));
  {
    std::fstream f(dir_.Native("Baza/R2024.DFX"), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(1000);
    f.write("b", 1);
  }
  ASSERT_TRUE(SetModifiedTime("Baza\\R2024.DFX", before.modified_ns));
  ASSERT_TRUE(LocalCopy("Baza\\R2024.DFX", 0));
  EXPECT_EQ(Copies(), 2);
  EXPECT_EQ(dir_.Get("Tmp/R2024.DFX")[1000], 'b');

  // A file of the same name from another folder is not taken for the copy.
  mkdir(dir_.Native("Inna").c_str(), 0755);
  dir_.Put("Inna/R2024.DFX", std::string(200000, 'c'));
  ASSERT_TRUE(SetModifiedTime("Inna\\R2024.DFX", before.modified_ns));
  ASSERT_TRUE(LocalCopy("Inna\\R2024.DFX", 0));
  EXPECT_EQ(dir_.Get("Tmp/R2024.DFX"), std::string(200000, 'c'));
}

TEST_F(LocalCopyTest, LooksInTheSubFolderNamedByTheStartOfTheName) {
  mkdir(dir_.Native("Baza/R20").c_str(), 0755);
  dir_.Put("Baza/R20/R2024.DFX", "rekordy");
  ASSERT_TRUE(LocalCopy("Baza\\R2024.DFX", 3));
  EXPECT_EQ(dir_.Get("Tmp/R2024.DFX"), "rekordy");
}

TEST_F(LocalCopyTest, FailuresSayWhyAndLeaveNoCopyThatCouldPassForCurrent) {
  EXPECT_FALSE(LocalCopy("Baza\\N2024.DFX", 0));
  EXPECT_EQ(LastMessage(), "Nie ma Baza\\N2024.DFX");
  EXPECT_EQ(rec_.shown.back().second, kWarning);

  dir_.Put("Baza/N2024.DFX", std::string(150000, 'n'));
  InjectFault(FaultOp::kWrite, 2, false);  // the copy's second step fails
  EXPECT_FALSE(LocalCopy("Baza\\N2024.DFX", 0));
  EXPECT_EQ(LastMessage(), "Błąd kopiowania Baza\\N2024.DFX"_w);
  EXPECT_FALSE(IsFile("Tmp\\N2024.DFX"));
  EXPECT_FALSE(IsFile("Tmp\\N2024.DFX~"));

  // The registry refuses the use: nothing is copied, nothing left behind.
  SetFileUseRegister([](char command, std::string_view) { return command != '+'; });
  EXPECT_FALSE(LocalCopy("Baza\\N2024.DFX", 0));
  EXPECT_FALSE(IsFile("Tmp\\N2024.DFX~"));
  SetFileUseRegister(nullptr);

  // A good copy, then a failed refresh: the old copy stays, and is not
  // taken as current for the changed file.
  ASSERT_TRUE(LocalCopy("Baza\\N2024.DFX", 0));
  dir_.Put("Baza/N2024.DFX", std::string(150000, 'm'));
  InjectFault(FaultOp::kRename, 2, false);  // the time stamp is set, the rename fails
  EXPECT_FALSE(LocalCopy("Baza\\N2024.DFX", 0));
  EXPECT_EQ(dir_.Get("Tmp/N2024.DFX"), std::string(150000, 'n'));
  ASSERT_TRUE(LocalCopy("Baza\\N2024.DFX", 0));
  EXPECT_EQ(dir_.Get("Tmp/N2024.DFX"), std::string(150000, 'm'));
}

}  // namespace
}  // namespace zel
