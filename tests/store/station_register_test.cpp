// The chart's register backed by the shared workstation registry: an append
// waits while another running workstation appends, and goes on once it is
// done; a workstation that died holding the chart does not block it.
#include "store/station_register.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/file_access.hpp"
#include "shell/local_copy.hpp"
#include "shell/registry.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "store/chart.hpp"
#include "store/status_capture.hpp"
#include "store/store_folder.hpp"
#include "support/journal_builder.hpp"

namespace zel {
namespace {

void Become(int n) {
  NetworkMode = true;
  RunMode = static_cast<std::uint8_t>(n);
}

class StationRegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ChartBuilder b;
    b.Add("100", "Kasa");
    ASSERT_TRUE(b.WriteToNative(folder_.Db("Plan.PFX")));
    InstallStationRegisters();
    Become(3);
    ASSERT_EQ(lock_.Take(StationLockName(3, {})), StationLock::Result::kTaken);
    ASSERT_TRUE(LoadChart());
  }
  void TearDown() override {
    lock_.Release();
    SetChartRegister(nullptr);
    SetFileUseRegister(nullptr);
    NetworkMode = false;
    RunMode = 0;
    Chart().Clear();
  }
  test::StoreFolder folder_;
  test::StatusCapture status_;
  StationLock lock_;
};

TEST_F(StationRegisterTest, AppendWaitsForAnotherWorkstationsAppend) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t other = fork();
  if (other == 0) {
    StationLock lock;
    Become(9);
    if (lock.Take(StationLockName(9, {})) != StationLock::Result::kTaken) _exit(2);
    if (RegisterCommand('#', ChartPath.view()) != RegisterOutcome::kWritten) _exit(3);
    const char ok = 'y';
    if (write(ready[1], &ok, 1) != 1) _exit(4);
    usleep(400 * 1000);
    RegisterCommand('-', ChartPath.view());
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  AccountRecord r;
  r.symbol = "201";
  r.name = "Odbiorcy";
  EXPECT_TRUE(AppendAccount(r, true)) << "waited for the other append, then wrote";
  EXPECT_TRUE(Chart().Contains("201"));
  int status = 0;
  waitpid(other, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(ReadRegistryRecord(3).objects[0].empty()) << "released after the write";
  close(ready[0]);
  close(ready[1]);
}

TEST_F(StationRegisterTest, DeadHolderDoesNotBlockTheChart) {
  const pid_t other = fork();
  if (other == 0) {
    StationLock lock;
    Become(9);
    if (lock.Take(StationLockName(9, {})) != StationLock::Result::kTaken) _exit(2);
    RegisterCommand('#', ChartPath.view());
    kill(getpid(), SIGKILL);  // dies holding the chart
  }
  waitpid(other, nullptr, 0);
  AccountRecord r;
  r.symbol = "202";
  r.name = "Dostawcy";
  EXPECT_TRUE(AppendAccount(r, true));
  EXPECT_TRUE(ReadRegistryRecord(9).Empty());
}

}  // namespace
}  // namespace zel
