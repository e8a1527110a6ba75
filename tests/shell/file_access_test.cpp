#include "shell/file_access.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "platform/faults.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::StatusRecorder;
using testing::ZelTestFolder;

TEST(StatusLine, ShowsCutsAndRemembersTheLastMessage) {
  StatusRecorder rec;
  ShowStatus(std::string(300, 'a'), kInfo);
  EXPECT_EQ(LastMessage().size(), 250u);
  ShowStatus("pierwszy", kWarning);
  ShowStatus("drugi", kInfo);
  EXPECT_EQ(LastMessage(), "drugi");
  StatusOK();
  ASSERT_EQ(rec.shown.size(), 4u);
  EXPECT_EQ(rec.shown[3], (std::pair<std::string, std::uint8_t>("O.K.", kSuccess)));
  ClearStatus();
  EXPECT_EQ(rec.clears, 1);
  EXPECT_EQ(LastMessage(), "O.K.");
  SetStatusSink(nullptr);
  ShowStatus("bez paska", kInfo);  // no sink: only LastMessage
  EXPECT_EQ(LastMessage(), "bez paska");
  SetStatusSink(&rec);
}

TEST(RetryOpen, AFirstTimeSuccessLeavesTheStatusLineAlone) {
  ZelTestFolder dir;
  StatusRecorder rec;
  dir.Put("Zel.BAL", "x");
  File f;
  EXPECT_TRUE(ProtectedOpen(f, "Zel.BAL", Access::kRead, Share::kDenyWrite,
                            Disposition::kOpenExisting, "aPulpit:zRej"));
  EXPECT_TRUE(rec.shown.empty());
  EXPECT_EQ(rec.pauses, 0);
  EXPECT_EQ(AccessMode, Share::kDenyNone);
}

TEST(RetryOpen, SuccessAtTheThirdAttemptCountsDownAndClears) {
  ZelTestFolder dir;
  StatusRecorder rec;
  dir.Put("Zel.BAL", "x");
  InjectFault(FaultOp::kOpen, 1, true);
  // Two failed attempts, then the fault is lifted from inside the pause.
  int pauses = 0;
  SetRetryPause([&](int ms) {
    EXPECT_GE(ms, 1);
    EXPECT_LE(ms, 99);
    if (++pauses == 2) ClearFaults();
  });
  File f;
  EXPECT_TRUE(ProtectedOpen(f, "Zel.BAL", Access::kRead, Share::kDenyWrite,
                            Disposition::kOpenExisting, "aPulpit:zRej"));
  EXPECT_TRUE(f.IsOpen());
  ASSERT_EQ(rec.shown.size(), 3u);
  EXPECT_EQ(rec.shown[0].first, "@110 Zel.BAL z aPulpit:zRej");
  EXPECT_EQ(rec.shown[0].second, kWarning);
  EXPECT_EQ(rec.shown[1].first, "@109 Zel.BAL z aPulpit:zRej");
  EXPECT_EQ(rec.shown[2], (std::pair<std::string, std::uint8_t>("", kInfo)));
  EXPECT_EQ(RetryCounter, 109);
}

TEST(RetryOpen, AFileLockedThroughEveryAttemptFailsAfter111) {
  ZelTestFolder dir;
  StatusRecorder rec;
  dir.Put("Zel.BAL", "x");
  File holder;
  ASSERT_TRUE(holder.Open("Zel.BAL", Access::kReadWrite, Share::kExclusive));
  File f;
  EXPECT_FALSE(ProtectedOpen(f, "zel.bal", Access::kRead, Share::kDenyWrite,
                             Disposition::kOpenExisting, "aPulpit:zRej"));
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(RetryCounter, 0);
  EXPECT_EQ(rec.pauses, 110);
  EXPECT_EQ(rec.shown.size(), 111u);
  EXPECT_EQ(rec.shown[109].first, "@1 zel.bal z aPulpit:zRej");
  EXPECT_EQ(rec.shown.back(), (std::pair<std::string, std::uint8_t>("", kInfo)));
  EXPECT_EQ(AccessMode, Share::kDenyNone);
}

