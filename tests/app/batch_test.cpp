// zel-batch in-process: its arguments, a run of the trial balance on the
// sample year, and the exit codes and messages of refused fields.
#include "app/batch.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/demo.hpp"
#include "app/demo_files.hpp"
#include "platform/paths.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

TEST(BatchArgs, TakesTheOptionFieldsAndSwitches) {
  BatchRequest r;
  std::string err;
  ASSERT_TRUE(ParseBatchArgs({"--db", "/dane/firma", "--station", "7", "--today", "15-01-2025",
                              "EA", "KonW=20*", "DaOd=", "--out", "r.TXT", "--jpk"},
                             &r, &err))
      << err;
  EXPECT_EQ(r.db, "/dane/firma");
  EXPECT_EQ(r.station, 7);
  EXPECT_EQ(r.today, "15-01-2025");
  EXPECT_EQ(r.option, "EA");
  ASSERT_EQ(r.values.size(), 2u);
  EXPECT_EQ(r.values[0], (std::pair<std::string, std::string>{"KonW", "20*"}));
  EXPECT_EQ(r.values[1], (std::pair<std::string, std::string>{"DaOd", ""}));
  EXPECT_TRUE(std::filesystem::path(r.out).is_absolute());
  EXPECT_TRUE(r.jpk);
  ASSERT_TRUE(ParseBatchArgs({"--help"}, &r, &err));
  EXPECT_TRUE(r.help);
  ASSERT_TRUE(ParseBatchArgs({"ZOiSa", "--out", "-", "--rows", "9..3", "--time", "23:59",
                              "--landscape"},
                             &r, &err))
      << err;
  EXPECT_EQ(r.out, "-");
  EXPECT_EQ(r.first, 9);
  EXPECT_EQ(r.last, 3);
  EXPECT_EQ(r.time, "23:59");
  EXPECT_TRUE(r.landscape);
}

TEST(BatchArgs, RefusesWhatCannotBeTaken) {
  const struct {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"no option", {"--db", "x"}},
      {"unknown switch", {"ZOiSa", "--fast"}},
      {"value missing after --db", {"ZOiSa", "--db"}},
      {"station 0", {"--station", "0", "ZOiSa"}},
      {"station 198", {"--station", "198", "ZOiSa"}},
      {"station not a number", {"--station", "7a", "ZOiSa"}},
      {"impossible today", {"--today", "30-02-2025", "ZOiSa"}},
      {"today outside the years", {"--today", "01-01-2040", "ZOiSa"}},
      {"today in another form", {"--today", "2025-01-15", "ZOiSa"}},
      {"other output format", {"ZOiSa", "--out", "r.doc"}},
      {"rows without a range", {"ZOiSa", "--rows", "5"}},
      {"rows not numbers", {"ZOiSa", "--rows", "a..b"}},
      {"time out of the day", {"ZOiSa", "--time", "24:00"}},
      {"time in another form", {"ZOiSa", "--time", "9:05"}},
      {"printer and file at once", {"ZOiSa", "--printer", "q", "--out", "r.pdf"}},
      {"field without a value sign", {"ZOiSa", "KonW"}},
      {"field without a code", {"ZOiSa", "=5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BatchRequest r;
    std::string err;
    EXPECT_FALSE(ParseBatchArgs(c.args, &r, &err));
    EXPECT_FALSE(err.empty());
  }
}

// A Zel folder with the sample year in its folder "DB", made once.
class BatchRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = MakeTempFolder("zel_batch_home");
    std::string err;
    ASSERT_TRUE(SetZelFolder(home_, &err)) << err;
    ASSERT_TRUE(WriteDemoYear(BuildDemoYear(DemoOptions{}), "DB\\", &err)) << err;
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(home_); }

  int Run(std::vector<std::string> args) {
    out_.clear();
    err_.clear();
    args.insert(args.begin(), {"--db", home_ + "/DB", "--today", "15-01-2025"});
    BatchRequest r;
    std::string why;
    EXPECT_TRUE(ParseBatchArgs(args, &r, &why)) << why;
    r.home = home_;
    BatchIo io;
    io.out = [this](std::string_view t) { out_.append(t); };
    io.err = [this](std::string_view t) { err_.append(t); };
    return RunBatch(r, io);
  }

  static std::string home_;
  std::string out_, err_;
};
std::string BatchRun::home_;

TEST_F(BatchRun, PrintsTheTrialBalanceOfTheYear) {
  ASSERT_EQ(Run({"ZOiSa"}), kBatchDone) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_EQ(out_.rfind("ZESTAWIENIE OBROTÓW i SALD za 2024 rok\n", 0), 0u) << out_.substr(0, 200);
  EXPECT_NE(out_.find("\nRAZEM "), std::string::npos);
  EXPECT_NE(out_.find("\nWYNIK "), std::string::npos);
  // The menu key reaches the same option and the same report.
  const std::string by_code = out_;
  ASSERT_EQ(Run({"EA"}), kBatchDone) << err_;
  EXPECT_EQ(out_, by_code);
  // Field values change the report: only the accounts of the mask remain.
  ASSERT_EQ(Run({"ZOiSa", "KonW=100", "OpKo=B"}), kBatchDone) << err_;
  EXPECT_NE(out_.find("[konta: 100]"), std::string::npos);
  EXPECT_EQ(out_.find("\n130 "), std::string::npos);
}

