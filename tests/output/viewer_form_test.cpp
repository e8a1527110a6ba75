// The viewer window's state without a toolkit: opening a document, the
// zoom fitted to the screen, pages and scrolling, the remembered action,
// the printers and printing through the viewer's targets.
#include "output/viewer_form.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "output/print_targets.hpp"
#include "output/report_outputs.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "support/fake_print_targets.hpp"

namespace zel {
namespace {

class Host final : public ViewerHost {
 public:
  int ScreenWidth() override { return screen_w; }
  std::vector<std::string> Printers() override { return printers; }
  std::string AskPdfPath(std::string_view) override { return pdf_path; }
  void DeveloperMessage(std::string_view caption, std::string_view text) override {
    message = std::string(caption) + " | " + std::string(text);
  }
  std::string OptionName() override { return "Deklaracja VAT-7"; }

  int screen_w = 1920;
  std::vector<std::string> printers = {"Biuro", "Zel PDF"};
  std::string pdf_path = "/tmp/x.pdf";
  std::string message;
};

class ViewerFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StationExt = ".xxx";
    mkdir(dir.Native("#").c_str(), 0777);
    dir.Put("#/Zel.BAL", "\r\n");
    SetViewerTargets([this] { return &targets; });
    targets.names = {"Biuro"};
    CurrentPrinterName() = "Biuro";
  }
  void TearDown() override {
    SetViewerTargets(nullptr);
    StationExt = "";
    CurrentPrinterName().clear();
  }
  // A two-part form 2000 units wide.
  static void Hand(int actions = 3, std::string key = "VAT7") {
    ViewerDocument doc;
    doc.key = std::move(key);
    doc.actions = actions;
    doc.x_max = 2100;
    doc.y_max = 2970;
    doc.name = "VAT-7";
    doc.lines = {"K 0 2800 0 2000 FFFFFF", "T 10 60 10 500 .orykop.", "N", "T 0 99 0 2000 Druga"};
    std::string err;
    ASSERT_TRUE(SetViewerDocument(doc, &err)) << err;
  }

  testing::ZelTestFolder dir;
  FakePrintTargets targets;
  Host host;
};

TEST_F(ViewerFormTest, ZoomFitsTheScreenButNotBelowFour) {
  Hand();
  struct Case {
    int screen;
    int zoom;
  } cases[] = {
      {1920, 4},    // 2000 x 30 / 5 + 7 is far wider; 2000 x 4 / 5 + 7 = 1607 fits
      {12100, 30},  // 2000 x 30 / 5 + 7 = 12007 fits 12090
      {8000, 19},   // 2000 x 19 / 5 + 7 = 7607; at 20 it is 8007
      {300, 4},     // nothing fits: the zoom stops at 4
  };
  for (const Case& c : cases) {
    host.screen_w = c.screen;
    FViewer v(host);
    ASSERT_TRUE(v.Open());
    EXPECT_EQ(v.Zoom(), c.zoom) << c.screen;
  }
  FViewer v(host);
  ASSERT_TRUE(v.Open());
  v.ZoomOut();
  EXPECT_EQ(v.Zoom(), 4);
  v.PressKey(FViewer::Key::kPlus);
  EXPECT_EQ(v.Zoom(), 5);
  EXPECT_EQ(v.Caption().substr(0, 25), "    VAT-7    ws = 5/5    ");
}

