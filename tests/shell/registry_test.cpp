#include "shell/registry.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::StatusRecorder;
using testing::ZelTestFolder;

void Become(int n) {
  NetworkMode = true;
  RunMode = static_cast<std::uint8_t>(n);
}

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    OwnStationLock().Release();
    other_.Release();
    NetworkMode = false;
    RunMode = 0;
  }
  // Workstation 9 runs (its lock held here) and uses `text` with `kind`.
  void OtherUses(char kind, std::string_view text, bool running = true) {
    if (running) {
      ASSERT_EQ(other_.Take(StationLockName(9, {})), StationLock::Result::kTaken);
    }
    Become(9);
    ASSERT_EQ(RegisterCommand(kind, text), RegisterOutcome::kWritten);
    Become(3);
  }
  ZelTestFolder dir;
  StatusRecorder rec;
  StationLock other_;
};

TEST(RegistryRecords, EncodeDecodeAndClampedLengths) {
  RegistryRecord r;
  r.user = "C:\\FIRMA\\PLAN.PFX";
  r.text25 = "twenty-five";
  r.recent = {"a", "b", "", "", "", "f"};
  r.kinds = {'#', '+', 0};
  r.objects = {"X.DFX", "Y.DFX", ""};
  char bytes[kRegistryRecordSize];
  r.Encode(bytes);
  EXPECT_EQ(bytes[0], 17);
  EXPECT_EQ(bytes[153], '#');
  EXPECT_EQ(std::string(bytes + 155, 5), "X.DFX");
  const RegistryRecord back = RegistryRecord::Decode(bytes);
  EXPECT_EQ(back.user, r.user);
  EXPECT_EQ(back.recent[5], "f");
  EXPECT_EQ(back.objects[1], "Y.DFX");
  EXPECT_EQ(back.kinds[1], '+');
  // Length bytes beyond a field's capacity are clamped, not trusted.
  std::memset(bytes, 0xFF, sizeof bytes);
  const RegistryRecord junk = RegistryRecord::Decode(bytes);
  EXPECT_EQ(junk.user.size(), 30u);
  EXPECT_EQ(junk.recent[5].size(), 15u);
  EXPECT_EQ(junk.objects[2].size(), 30u);
}

TEST(RegistryKeys, LongTextsKeepTailAndNeverShareAKey) {
  // Two databases whose paths end in the same 30 characters.
  const std::string a = "/srv/biuro/firma-pierwsza/ksiegi/rachunkowe/rok/N2024.DFX";
  const std::string b = "/srv/biuro/firma-druga/ksiegi/rachunkowe/rok/N2024.DFX";
  ASSERT_EQ(a.substr(a.size() - 30), b.substr(b.size() - 30));
  EXPECT_NE(RegistryKey(a, 30), RegistryKey(b, 30));
  EXPECT_EQ(RegistryKey(a, 30).size(), 30u);
  EXPECT_EQ(RegistryKey(a, 15).size(), 15u);
  EXPECT_NE(RegistryKey(a, 30).find("N2024.DFX"), std::string::npos);
  EXPECT_EQ(RegistryKey("SHORT.DFX", 30), "SHORT.DFX");
  EXPECT_EQ(RegistryKey(UpperPl(a), 30).substr(13), RegistryKey(a, 30).substr(13))
      << "the hash ignores letter case, as the comparison does";
}