TEST(RetryOpen, TheCountdownTextIsCutTo50) {
  StatusRecorder rec;
  SetAccessMode(Share::kExclusive);
  EXPECT_EQ(AccessMode, Share::kExclusive);
  EXPECT_EQ(RetryCounter, 111);
  SetLastIoError(IoError::kLocked);
  EXPECT_FALSE(RetryOpen(std::string(60, 'n'), "kontekst"));
  ASSERT_EQ(rec.shown.size(), 1u);
  EXPECT_EQ(rec.shown[0].first, "@110 " + std::string(50, 'n'));
  EXPECT_FALSE(RetryOpen(std::string(40, 'n'), "aPulpit:wRej.2"));
  EXPECT_EQ(rec.shown[1].first, "@109 " + std::string(40, 'n') + " z aPulpit");
  SetLastIoError(IoError::kNone);
  EXPECT_TRUE(IoOk());
  EXPECT_EQ(AccessMode, Share::kDenyNone);
}

TEST(FileExists, ReportsAsItsFlagsAsk) {
  ZelTestFolder dir;
  StatusRecorder rec;
  dir.Put("jest.txt", "");
  struct Row {
    const char* name;
    const char* file;
    std::uint8_t flags;
    bool exists;
    const char* message;  // nullptr: nothing shown
  };
  const Row rows[] = {
      {"present, quiet", "JEST.TXT", 0, true, nullptr},
      {"missing, quiet", "brak.txt", 0, false, nullptr},
      {"missing, flag 1", "brak.txt", 1, false, "Nie ma brak.txt"},
      {"present, flag 1", "jest.txt", 1, true, nullptr},
      {"present, flag 2", "jest.txt", 2, true, "0becny jest.txt"},
      {"missing, flag 2", "brak.txt", 2, false, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    rec.shown.clear();
    EXPECT_EQ(FileExists(r.file, r.flags), r.exists);
    if (r.message) {
      ASSERT_EQ(rec.shown.size(), 1u);
      EXPECT_EQ(rec.shown[0], (std::pair<std::string, std::uint8_t>(r.message, kWarning)));
    } else {
      EXPECT_TRUE(rec.shown.empty());
    }
  }
}

TEST(ServerDate, TakesTheSharedFoldersClockAndFallsBackToTheLocalOne) {
  ZelTestFolder dir;
  StationExt = ".005";
  const DateTime fixed{2019, 3, 7, 9, 5, 0, 0};
  SetClockForTests(&fixed);
  const DayNo fixed_day = DayFromDdMmYy("070319");

  mkdir(dir.Native("!").c_str(), 0777);
  const ServerClock server = ServerDate();
  EXPECT_NE(server.day, fixed_day) << "the file's time, not the local clock";
  EXPECT_FALSE(FileExists("!\\Tmp.005"));

  // A folder that cannot be written (simulated: every create fails).
  InjectFault(FaultOp::kOpen, 1, true);
  const ServerClock local = ServerDate();
  EXPECT_EQ(local.day, fixed_day);
  EXPECT_EQ(local.minutes, 9 * 60 + 5);
  ClearFaults();
  // No shared folder at all.
  rmdir(dir.Native("!").c_str());
  EXPECT_EQ(ServerDate().day, fixed_day);
  StationExt = "";
}

TEST(LocateFile, TakesTheFirstFolderThatHoldsTheFile) {
  ZelTestFolder dir;
  DbDir = "FIRMA\\";
  for (const char* f : {"FIRMA", "#", "!FX!", "!"}) mkdir(dir.Native(f).c_str(), 0777);
  dir.Put("!/a.txt", "");
  EXPECT_EQ(LocateFile("a.txt"), "!\\a.txt");
  dir.Put("!FX!/a.txt", "");
  EXPECT_EQ(LocateFile("a.txt"), "!FX!\\a.txt");
  dir.Put("#/a.txt", "");
  EXPECT_EQ(LocateFile("a.txt"), "#\\a.txt");
  dir.Put("FIRMA/A.TXT", "");
  EXPECT_EQ(LocateFile("a.txt"), "FIRMA\\a.txt");
  EXPECT_EQ(LocateFile("brak.txt"), "brak.txt");
  DbDir = "";
}

}  // namespace
}  // namespace zel