TEST_F(ViewerFormTest, PagesAndScrollingStayInsideTheDrawing) {
  Hand();
  host.screen_w = 12100;
  FViewer v(host);
  ASSERT_TRUE(v.Open());
  v.SetViewHeight(100);
  EXPECT_EQ(v.Pages(), 2);
  // The second part counts from 2810; its text box reaches a third of 99
  // below its 99.
  EXPECT_EQ(v.DrawingHeight(), (2810 + 99 + 33) * 6 + 3 + 4);
  v.PressKey(FViewer::Key::kUp);
  EXPECT_EQ(v.ScrollY(), 0);
  v.PressKey(FViewer::Key::kPgDn);
  v.PressKey(FViewer::Key::kDown);
  EXPECT_EQ(v.ScrollY(), 330);
  v.Wheel(-120);  // one notch down: 120 x 30 / 25
  EXPECT_EQ(v.ScrollY(), 474);
  v.PressKey(FViewer::Key::kEnd);
  EXPECT_EQ(v.ScrollY(), v.DrawingHeight() - 100);
  v.PressKey(FViewer::Key::kHome);
  v.NextPage();
  EXPECT_EQ(v.Page(), 1);
  EXPECT_EQ(v.ScrollY(), 2800 * 6 + 3) << "the second part's top, 10 units above its division";
  v.NextPage();
  EXPECT_EQ(v.Page(), 1);
  v.PreviousPage();
  EXPECT_EQ(v.ScrollY(), 0);
}

TEST_F(ViewerFormTest, TheChosenActionIsRememberedByZap) {
  Hand();
  {
    FViewer v(host);
    ASSERT_TRUE(v.Open());
    ASSERT_EQ(v.Actions().size(), 11u);
    EXPECT_EQ(v.Actions()[0].code, "e");
    EXPECT_EQ(v.Actions()[5].caption, "Oryginał + kopia"_w);
    EXPECT_EQ(v.SelectedAction(), 0);
    EXPECT_FALSE(v.ZapEnabled());
    v.ChooseAction(5);
    EXPECT_TRUE(v.ZapEnabled());
    v.Zap();
    EXPECT_FALSE(v.ZapEnabled());
  }
  EXPECT_EQ(ReadSetting(false, "Vie-VAT7"), "6");
  FViewer again(host);
  ASSERT_TRUE(again.Open());
  EXPECT_EQ(again.SelectedAction(), 5);
  // Another document keeps its own choice; a stored position beyond its
  // actions selects the first.
  Hand(1, "FAKTURA");
  FViewer other(host);
  ASSERT_TRUE(other.Open());
  EXPECT_EQ(other.Actions().size(), 4u);
  EXPECT_EQ(other.SelectedAction(), 0);
}

TEST_F(ViewerFormTest, AnIncompleteDocumentIsTheDevelopersMessage) {
  Hand(0);
  FViewer v(host);
  EXPECT_FALSE(v.Open());
  EXPECT_EQ(host.message,
            "Wykonaj Shift-Ins w Deklaracja VAT-7 | aViewer wymaga ustawienia vCzyn przed "
            "FViewer.Jo (...);");
  EXPECT_FALSE(v.IsOpen());
}

TEST_F(ViewerFormTest, PrintingGoesToTheChosenPrinterAndPdfComesBack) {
  Hand();
  FViewer v(host);
  ASSERT_TRUE(v.Open());
  EXPECT_TRUE(v.PdfEnabled());
  v.ChooseAction(5);  // "ok"
  ASSERT_TRUE(v.Print());
  ASSERT_EQ(targets.jobs.size(), 1u);
  EXPECT_EQ(targets.jobs[0].target, "Biuro");
  EXPECT_FALSE(targets.jobs[0].landscape);
  ASSERT_TRUE(v.Pdf());
  ASSERT_EQ(targets.jobs.size(), 2u);
  EXPECT_TRUE(targets.jobs[1].file);
  EXPECT_EQ(targets.jobs[1].target, "/tmp/x.pdf");
  EXPECT_EQ(CurrentPrinterName(), "Biuro") << "the printer chosen before comes back";
  v.ChoosePrinter(1);
  EXPECT_EQ(CurrentPrinterName(), "Zel PDF");
  host.pdf_path.clear();  // the file dialog cancelled
  EXPECT_FALSE(v.Print());
  EXPECT_EQ(targets.jobs.size(), 2u);
}

}  // namespace
}  // namespace zel