TEST_F(RegistryTest, KindsDecideConflicts) {
  struct Row {
    const char* name;
    char theirs;
    char mine;
    bool refused;
  };
  const Row rows[] = {
      {"two readers", '+', '+', false},
      {"reader beside writer", '#', '+', true},
      {"writer beside reader", '+', '#', true},
      {"two '@'", '@', '@', true},
      {"'@' beside reader", '+', '@', false},
      {"'#' beside '@'", '@', '#', true},
      {"chart in use beside writer", '#', '!', true},
      {"chart beside reader", '+', '!', false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ZelTestFolder fresh;
    OtherUses(row.theirs, "/srv/dane/N2024.DFX");
    const RegisterOutcome got = RegisterCommand(row.mine, "/SRV/DANE/n2024.dfx");
    EXPECT_EQ(got, row.refused ? RegisterOutcome::kRefused : RegisterOutcome::kWritten);
    if (row.refused) {
      EXPECT_EQ(rec.shown.back().first, "/SRV/DANE/n2024.dfx zaj‘ty (9)"_w);
      EXPECT_TRUE(ReadRegistryRecord(3).Empty()) << "a refused command writes nothing";
    }
    other_.Release();
  }
}

TEST_F(RegistryTest, StaleHolderIsClearedInsteadOfRefusing) {
  OtherUses('#', "CHART.PFX", /*running=*/false);
  EXPECT_EQ(RegisterCommand('#', "CHART.PFX"), RegisterOutcome::kWritten);
  EXPECT_TRUE(ReadRegistryRecord(9).Empty());
  EXPECT_EQ(ReadRegistryRecord(3).objects[0], "CHART.PFX");
}

TEST_F(RegistryTest, ObjectListRefreshesReleasesAndAnswers) {
  Become(3);
  for (const char* t : {"A", "B", "C"}) EXPECT_FALSE(RegisterUse('+', t));
  EXPECT_FALSE(RegisterUse('#', "A"));  // repeated: moves to the front, drops nothing
  RegistryRecord r = ReadRegistryRecord(3);
  EXPECT_EQ(r.objects[0], "A");
  EXPECT_EQ(r.kinds[0], '#');
  EXPECT_EQ(r.objects[1], "C");
  EXPECT_EQ(r.objects[2], "B");
  EXPECT_FALSE(RegisterUse('-', "C"));
  r = ReadRegistryRecord(3);
  EXPECT_EQ(r.objects[1], "B");
  EXPECT_EQ(r.objects[2], "");
  // Releasing what is not registered ends at once, having changed nothing.
  EXPECT_EQ(RegisterCommand('-', "NOT.THERE"), RegisterOutcome::kUnchanged);
  EXPECT_TRUE(RegisterUse('-', "NOT.THERE"));
  EXPECT_TRUE(RegisterUse('X', "A"));
  EXPECT_EQ(rec.shown.back().first, "Z’y X"_w);
  // The six texts, and the taken mark.
  EXPECT_FALSE(RegisterUse('D', "ONE"));
  EXPECT_FALSE(RegisterUse('D', "TWO"));
  EXPECT_FALSE(RegisterUse('d', "ONE"));
  EXPECT_EQ(ReadRegistryRecord(3).recent[0], "TWO");
  EXPECT_EQ(ReadRegistryRecord(3).recent[1], "");
  EXPECT_FALSE(RegisterUse('?', ""));
  EXPECT_EQ(ReadRegistryRecord(3).user, std::string(1, kTakenMark));
  EXPECT_TRUE(RegisterUse('?', ""));
  EXPECT_TRUE(rec.Saw("Powtórzony Użytkownik"_w));
  ReleaseStationRecord();
  EXPECT_TRUE(ReadRegistryRecord(3).Empty());
  // A workstation without a number does not use the registry.
  NetworkMode = false;
  EXPECT_FALSE(RegisterUse('#', "A"));
  EXPECT_EQ(RegisterCommand('#', "A"), RegisterOutcome::kNotUsed);
}

TEST_F(RegistryTest, FirstStarterMakesWholeFileAndNothingIsEmptied) {
  Become(4);
  EXPECT_FALSE(RegisterUse('$', "X"));
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(kRegistryPath, &info));
  EXPECT_EQ(info.size, kRegistrySize);
  // A cut file is filled up again, keeping what it held.
  {
    File f;
    ASSERT_TRUE(f.Open(kRegistryPath, Access::kReadWrite, Share::kExclusive));
    ASSERT_TRUE(f.Truncate(4 * kRegistryRecordSize + 100));
  }
  Become(5);
  EXPECT_FALSE(RegisterUse('$', "Y"));
  ASSERT_TRUE(GetFileInfo(kRegistryPath, &info));
  EXPECT_EQ(info.size, kRegistrySize);
  EXPECT_EQ(ReadRegistryRecord(4).text25, "X");
  EXPECT_EQ(ReadRegistryRecord(5).text25, "Y");
}

