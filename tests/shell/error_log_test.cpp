#include "shell/error_log.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/folders.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/status.hpp"
#include "shell/status_recorder.hpp"

namespace zel {
namespace {

using testing::StatusRecorder;
using testing::ZelTestFolder;

TEST(ErrorLog, FailedAssertionsAppendOneLineEachOldestFirst) {
  ZelTestFolder dir;
  StatusRecorder rec;
  mkdir(dir.Native("#").c_str(), 0777);
  dir.Put("#/Zel.BAD", "  earlier line\r\n");
  AssertionFailedAt("Celowe wystąpienie błędu"_w, "src/output/preview.cpp", 123, -4096);
  AssertionFailedAt("drugi", "b.cpp", 7, 99);
  EXPECT_EQ(
      WinToUtf8(dir.Get("#/Zel.BAD")),
      "  earlier line\r\n"
      "  src/output/preview.cpp  linia : 123  adres : -4096  błąd : Celowe wystąpienie błędu\r\n"
      "  b.cpp  linia : 7  adres : 99  błąd : drugi\r\n");
  EXPECT_TRUE(rec.shown.empty());
}

TEST(ErrorLog, TheMacroLogsOnlyAFailedConditionAndGoesOn) {
  ZelTestFolder dir;
  StatusRecorder rec;
  mkdir(dir.Native("#").c_str(), 0777);
  int reached = 0;
  // Messages no path can hold by chance: the log names the source file,
  // whose folder may be anything.
  ZEL_ASSERT(1 + 1 == 2, "#nie-zapisane#");
  ++reached;
  ZEL_ASSERT(reached == 0, "#zapisane#");
  ++reached;
  EXPECT_EQ(reached, 2);
  const std::string log = dir.Get("#/Zel.BAD");
  EXPECT_EQ(log.find("#nie-zapisane#"), std::string::npos) << log;
  EXPECT_NE(log.find("error_log_test.cpp  linia : "), std::string::npos) << log;
  EXPECT_NE(log.find("  adres : "), std::string::npos);
  EXPECT_NE(log.find(" : #zapisane#\r\n"), std::string::npos) << log;
}

TEST(ErrorLog, ALogThatCannotBeWrittenEndsInTheStatusLine) {
  ZelTestFolder dir;  // no folder "#"
  StatusRecorder rec;
  AssertionFailedAt("x", "a.cpp", 1, 1);
  ASSERT_EQ(rec.shown.size(), 1u);
  EXPECT_EQ(rec.shown[0].second, kWarning);
  EXPECT_EQ(rec.shown[0].first.rfind("Błąd zapisu #\\Zel.BAD"_w, 0), 0u) << rec.shown[0].first;
  EXPECT_FALSE(IsFile("#\\Zel.BAD"));
}

TEST(AppException, ShowsTheMessageCutInColourZero) {
  StatusRecorder rec;
  AppException("Dzielenie przez zero"_w);
  AppException(std::string(300, 'e'));
  ASSERT_EQ(rec.shown.size(), 2u);
  EXPECT_EQ(rec.shown[0],
            (std::pair<std::string, std::uint8_t>("Dzielenie przez zero"_w, kWarning)));
  EXPECT_EQ(rec.shown[1].first.size(), 250u);
  EXPECT_EQ(LastMessage().size(), 250u);
}

TEST(ReportLog, NameFromTheDateAndTime) {
  struct Row {
    const char* name;
    DateTime when;
    const char* file;
  };
  const Row rows[] = {
      {"a morning in 2019", {2019, 3, 7, 9, 5, 0, 0}, "2019-03-07~09-05.LOG"},
      {"midnight", {2024, 12, 31, 0, 0, 0, 0}, "2024-12-31~00-00.LOG"},
      {"this century is not 1926", {2026, 1, 10, 23, 59, 0, 0}, "2026-01-10~23-59.LOG"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ReportLogName(r.when), r.file);
  }
}

TEST(ReportLog, TwoSavesInOneMinuteReplaceTheFile) {
  ZelTestFolder dir;
  StatusRecorder rec;
  const DateTime when{2019, 3, 7, 9, 5, 0, 0};
  SetClockForTests(&when);
  ASSERT_TRUE(WriteReportLog({"E", "r", "r"}));
  EXPECT_EQ(dir.Get("2019-03-07~09-05.LOG"), "E\r\nr\r\nr\r\n");
  ASSERT_TRUE(WriteReportLog({"R", "a", "p", "..."}));
  EXPECT_EQ(dir.Get("2019-03-07~09-05.LOG"), "R\r\na\r\np\r\n...\r\n");
  EXPECT_EQ(FindFiles("*.*").size(), 1u);
  mkdir(dir.Native("2019-03-07~09-06.LOG").c_str(), 0777);  // a folder in the way
  const DateTime later{2019, 3, 7, 9, 6, 0, 0};
  SetClockForTests(&later);
  EXPECT_FALSE(WriteReportLog({"x"}));
  ASSERT_FALSE(rec.shown.empty());
  EXPECT_EQ(rec.shown.back().second, kWarning);
}

}  // namespace
}  // namespace zel