TEST_F(BatchRun, WritesTheReportToTheOutputFile) {
  const std::string file = home_ + "/raport.txt";
  ASSERT_EQ(Run({"SyBBO", "--out", file}), kBatchDone) << err_;
  EXPECT_EQ(out_, "");
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().rfind("SYNTETYKA za 2024 rok\n", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(file + ".part"));
}

// --rows takes a range of the report (put in order); "-" and /dev/stdout are
// standard output, /dev/null takes the report and keeps nothing.
TEST_F(BatchRun, RowRangesAndStandardOutput) {
  ASSERT_EQ(Run({"SyBBO"}), kBatchDone) << err_;
  const std::string whole = out_;
  ASSERT_EQ(Run({"SyBBO", "--rows", "4..2", "--out", "-"}), kBatchDone) << err_;
  const std::string part = out_;
  // The five heading lines, then rows 2..4.
  EXPECT_EQ(std::count(part.begin(), part.end(), '\n'), 5 + 3) << part;
  EXPECT_EQ(whole.rfind(part.substr(0, part.find("-----"))), 0u);
  ASSERT_EQ(Run({"SyBBO", "--out", "/dev/stdout"}), kBatchDone) << err_;
  EXPECT_EQ(out_, whole);
  ASSERT_EQ(Run({"SyBBO", "--out", "/dev/null"}), kBatchDone) << err_;
  EXPECT_EQ(out_, "");
  // Beyond the end: the last row only.
  ASSERT_EQ(Run({"SyBBO", "--rows", "99999..99999"}), kBatchDone) << err_;
  EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 5 + 1);
}

// Without Qt's printing (as here) a PDF or a printer is refused with a
// message, and no file appears.
TEST_F(BatchRun, PdfWithoutPrintTargetsFails) {
  const std::string file = home_ + "/r.pdf";
  ASSERT_EQ(Run({"SyBBO", "--out", file}), kBatchFailed);
  EXPECT_NE(err_.find("PDF"), std::string::npos) << err_;
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(BatchRun, RefusedFieldsGiveTheirCodeAndMessage) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string message;  // the line on standard error, from its start
  } cases[] = {
      {"missing annual file", {"ZOiSa", "Rocz=BRAK"}, kBatchRefused, "zel-batch: pole Rocz: Nie ma "},
      {"BO date after the start", {"ZOiSa", "DaBO=050124"}, kBatchRefused,
       "zel-batch: pole DaBO: Popraw datę BO\n"},
      {"depths out of order", {"ZOiSa", "Pod1=3", "Pod3=2"}, kBatchRefused,
       "zel-batch: pole Pod1: Popraw głębokość\n"},
      {"impossible date", {"ZOiSa", "DaOd=310224"}, kBatchRefused,
       "zel-batch: pole DaOd: Błędna postać daty\n"},
      {"period ending before it starts", {"ZOiSa", "DaOd=310124", "DaDo=010124"}, kBatchRefused,
       "zel-batch: pole DaOd: Popraw datę początkową\n"},
      {"field the option lacks", {"Anali", "OpKo=B"}, kBatchRefused,
       "zel-batch: Nie ma pola OpKo w opcji Anali\n"},
      {"unknown option", {"Nope"}, kBatchRefused, "zel-batch: Nie ma opcji Nope\n"},
      {"JPK of an option without one", {"SyBBO", "--jpk"}, kBatchRefused, "zel-batch: JPK tylko"},
      // An option whose run does nothing never reports success.
      {"option that builds nothing", {"Synte"}, kBatchFailed, "zel-batch: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Run(c.args), c.code);
    EXPECT_EQ(err_.rfind(c.message, 0), 0u) << err_;
    EXPECT_EQ(out_, "");
  }
}

TEST_F(BatchRun, MissingDatabaseFolderFails) {
  BatchRequest r;
  std::string why;
  ASSERT_TRUE(ParseBatchArgs({"--db", home_ + "/NIE-MA", "ZOiSa"}, &r, &why));
  r.home = home_;
  BatchIo io;
  io.out = [this](std::string_view t) { out_.append(t); };
  io.err = [this](std::string_view t) { err_.append(t); };
  EXPECT_EQ(RunBatch(r, io), kBatchFailed);
  EXPECT_NE(err_.find("Nie ma folderu bazy danych"), std::string::npos) << err_;
}

}  // namespace
}  // namespace zel