// Many processes, each its own workstation, each holding its lock.
template <typename Body>
std::vector<int> RunWorkstations(int count, Body body) {
  std::vector<pid_t> pids;
  for (int n = 1; n <= count; ++n) {
    const pid_t pid = fork();
    if (pid == 0) {
      SetRetryPause(nullptr);
      SetStatusSink(nullptr);
      Become(n);
      if (OwnStationLock().Take(StationLockName(n, {})) != StationLock::Result::kTaken) _exit(3);
      const int rc = body(n);
      OwnStationLock().Release();
      _exit(rc);
    }
    pids.push_back(pid);
  }
  std::vector<int> codes;
  for (pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 100);
  }
  return codes;
}

TEST_F(RegistryTest, ManyWorkstationsLoseNoRecordBesideCleaning) {
  constexpr int kStations = 50, kPairs = 200;
  const pid_t cleaner = fork();
  if (cleaner == 0) {
    SetRetryPause(nullptr);
    SetStatusSink(nullptr);
    Become(kStations + 1);
    for (;;) {
      CleanStations();
      usleep(500);
    }
  }
  const std::vector<int> codes = RunWorkstations(kStations, [](int n) {
    // A command that found the registry held through all its retries says
    // so (kFailed) and is typed again; any other answer but a write is wrong.
    auto command = [](char c, const std::string& text) {
      RegisterOutcome r;
      while ((r = RegisterCommand(c, text)) == RegisterOutcome::kFailed) {
      }
      return r;
    };
    if (command('$', "S" + std::to_string(n)) != RegisterOutcome::kWritten) return 1;
    for (int i = 0; i < kPairs; ++i) {
      const std::string text = "F" + std::to_string(n) + "-" + std::to_string(i);
      if (command('+', text) != RegisterOutcome::kWritten) return 2;
      if (command('-', text) != RegisterOutcome::kWritten) return 4;
    }
    const RegistryRecord r = ReadRegistryRecord(n);
    // The cleaner ran all along and never took a live record.
    if (r.text25 != "S" + std::to_string(n) || !r.objects[0].empty()) return 5;
    return 0;
  });
  kill(cleaner, SIGKILL);
  waitpid(cleaner, nullptr, 0);
  for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(codes[i], 0) << "workstation " << i + 1;
}

TEST_F(RegistryTest, OneWriterAtATimeForAHashObject) {
  // Each holder creates a marker file that must not exist yet: a second
  // holder at the same time would find it.
  const std::string marker = dir.Native("holder");
  const std::vector<int> codes = RunWorkstations(20, [&marker](int) {
    int held = 0;
    for (int i = 0; i < 40; ++i) {
      if (RegisterCommand('#', "CHART.PFX") != RegisterOutcome::kWritten) {
        usleep(200);
        continue;
      }
      const int fd = open(marker.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
      if (fd < 0) return 1;
      usleep(300);
      close(fd);
      unlink(marker.c_str());
      if (RegisterCommand('-', "CHART.PFX") != RegisterOutcome::kWritten) return 2;
      ++held;
    }
    return held > 0 ? 0 : 3;
  });
  for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_NE(codes[i], 1) << "two holders at once";
  int zeros = 0;
  for (int c : codes) zeros += c == 0;
  EXPECT_GT(zeros, 0);
}

}  // namespace
}  // namespace zel
