// zel-batch as a workstation: --station holds the workstation's lock while
// the run lasts, and --login logs in from "!\Login.txt".
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/batch.hpp"
#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "app/demo_stations.hpp"
#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

// Where a suite goes back to at its end (another suite may have removed the
// folder it was in).
std::string StartFolder() {
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  return ec ? std::filesystem::temp_directory_path().string() : here.string();
}

class BatchStation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    start_ = StartFolder();
    StationExt.clear();
    home_ = MakeTempFolder("zel_batch_station");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DB\\", &err)) << err;
    std::filesystem::create_directories(home_ + "/!");
    std::ofstream(home_ + "/!/Login.txt") << "5,ANNA,tajne,K,DB,,\r\n";
  }
  // The runs leave the shell's state behind them (the suffix of their
  // workstation, the Zel folder): the other suites start as zel-demo does.
  static void TearDownTestSuite() {
    std::string err;
    SetZelFolder(start_, &err);
    StationExt.clear();
    std::filesystem::remove_all(home_);
  }

  int Run(std::vector<std::string> args) {
    err_.clear();
    args.insert(args.begin(), {"--today", "15-01-2025"});
    args.insert(args.end(), {"ZOiSa", "Rocz=N2024"});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    out_.clear();
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    return RunBatch(r, io);
  }

  static std::string home_;
  static std::string start_;
  std::string out_, err_;
};
std::string BatchStation::home_;
std::string BatchStation::start_;

TEST_F(BatchStation, RunsAsTheWorkstationAndRefusesWhileItRuns) {
  ASSERT_EQ(Run({"--db", home_ + "/DB", "--station", "5"}), kBatchDone) << err_;
  EXPECT_FALSE(IsFile(StationLockName(5, {}))) << "released when the run ends";

  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t desk = fork();
  if (desk == 0) {
    StationLock lock;
    const char ok = lock.Take(StationLockName(5, {})) == StationLock::Result::kTaken ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    for (;;) pause();
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, 'y');
  EXPECT_EQ(Run({"--db", home_ + "/DB", "--station", "5"}), kBatchRefused);
  EXPECT_NE(err_.find("Próbujesz uruchomić program ponownie ?"), std::string::npos) << err_;
  EXPECT_EQ(Run({"--login", "anna:TAJNE"}), kBatchRefused) << "workstation 5 runs";
  kill(desk, SIGKILL);
  waitpid(desk, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_EQ(Run({"--db", home_ + "/DB", "--station", "6"}), kBatchDone) << err_;
}

TEST_F(BatchStation, LogsInFromTheLoginFile) {
  EXPECT_EQ(Run({"--login", "anna:TAJNE"}), kBatchDone) << err_;
  EXPECT_EQ(out_.rfind("ZESTAWIENIE OBROTÓW i SALD", 0), 0u) << err_;  // the user's database
  EXPECT_EQ(Run({"--login", "anna:zle"}), kBatchRefused);
  EXPECT_NE(err_.find("Błędne hasło"), std::string::npos) << err_;
  EXPECT_EQ(Run({"--login", "ewa:x"}), kBatchRefused);
  EXPECT_NE(err_.find("Błędny login"), std::string::npos) << err_;
  EXPECT_EQ(Run({"--login", "anna"}), kBatchRefused);
}

TEST(StationsDemo, UsersLogInToTheirDatabasesFromEveryWorkstation) {
  const std::string start = StartFolder();
  const std::string home = MakeTempFolder("zel_stations_demo");
  std::string err;
  StationExt.clear();  // as zel-demo starts: the sample's records are ".xxx"

  ASSERT_TRUE(SetZelFolder(home, &err)) << err;
  const std::string db = Utf8ToWin(home) + "/DEMO\\";
  ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), db, &err)) << err;
  ASSERT_TRUE(WriteStationsDemo(db, DemoOptions{}, &err)) << err;
  BatchRequest r;
  BatchIo io;
  std::string out;
  io.out = [&out](std::string_view t) { out.append(t); };
  io.err = [&err](std::string_view t) { err.append(t); };
  for (const char* login : {"admin:ADMIN", "Ksiegowa:ksiegowa"}) {
    SCOPED_TRACE(login);
    out.clear();
    err.clear();
    ASSERT_TRUE(ParseBatchArgs({"--login", login, "ZOiSa"}, &r, &err)) << err;
    r.home = home;
    EXPECT_EQ(RunBatch(r, io), kBatchDone) << err;
    // The year of the database settings, read through the ".???" records.
    EXPECT_EQ(out.rfind("ZESTAWIENIE OBROTÓW i SALD za 2024 rok", 0), 0u) << out.substr(0, 80);
  }
  EXPECT_TRUE(IsFile("DEMO\\PlanDrug.PFX"));
  EXPECT_TRUE(IsFile("DEMO-2\\N2024.DFX"));
  // Outside the Zel folder the login file could not name the database.
  EXPECT_FALSE(WriteStationsDemo("/elsewhere/DEMO\\", DemoOptions{}, &err));
  ASSERT_TRUE(SetZelFolder(start, &err)) << err;
  StationExt.clear();
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace zel
