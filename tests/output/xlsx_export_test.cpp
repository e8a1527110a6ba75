#include "output/xlsx_export.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/cp1250.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

TEST(XlsxNumber, OnlyWholeNumberTextsAreNumbers) {
  struct Case {
    const char* text;
    bool number;
    double value;
  };
  const Case cases[] = {
      {"1.234,50", true, 1234.5},
      {"-5.365.188.989,83", true, -5365188989.83},
      {"12", true, 12},
      {"12.5", true, 12.5},  // no comma: the point is the decimal point
      {" 7,00 ", true, 7},
      {"31-12-2024", false, 0},
      {"*****", false, 0},
      {"1.2.3", false, 0},
      {"12,", false, 0},
      {"=1+1", false, 0},
      {"-", false, 0},
      {"", false, 0},
      {"1,2,3", false, 0},
      {"1e5", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double v = -1;
    EXPECT_EQ(XlsxNumber(c.text, &v), c.number);
    if (c.number) {
      EXPECT_DOUBLE_EQ(v, c.value);
    }
  }
}

class XlsxExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("zel_xlsx");
    doc_.Start("r", "T", 1);
    doc_.AddColumn('l', 10, "Symbol", "");
    doc_.AddColumn('p', 14, "Kwota", "");
    doc_.CloseHeader("");
  }
  void Rows(int n) {
    for (int i = 0; i < n; ++i) {
      const std::string_view cells[] = {"=HYPERLINK(\"x\")", "1,00"};
      doc_.AddRow(cells);
    }
  }
  std::string dir_;
  ReportDocument doc_;
};

TEST_F(XlsxExportTest, RangeOfMoreThan100001RowsIsRefusedAfterClamping) {
  Rows(100002);
  const std::string path = dir_ + "/r.xlsx";
  // WK beyond the end is clamped first: 2..100002 is 100001 rows.
  XlsxOutcome ok = ExportXlsx(doc_, 2, 999999, path, {});
  EXPECT_TRUE(ok.ok) << ok.error;
  EXPECT_EQ(ok.rows, 100001);
  XlsxOutcome refused = ExportXlsx(doc_, 1, 100002, dir_ + "/s.xlsx", {});
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, "Więcej niż 100.000 wierszy"_w);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/s.xlsx"));
}

TEST_F(XlsxExportTest, AbortKeepsTheRowsWrittenAndAFailureKeepsTheOldFile) {
  Rows(50);
  const std::string path = dir_ + "/r.xlsx";
  XlsxOutcome out = ExportXlsx(doc_, 1, 50, path, {}, [](std::int32_t row) { return row <= 20; });
  EXPECT_TRUE(out.ok);
  EXPECT_TRUE(out.aborted);
  EXPECT_EQ(out.rows, 20);
  EXPECT_TRUE(std::filesystem::exists(path));

  { std::ofstream(dir_ + "/old.xlsx") << "old"; }
  std::filesystem::create_directory(dir_ + "/old.xlsx.part");
  XlsxOutcome failed = ExportXlsx(doc_, 1, 50, dir_ + "/old.xlsx", {});
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.error.empty());
  EXPECT_EQ(std::filesystem::file_size(dir_ + "/old.xlsx"), 3u);
}

// The sheet's own XML: a text starting with "=" is a string, never a formula.
TEST_F(XlsxExportTest, TextsAreNeverFormulas) {
  Rows(1);
  const std::string path = dir_ + "/f.xlsx";
  ASSERT_TRUE(ExportXlsx(doc_, 1, 1, path, {}).ok);
  FILE* p = popen(("unzip -p '" + path + "' xl/worksheets/sheet1.xml").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string xml;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) xml.append(buf, n);
  pclose(p);
  if (xml.empty()) GTEST_SKIP() << "unzip is not installed";
  EXPECT_EQ(xml.find("<f>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("HYPERLINK"), std::string::npos);
}

}  // namespace
}  // namespace zel
