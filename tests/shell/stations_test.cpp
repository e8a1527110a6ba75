#include "shell/stations.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/file_access.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::RunChild;
using testing::StatusRecorder;
using testing::ZelTestFolder;

// A child process that holds workstation n's lock until it is killed.
pid_t HoldInChild(int n, std::string_view db = {}) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(ready[0]);
    StationLock lock;
    const char ok = lock.Take(StationLockName(n, db)) == StationLock::Result::kTaken ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    for (;;) pause();
  }
  close(ready[1]);
  char ok = 0;
  if (read(ready[0], &ok, 1) != 1 || ok != 'y') {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(ready[0]);
    return -1;
  }
  close(ready[0]);
  return pid;
}

void Kill(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

class StationsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    OwnStationLock().Release();
    NetworkMode = false;
    RunMode = 0;
  }
  void Become(int n) {
    NetworkMode = true;
    RunMode = static_cast<std::uint8_t>(n);
  }
  ZelTestFolder dir;
  StatusRecorder rec;
};

TEST(StationLockNames, EveryNameTheSearchReadsBack) {
  for (int n : {1, 5, 99, 197}) {
    const std::string name = StationLockName(n, "FIRMA\\");
    EXPECT_EQ(StationOfLockName(PathFileName(name)), n) << name;
    EXPECT_EQ(name.rfind("!\\", 0), 0u) << name;
  }
  // A single workstation locks its database, and has no number.
  EXPECT_NE(StationLockName(0, "FIRMA\\"), StationLockName(0, "FIRMB\\"));
  EXPECT_EQ(StationLockName(0, "firma\\"), StationLockName(0, "FIRMA\\"));
  EXPECT_EQ(StationOfLockName(PathFileName(StationLockName(0, "FIRMA\\"))), 0);
  for (const char* bad : {"!Prac-FX.198", "!Prac-FX.000", "!Prac-FX.0a5", "!Prac-FX.05", "x"}) {
    EXPECT_EQ(StationOfLockName(bad), 0) << bad;
  }
}

TEST_F(StationsTest, SecondStartRefusedAndCrashedHolderCleaned) {
  const pid_t holder = HoldInChild(5);
  ASSERT_GT(holder, 0);
  EXPECT_TRUE(StationRunning(5));
  EXPECT_EQ(OwnStationLock().Take(StationLockName(5, {})), StationLock::Result::kRunning);
  StationCensus census = CleanStations();
  EXPECT_EQ(census.running, 1);
  EXPECT_TRUE(census.flags[5]);
  EXPECT_TRUE(IsFile(StationLockName(5, {}))) << "a running workstation's file stays";

  Kill(holder);  // a crash: the file stays, its lock goes
  EXPECT_TRUE(IsFile(StationLockName(5, {})));
  EXPECT_FALSE(StationRunning(5));
  census = CleanStations();
  EXPECT_EQ(census.running, 0);
  EXPECT_FALSE(IsFile(StationLockName(5, {})));
  EXPECT_EQ(rec.shown.back().first, "Stanowisk pracuje: 0");
  EXPECT_EQ(OwnStationLock().Take(StationLockName(5, {})), StationLock::Result::kTaken);
  OwnStationLock().Release();
  EXPECT_FALSE(IsFile(StationLockName(5, {})));
}

TEST_F(StationsTest, CleaningClearsOnlyStoppedWorkstationsRecords) {
  const pid_t live = HoldInChild(9);
  ASSERT_GT(live, 0);
  Become(9);
  EXPECT_FALSE(RegisterUse('$', "ANNA"));
  Become(7);  // registered, then crashed without a lock
  EXPECT_FALSE(RegisterUse('$', "OLA"));
  Become(3);
  ASSERT_EQ(OwnStationLock().Take(StationLockName(3, {})), StationLock::Result::kTaken);
  EXPECT_FALSE(RegisterUse('$', "EWA"));
  const StationCensus census = CleanStations(1);
  EXPECT_TRUE(census.registry_ok);
  EXPECT_EQ(census.running, 2);
  EXPECT_EQ(rec.shown.back().first, "Stanowisk pracuje: 3");
  EXPECT_EQ(ReadRegistryRecord(9).text25, "ANNA");
  EXPECT_EQ(ReadRegistryRecord(3).text25, "EWA");
  EXPECT_TRUE(ReadRegistryRecord(7).Empty());
  Kill(live);
}

}  // namespace
}  // namespace zel
