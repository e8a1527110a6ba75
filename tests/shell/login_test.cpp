#include "shell/login.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/registry.hpp"
#include "shell/stations.hpp"

namespace zel {
namespace {

using testing::DesktopTest;

const char kLogins[] =
    "5,ANNA,Tajne1,K,FIRMA1,PLAN1,\r\n"
    "6, jan , haslo , Xyz , FIRMA2\r\n"
    "abc,ZLY,x,A,F\r\n"
    "0,ZERO,x,A,F\r\n"
    "7,DALEKO,x,A,..\\INNA\r\n"
    "8,ABS,x,A,/etc\r\n"
    "9,OLA,pass,O,FIRMA1,,\n";

class LoginTest : public DesktopTest {
 protected:
  void SetUp() override {
    MakeFolder("!");
    folder.Put("!/Login.txt", kLogins);
  }
  void TearDown() override {
    desk.FClose();
    LoggedInLogin.clear();
  }
};

TEST_F(LoginTest, CheckOfTheLoginFile) {
  struct Row {
    const char* name;
    const char* login;
    const char* password;
    const char* message;  // UTF-8; empty: accepted
    int field;
    int station;
    char role;
  };
  const Row rows[] = {
      {"letter case ignored", "anna", "TAJNE1", "", 0, 5, 'K'},
      {"spaces around fields, unknown role", "JAN", "Haslo", "", 0, 6, 'W'},
      {"role O", "ola", "pass", "", 0, 9, 'O'},
      {"wrong password", "anna", "tajne", "Błędne hasło", 2, 0, 0},
      {"no such login", "piotr", "x", "Błędny login", 1, 0, 0},
      {"line without a number", "zly", "x", "Błędny login", 1, 0, 0},
      {"workstation 0", "zero", "x", "Błędny numer stanowiska w !\\Login.txt", 1, 0, 0},
      {"folder climbing out", "daleko", "x", "Błędny folder bazy w !\\Login.txt", 1, 0, 0},
      {"absolute folder", "abs", "x", "Błędny folder bazy w !\\Login.txt", 1, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const LoginCheck c = CheckLogin(row.login, row.password);
    EXPECT_EQ(WinToUtf8(c.message), row.message);
    EXPECT_EQ(c.field, row.field);
    EXPECT_EQ(c.accepted, row.message[0] == '\0');
    if (c.accepted) {
      EXPECT_EQ(c.line.station, row.station);
      EXPECT_EQ(c.line.role, row.role);
    }
  }
  RemoveFile("!\\Login.txt");
  const LoginCheck missing = CheckLogin("anna", "tajne1");
  EXPECT_EQ(missing.message, "Błąd odczytu !\\Login.txt"_w);
  EXPECT_EQ(missing.field, 2);
}

TEST_F(LoginTest, DesktopLogsInAndRegisters) {
  MakeFolder("FIRMA1");
  folder.Put("FIRMA1/Zel.BAL", " FirmUsSi.??? = Firma;1234;T\r\n");  // shared work allowed
  Start();
  EXPECT_EQ(RunMode, 222);
  EXPECT_TRUE(StationExt.empty());
  FPulpit::LoginAnswer a = desk.Login("anna", "zle");
  EXPECT_FALSE(a.accepted);
  EXPECT_EQ(a.message, "Błędne hasło"_w);
  EXPECT_EQ(RunMode, 221);

  a = desk.Login("anna", "tajne1");
  ASSERT_TRUE(a.accepted) << WinToUtf8(a.message);
  EXPECT_EQ(RunMode, 5);
  EXPECT_EQ(StationExt.str(), ".005");
  EXPECT_EQ(UserLetter, 'K');
  EXPECT_EQ(DbDir.str(), "FIRMA1\\");
  EXPECT_EQ(ChartName.str(), "PLAN1");
  EXPECT_TRUE(IsFolder("FIRMA1"));
  EXPECT_TRUE(IsFolder("Kosz\\FIRMA1"));
  EXPECT_TRUE(StationRunning(5));
  EXPECT_EQ(desk.PendingKind(), 3);
  EXPECT_EQ(ReadRegistryRecord(5).user, ChartPath.str());

  // Logging in again releases the lock before anything is typed.
  desk.CloseStationLock();
  EXPECT_FALSE(StationRunning(5));
  desk.FClose();
  EXPECT_TRUE(ReadRegistryRecord(5).Empty());
}

TEST_F(LoginTest, WorkstationAlreadyRunningRefusesTheLogin) {
  const pid_t holder = fork();
  if (holder == 0) {
    StationLock lock;
    if (lock.Take(StationLockName(5, "FIRMA1\\")) != StationLock::Result::kTaken) _exit(2);
    for (;;) pause();
  }
  for (int i = 0; i < 200 && !StationRunning(5); ++i) usleep(5000);
  Start();
  const FPulpit::LoginAnswer a = desk.Login("ANNA", "tajne1");
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_FALSE(a.accepted);
  EXPECT_EQ(a.message, "Stanowisko .005 pracuje");
  EXPECT_EQ(a.field, 1);
  EXPECT_EQ(RunMode, 221);
}

using StationStartTest = DesktopTest;

TEST_F(StationStartTest, SameNumberTwiceIsRefusedAndACrashIsCleanedUp) {
  sys.args = {"5"};
  const pid_t first = fork();
  if (first == 0) {
    StationLock lock;
    if (lock.Take(StationLockName(5, {})) != StationLock::Result::kTaken) _exit(2);
    for (;;) pause();
  }
  for (int i = 0; i < 200 && !StationRunning(5); ++i) usleep(5000);
  Start();
  EXPECT_EQ(sys.fatal, "Próbujesz uruchomić program ponownie ?"_w);

  kill(first, SIGKILL);  // the first program crashes
  waitpid(first, nullptr, 0);
  sys.fatal.clear();
  desk.FCreat();
  desk.TiTime();
  desk.TiTime();
  EXPECT_EQ(sys.fatal, "");
  EXPECT_TRUE(StationRunning(5));
  EXPECT_TRUE(OwnStationLock().Held());
  desk.FClose();
  EXPECT_FALSE(IsFile(StationLockName(5, {})));
}

TEST_F(LoginTest, PasswordChangeRewritesOnlyTheUsersField) {
  EXPECT_EQ(ChangePassword("tajne1", "nowe", "nowe").field, 33) << "only after a login";
  Start();
  ASSERT_TRUE(desk.Login("anna", "tajne1").accepted);
  struct Row {
    const char* name;
    const char* old_pw;
    const char* new_pw;
    const char* repeated;
    int field;
  };
  const Row refused[] = {
      {"old password wrong", "zle", "nowe", "nowe", 33},
      {"empty new password", "tajne1", "", "", 34},
      {"comma in the new password", "tajne1", "a,b", "a,b", 34},
      {"repeated differs", "tajne1", "nowe", "nowa", 35},
  };
  for (const Row& row : refused) {
    SCOPED_TRACE(row.name);
    const PasswordChange c = ChangePassword(row.old_pw, row.new_pw, row.repeated);
    EXPECT_FALSE(c.done);
    EXPECT_EQ(c.field, row.field);
    EXPECT_EQ(folder.Get("!/Login.txt"), kLogins);
  }
  const PasswordChange c = ChangePassword("TAJNE1", "Nowe7", "nowe7");
  EXPECT_TRUE(c.done);
  std::string expected = kLogins;
  expected.replace(expected.find("Tajne1"), 6, "Nowe7");
  EXPECT_EQ(folder.Get("!/Login.txt"), expected);
  EXPECT_TRUE(CheckLogin("anna", "nowe7").accepted);
}

}  // namespace
}  // namespace zel
