#include "platform/file.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/faults.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"

namespace zel {
namespace {

using testing::RunChild;
using testing::ZelTestFolder;

TEST(File, ReadsWritesAndTruncatesAtOffsets) {
  ZelTestFolder dir;
  File f;
  ASSERT_TRUE(f.Open("Dane.DFX", Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew));
  ASSERT_TRUE(f.WriteAt(0, "abcdef", 6));
  ASSERT_TRUE(f.WriteAt(10, "XY", 2));  // a hole of zeros between
  std::uint64_t size = 0;
  ASSERT_TRUE(f.Size(&size));
  EXPECT_EQ(size, 12u);
  char buf[16] = {};
  std::size_t got = 0;
  ASSERT_TRUE(f.ReadAt(4, buf, 16, &got));
  EXPECT_EQ(got, 8u);  // short at the end
  EXPECT_EQ(std::string(buf, got), std::string("ef\0\0\0\0XY", 8));
  ASSERT_TRUE(f.Truncate(3));
  ASSERT_TRUE(f.Append("+"));
  std::string all;
  ASSERT_TRUE(f.ReadAll(&all));
  EXPECT_EQ(all, "abc+");
  EXPECT_TRUE(f.Close());
  EXPECT_EQ(dir.Get("Dane.DFX"), "abc+");
}

TEST(File, DispositionsAndTheirErrors) {
  ZelTestFolder dir;
  dir.Put("old.txt", "old");
  mkdir(dir.Native("folder").c_str(), 0777);
  File f;
  EXPECT_FALSE(f.Open("brak.txt", Access::kRead, Share::kDenyNone));
  EXPECT_EQ(LastIoError(), IoError::kNotFound);
  EXPECT_FALSE(
      f.Open("brak\\x.txt", Access::kReadWrite, Share::kDenyNone, Disposition::kOpenAlways));
  EXPECT_EQ(LastIoError(), IoError::kNotFound);
  EXPECT_FALSE(f.Open("OLD.TXT", Access::kReadWrite, Share::kDenyNone, Disposition::kCreateNew));
  EXPECT_EQ(LastIoError(), IoError::kExists);
  EXPECT_FALSE(f.Open("folder", Access::kRead, Share::kDenyNone));
  EXPECT_FALSE(LastIoOk());

  ASSERT_TRUE(f.Open("Old.Txt", Access::kRead, Share::kDenyWrite, Disposition::kOpenAlways));
  std::string text;
  ASSERT_TRUE(f.ReadAll(&text));
  EXPECT_EQ(text, "old");
  EXPECT_FALSE(f.WriteAt(0, "x", 1));  // opened for reading only
  ASSERT_TRUE(f.Open("OLD.txt", Access::kReadWrite, Share::kDenyNone, Disposition::kCreateAlways));
  EXPECT_TRUE(LastIoOk());
  f.Close();
  EXPECT_EQ(dir.Get("old.txt"), "");  // emptied, and still the one file
}

// Handles in one process are separate open file descriptions, so their locks
// meet exactly as those of two processes do.
TEST(File, SharingModesBetweenTwoHandles) {
  ZelTestFolder dir;
  dir.Put("f", "data");
  struct Row {
    const char* name;
    Share held;
    Access held_access;
    Share tried;
    Access tried_access;
    bool opens;
  };
  const Row rows[] = {
      {"exclusive excludes a shared reader", Share::kExclusive, Access::kReadWrite,
       Share::kDenyNone, Access::kRead, false},
      {"exclusive excludes deny-write", Share::kExclusive, Access::kReadWrite, Share::kDenyWrite,
       Access::kRead, false},
      {"exclusive excludes exclusive", Share::kExclusive, Access::kRead, Share::kExclusive,
       Access::kRead, false},
      {"readers share", Share::kDenyWrite, Access::kRead, Share::kDenyWrite, Access::kRead, true},
      {"deny-write lets a shared reader in", Share::kDenyWrite, Access::kRead, Share::kDenyNone,
       Access::kRead, true},
      {"deny-write keeps a writer out", Share::kDenyWrite, Access::kRead, Share::kDenyNone,
       Access::kReadWrite, false},
      {"deny-write keeps exclusive out", Share::kDenyWrite, Access::kRead, Share::kExclusive,
       Access::kReadWrite, false},
      {"deny-write keeps a deny-write writer out", Share::kDenyWrite, Access::kRead,
       Share::kDenyWrite, Access::kReadWrite, false},
      {"shared lets everyone in", Share::kDenyNone, Access::kReadWrite, Share::kExclusive,
       Access::kReadWrite, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    File held, tried;
    ASSERT_TRUE(held.Open("f", r.held_access, r.held));
    EXPECT_EQ(tried.Open("F", r.tried_access, r.tried), r.opens);
    if (!r.opens) {
      EXPECT_EQ(LastIoError(), IoError::kLocked);
    }
    held.Close();
    EXPECT_TRUE(tried.Open("f", r.tried_access, r.tried)) << "free once the first handle closed";
  }
}

TEST(File, ASharedWriteFailsWhileAReaderExcludesWriters) {
  ZelTestFolder dir;
  dir.Put("f", "data");
  File writer, reader;
  ASSERT_TRUE(writer.Open("f", Access::kReadWrite, Share::kDenyNone));
  ASSERT_TRUE(reader.Open("f", Access::kRead, Share::kDenyWrite));
  EXPECT_FALSE(writer.WriteAt(0, "X", 1));
  EXPECT_EQ(LastIoError(), IoError::kLocked);
  reader.Close();
  EXPECT_TRUE(writer.WriteAt(0, "X", 1));
  writer.Close();
  EXPECT_EQ(dir.Get("f"), "Xata");
}

// A child process holds the file in a mode; the parent tries the others.
class HeldByChild {
 public:
  HeldByChild(const char* path, Share share, Access access) {
    int up[2], down[2];
    EXPECT_EQ(pipe(up), 0);
    EXPECT_EQ(pipe(down), 0);
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      File f;
      const char ok = f.Open(path, access, share) ? 'y' : 'n';
      (void)!write(up[1], &ok, 1);
      char c;
      (void)!read(down[0], &c, 1);  // until the parent is done
      _exit(0);
    }
    close(up[1]);
    close(down[0]);
    up_ = up[0];
    down_ = down[1];
    char c = 0;
    EXPECT_EQ(read(up_, &c, 1), 1);
    opened_ = c == 'y';
  }
  ~HeldByChild() { Release(); }
  bool opened() const { return opened_; }
  void Release() {
    if (pid_ <= 0) return;
    (void)!write(down_, "x", 1);
    int status = 0;
    waitpid(pid_, &status, 0);
    close(up_);
    close(down_);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int up_ = -1, down_ = -1;
  bool opened_ = false;
};

TEST(File, AnotherProcessHoldingTheFileExclusivelyKeepsEveryOpenOut) {
  ZelTestFolder dir;
  dir.Put("!Prac-FX.005", "");
  HeldByChild child("!PRAC-FX.005", Share::kExclusive, Access::kReadWrite);
  ASSERT_TRUE(child.opened());
  File f;
  EXPECT_FALSE(f.Open("!Prac-FX.005", Access::kReadWrite, Share::kExclusive));
  EXPECT_EQ(LastIoError(), IoError::kLocked);
  EXPECT_FALSE(f.Open("!Prac-FX.005", Access::kRead, Share::kDenyWrite));
  EXPECT_FALSE(f.Open("!Prac-FX.005", Access::kRead, Share::kDenyNone));
  child.Release();  // the workstation ended (or crashed): its lock is gone
  EXPECT_TRUE(f.Open("!Prac-FX.005", Access::kReadWrite, Share::kExclusive));
}

TEST(File, AnotherProcessReadingWithWritersDeniedKeepsWritersOut) {
  ZelTestFolder dir;
  dir.Put("N2020.DFX", "records");
  File early_writer;
  ASSERT_TRUE(early_writer.Open("N2020.DFX", Access::kReadWrite, Share::kDenyNone));
  HeldByChild child("n2020.dfx", Share::kDenyWrite, Access::kRead);
  ASSERT_TRUE(child.opened());
  File f;
  EXPECT_TRUE(f.Open("N2020.DFX", Access::kRead, Share::kDenyWrite)) << "readers share";
  f.Close();
  EXPECT_FALSE(f.Open("N2020.DFX", Access::kReadWrite, Share::kExclusive));
  EXPECT_FALSE(f.Open("N2020.DFX", Access::kReadWrite, Share::kDenyNone));
  EXPECT_FALSE(early_writer.WriteAt(0, "R", 1)) << "a write while the other process reads";
  child.Release();
  EXPECT_TRUE(early_writer.WriteAt(0, "R", 1));
}

TEST(File, AReaderWithWritersDeniedFailsWhileAnotherProcessHoldsItForWriting) {
  ZelTestFolder dir;
  dir.Put("Plan.PFX", "chart");
  HeldByChild child("Plan.PFX", Share::kExclusive, Access::kReadWrite);
  ASSERT_TRUE(child.opened());
  File f;
  EXPECT_FALSE(f.Open("PLAN.PFX", Access::kRead, Share::kDenyWrite));
  EXPECT_EQ(LastIoError(), IoError::kLocked);
}

TEST(Folders, RenameRefusesToOverwriteButFixesLetterCase) {
  ZelTestFolder dir;
  dir.Put("zel.exe", "new");
  dir.Put("Other", "keep");
  EXPECT_FALSE(RenameFile("zel.exe", "OTHER"));
  EXPECT_EQ(LastIoError(), IoError::kExists);
  EXPECT_EQ(dir.Get("Other"), "keep");
  ASSERT_TRUE(RenameFile("zel.exe", "Zel.exe"));
  const auto found = FindFiles("*.exe");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "Zel.exe");
  ASSERT_TRUE(ReplaceFile("Zel.exe", "other"));
  EXPECT_EQ(dir.Get("Other"), "new");
  EXPECT_FALSE(IsFile("Zel.exe"));
  EXPECT_FALSE(RenameFile("brak", "x"));
  EXPECT_EQ(LastIoError(), IoError::kNotFound);
}

TEST(Folders, CreateDeleteAndTimeStamps) {
  ZelTestFolder dir;
  ASSERT_TRUE(MakeFolders("Kosz\\FIRMA\\2024"));
  EXPECT_TRUE(IsFolder("kosz\\firma\\2024"));
  EXPECT_TRUE(MakeFolder("KOSZ")) << "an existing folder is fine";
  EXPECT_FALSE(MakeFolder("brak\\x"));
  dir.Put("a.txt", "abc");
  FileInfo info;
  ASSERT_TRUE(GetFileInfo("A.TXT", &info));
  EXPECT_TRUE(info.exists);
  EXPECT_FALSE(info.is_folder);
  EXPECT_EQ(info.size, 3u);
  const std::int64_t stamp = 1583830800123456789;  // 2020-03-10 09:00:00.123456789 UTC
  ASSERT_TRUE(SetModifiedTime("a.txt", stamp));
  ASSERT_TRUE(GetFileInfo("a.txt", &info));
  EXPECT_EQ(info.modified_ns, stamp);
  EXPECT_EQ(info.modified.year, 2020);
  EXPECT_EQ(info.modified.day, 10);
  EXPECT_EQ(info.modified.hour, 9);  // the tests run with TZ=UTC
  ASSERT_TRUE(RemoveFile("A.txt"));
  EXPECT_FALSE(FileOrFolderExists("a.txt"));
  EXPECT_FALSE(RemoveFile("a.txt"));
  EXPECT_TRUE(RemoveFolder("Kosz\\FIRMA\\2024"));
}

TEST(Clock, CanBeFixedForTests) {
  const DateTime fixed{2019, 3, 7, 9, 5, 0, 0};
  SetClockForTests(&fixed);
  EXPECT_EQ(Now().year, 2019);
  EXPECT_EQ(Now().minute, 5);
  SetClockForTests(nullptr);
  EXPECT_GE(Now().year, 2024);
}

TEST(Faults, TransientFiresOncePersistentUntilCleared) {
  ZelTestFolder dir;
  dir.Put("f", "x");
  File f;
  InjectFault(FaultOp::kOpen, 2, false);
  EXPECT_TRUE(f.Open("f", Access::kRead, Share::kDenyNone));
  EXPECT_FALSE(f.Open("f", Access::kRead, Share::kDenyNone));
  EXPECT_EQ(LastIoError(), IoError::kInjected);
  EXPECT_TRUE(f.Open("f", Access::kRead, Share::kDenyNone));
  InjectFault(FaultOp::kRead, 1, true);
  char c;
  std::size_t got;
  EXPECT_FALSE(f.ReadAt(0, &c, 1, &got));
  EXPECT_FALSE(f.ReadAt(0, &c, 1, &got));
  EXPECT_EQ(FaultsFired(), 3);
  ClearFaults();
  EXPECT_TRUE(f.ReadAt(0, &c, 1, &got));
  EXPECT_EQ(FaultsFired(), 0);
}

// Every fault on the way to a replaced file leaves the old file whole and no
// temporary file behind; with no fault the new contents are there.
TEST(Folders, AtomicReplaceNeverLeavesAHalfWrittenFile) {
  struct Row {
    const char* name;
    FaultOp op;
    int nth;
  };
  const Row rows[] = {
      {"open of the temporary file", FaultOp::kOpen, 1},
      {"truncate on creation", FaultOp::kWrite, 1},
      {"the write", FaultOp::kWrite, 2},
      {"the flush", FaultOp::kWrite, 3},
      {"the rename", FaultOp::kRename, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ZelTestFolder dir;
    dir.Put("Zel.BAL", "old contents");
    InjectFault(r.op, r.nth, false);
    EXPECT_FALSE(WriteFileAtomically("ZEL.bal", "new contents", ".xxx"));
    EXPECT_EQ(FaultsFired(), 1);
    EXPECT_EQ(dir.Get("Zel.BAL"), "old contents");
    EXPECT_EQ(FindFiles("*.*").size(), 1u) << "no temporary file left";
    ClearFaults();
    EXPECT_TRUE(WriteFileAtomically("ZEL.bal", "new contents", ".xxx"));
    EXPECT_EQ(dir.Get("Zel.BAL"), "new contents");
    EXPECT_EQ(FindFiles("*.*").size(), 1u);
  }
}

TEST(Folders, AChildKilledWhileReplacingLeavesTheOldOrTheNewFile) {
  ZelTestFolder dir;
  const std::string big_old(200000, 'o');
  const std::string big_new(200000, 'n');
  dir.Put("Zel.BAL", big_old);
  for (int round = 0; round < 5; ++round) {
    const pid_t pid = fork();
    if (pid == 0) {
      for (;;) {
        WriteFileAtomically("Zel.BAL", big_new, ".xxx");
        WriteFileAtomically("Zel.BAL", big_old, ".xxx");
      }
    }
    usleep(20000 + round * 7000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const std::string now = dir.Get("Zel.BAL");
    EXPECT_TRUE(now == big_old || now == big_new) << "round " << round << ", size " << now.size();
  }
}

}  // namespace
}  // namespace zel
