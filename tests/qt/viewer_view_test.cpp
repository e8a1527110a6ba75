// The document viewer drawn by Qt: a few pixels of the window's surface,
// and the PDF of an "ok" action read back with poppler's pdftotext.
#include "output/qt/viewer_view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/cp1250.hpp"
#include "output/qt/qt_page_canvas.hpp"
#include "output/report_outputs.hpp"
#include "output/viewer_document.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/state.hpp"

namespace zel::testing {
namespace {

QApplication& App() {
  if (auto* a = qobject_cast<QApplication*>(QCoreApplication::instance())) return *a;
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

std::string Command(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

class ViewerViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    StationExt = ".xxx";
    std::filesystem::create_directories(dir.Native("#"));
    dir.Put("#/Zel.BAL", "\r\n");
  }
  void TearDown() override {
    SetViewerTargets(nullptr);
    StationExt = "";
  }
  static ViewerDocument Document() {
    ViewerDocument doc;
    doc.key = "TEST";
    doc.actions = 2;
    doc.x_max = 100;
    doc.y_max = 130;
    doc.name = "Próba"_w;
    doc.lines = {"K 0 50 0 100 FF0000", "L 75 75 0 100", "T 90 130 0 100 ~X",
                 "c 55 70 0 100 Egzemplarz .orykop.", "K 0 130 0 1 FFFFFF"};
    return doc;
  }

  ZelTestFolder dir;
};

TEST_F(ViewerViewTest, TheSurfaceShowsBoxesLinesAndBlueMarks) {
  std::string err;
  ASSERT_TRUE(SetViewerDocument(Document(), &err)) << err;
  ViewerView view;
  view.Go(1);
  ASSERT_TRUE(view.isVisible());
  ASSERT_EQ(view.Form().Zoom(), 30);
  EXPECT_TRUE(view.windowTitle().startsWith(QString::fromUtf8("    Próba    ws = 30/5")));
  EXPECT_FALSE(view.Button("bZAP")->isEnabled());
  QImage img = view.Surface()->grab().toImage();
  ASSERT_GE(img.width(), 600);
  ASSERT_GE(img.height(), 460);
  // Units x 6 + 3 at zoom 30: the red box, the brown line at Y 75.
  EXPECT_EQ(img.pixelColor(450, 250), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(300, 75 * 6 + 3), QColor(192, 128, 96));
  EXPECT_EQ(img.pixelColor(300, 76 * 6), QColor(Qt::white));
  // The fitted "X" in its box near the bottom is drawn in blue.
  view.Form().PressKey(FViewer::Key::kEnd);
  const int top = view.Form().ScrollY();
  img = view.Surface()->grab().toImage();
  int blue = 0;
  for (int y = 90 * 6 + 3 - top; y < 130 * 6 + 3 - top && y < img.height(); y += 2) {
    for (int x = 0; x < 600; x += 2) {
      const QColor c = img.pixelColor(x, std::max(0, y));
      if (c.blue() > 200 && c.red() < 60 && c.green() < 60) ++blue;
    }
  }
  EXPECT_GT(blue, 100);
}

TEST_F(ViewerViewTest, AnOkActionWritesTwoPagesReadingOriginalAndCopy) {
  QtPrintTargets targets;
  SetViewerTargets([&targets] { return &targets; });
  const std::string pdf = dir.Native("ok.pdf");
  std::string message = "x";
  ASSERT_TRUE(WriteViewerPdf(Document(), "ok", pdf, &message)) << message;
  EXPECT_TRUE(message.empty());
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_NE(Command("pdfinfo '" + pdf + "'").find("Pages:           2"), std::string::npos);
  const std::string one = Command("pdftotext -f 1 -l 1 '" + pdf + "' -");
  const std::string two = Command("pdftotext -f 2 -l 2 '" + pdf + "' -");
  EXPECT_NE(one.find("Egzemplarz oryginał"), std::string::npos) << one;
  EXPECT_NE(two.find("Egzemplarz kopia"), std::string::npos) << two;
  EXPECT_EQ(two.find("oryginał"), std::string::npos) << two;

  // An empty document is refused and leaves the file as it was.
  ViewerDocument empty = Document();
  empty.lines = {"N", ""};
  const auto size = std::filesystem::file_size(pdf);
  EXPECT_FALSE(WriteViewerPdf(empty, "ok", pdf, &message));
  EXPECT_EQ(message, "Dokument jest pusty - nie ma czego drukować"_w);
  EXPECT_EQ(std::filesystem::file_size(pdf), size);
  // A folder that is not there: refused with its name, nothing written.
  const std::string lost = dir.Native("brak/ok.pdf");
  EXPECT_FALSE(WriteViewerPdf(Document(), "ok", lost, &message));
  EXPECT_NE(message.find("brak/ok.pdf"), std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists(lost));
}

}  // namespace
}  // namespace zel::testing
