#include "output/report_outputs.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/cp1250.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "support/fake_print_targets.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

class LastStatus : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t colour) override {
    text_ = text;
    colour_ = colour;
  }
  void Clear() override {}
  std::string text_;
  int colour_ = -1;
};

class FakeHost final : public OutputHost {
 public:
  PrintTargets& Targets() override { return targets; }
  std::string AskPdfPath(std::string_view default_name) override {
    asked.emplace_back(default_name);
    return pdf_path;
  }
  bool OpenWorkbook(const std::string& path) override {
    opened.push_back(path);
    return spreadsheet;
  }
  std::string TimeOfDay() override { return "10:20"; }
  std::string MenuPosition() override { return "EA"; }
  std::string Caption() override { return "zestawienie"; }
  std::string PeriodText() override { return " za 2024 rok"; }
  std::string VersionText() override { return "1.41"; }

  FakePrintTargets targets;
  std::string pdf_path = "/x/r.pdf";
  bool spreadsheet = true;
  std::vector<std::string> asked, opened;
};

class ReportOutputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = SetStatusSink(&status_);
    CurrentPrinterName().clear();
    ForWhom.clear();
    doc_.Start("zois", "TYTUL", 1);
    doc_.AddColumn('l', 10, "Symbol", "");
    doc_.AddColumn('p', 14, "Kwota", "");
    doc_.CloseHeader("");
    for (int i = 0; i < 30; ++i) {
      const std::string_view cells[] = {"201", "1,00"};
      doc_.AddRow(cells);
    }
    preview_.Finish(50, 40);
  }
  void TearDown() override {
    SetStatusSink(old_);
    CurrentPrinterName().clear();
  }

  LastStatus status_;
  StatusSink* old_ = nullptr;
  ReportDocument doc_;
  ReportPreview preview_{doc_};
  FakeHost host_;
  ReportOutputs outputs_{doc_, preview_, host_};
};

// The built-in target stands last, so that the last printer whose name
// contains "PDF" is always there; a machine's own PDF queue comes before it.
TEST_F(ReportOutputsTest, PrinterListEndsWithTheBuiltInPdf) {
  struct Case {
    const char* name;
    std::vector<std::string> printers;
    int pdf;
  };
  const Case cases[] = {
      {"no printers", {}, 0},
      {"one printer", {"HP"}, 1},
      {"a PDF queue and a printer", {"Cups-PDF", "HP"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host_.targets.names = c.printers;
    std::vector<std::string> list = outputs_.Printers();
    ASSERT_EQ(list.size(), c.printers.size() + 1);
    EXPECT_EQ(list.back(), kBuiltInPdfPrinter);
    EXPECT_EQ(outputs_.PdfPrinterIndex(), c.pdf);
  }
}

TEST_F(ReportOutputsTest, PdfAsksTheFileAndGivesThePrinterBack) {
  host_.targets.names = {"Cups-PDF", "HP"};
  outputs_.ChoosePrinter(1);
  ASSERT_EQ(CurrentPrinterName(), "HP");
  EXPECT_TRUE(outputs_.Pdf(true));
  ASSERT_EQ(host_.targets.jobs.size(), 1u);
  EXPECT_EQ(host_.targets.jobs[0].target, "/x/r.pdf");
  EXPECT_TRUE(host_.targets.jobs[0].file);
  EXPECT_TRUE(host_.targets.jobs[0].landscape);
  ASSERT_EQ(host_.asked.size(), 1u);
  EXPECT_EQ(host_.asked[0], "Zel-EA-ZOIS-za-2024-rok.pdf");
  EXPECT_EQ(CurrentPrinterName(), "HP");
  EXPECT_EQ(outputs_.CurrentIndex(), 1);
  EXPECT_EQ(status_.text_, "Raport wydrukowany");

  // A cancelled dialog prints nothing and claims nothing.
  status_.text_.clear();
  host_.pdf_path.clear();
  EXPECT_FALSE(outputs_.Pdf(false));
  EXPECT_EQ(host_.targets.jobs.size(), 1u);
  EXPECT_NE(status_.text_, "Raport wydrukowany");
  EXPECT_EQ(CurrentPrinterName(), "HP");
}

TEST_F(ReportOutputsTest, PrintGoesToTheCurrentQueue) {
  host_.targets.names = {"HP", "Brother"};
  outputs_.ChoosePrinter(1);
  preview_.SetFirstText("25");
  preview_.SetLastText("999");  // clamped to the rows
  EXPECT_TRUE(outputs_.Print(false));
  ASSERT_EQ(host_.targets.jobs.size(), 1u);
  EXPECT_EQ(host_.targets.jobs[0].target, "Brother");
  EXPECT_FALSE(host_.targets.jobs[0].file);
  EXPECT_TRUE(host_.asked.empty());
  EXPECT_EQ(status_.text_, "Raport wydrukowany");
  // A printer that went away: its message, nothing printed.
  host_.targets.names = {"HP"};
  CurrentPrinterName() = "Brother";
  EXPECT_EQ(outputs_.CurrentIndex(), 0);  // not in the list: the first one
  CurrentPrinterName() = "Gone";
  host_.targets.names = {};
  EXPECT_TRUE(outputs_.Print(false));  // the built-in PDF, the only entry
  EXPECT_EQ(host_.asked.size(), 1u);
}

TEST_F(ReportOutputsTest, RowsPerPageFromTheCurrentPrintersPages) {
  host_.targets.names = {"HP"};
  outputs_.ChoosePrinter(0);
  const std::int32_t portrait = outputs_.RowsPerPage(doc_, false);
  const std::int32_t landscape = outputs_.RowsPerPage(doc_, true);
  EXPECT_GT(portrait, landscape);
  ASSERT_EQ(host_.targets.measured.size(), 2u);
  EXPECT_EQ(host_.targets.measured[0], "HP");
}

TEST_F(ReportOutputsTest, WorkbookInTheTemporaryFolderNeverOverAnOldOne) {
  const std::string home = MakeTempFolder("zel_outputs");
  std::string err;
  ASSERT_TRUE(SetZelFolder(home, &err)) << err;
  std::filesystem::create_directory(home + "/tmp");
  TempDir = "tmp\\";
  preview_.SetFirstText("5");
  EXPECT_TRUE(outputs_.Xls());
  ASSERT_EQ(host_.opened.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(host_.opened[0]));
  EXPECT_EQ(preview_.FirstText(), "5");  // the progress gave the range box back
  EXPECT_FALSE(preview_.Exporting());

  host_.spreadsheet = false;
  EXPECT_FALSE(outputs_.Xls());
  ASSERT_EQ(host_.opened.size(), 2u);
  EXPECT_NE(host_.opened[1], host_.opened[0]);
  EXPECT_TRUE(std::filesystem::exists(host_.opened[1]));  // the file stays
  EXPECT_EQ(status_.text_, " Nie ma żadnego Excela w systemie"_w);
  EXPECT_EQ(status_.colour_, kWarning);
  TempDir.clear();
}

}  // namespace
}  // namespace zel
