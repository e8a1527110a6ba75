// Offscreen wiring of the report preview's view: a finished report shows
// the window with its boxes and scroll bar; the scroll bar, the keys of the
// search field, the wheel, the searches and the pop-up menu move the
// preview's state; the drawing paints bands of five and heading boxes where
// the geometry puts them; unfinished outputs say so; Esc hides the window.
#include "output/qt/raport_view.hpp"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "menu/current_option.hpp"
#include "output/preview_layout.hpp"
#include "output/qt/qt_output_host.hpp"
#include "output/report_document.hpp"
#include "output/report_preview.hpp"
#include "shell/status.hpp"
#include "support/fake_print_targets.hpp"

namespace zel::testing {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

void Key(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

struct StatusRecorder : StatusSink {
  std::vector<std::pair<std::string, int>> shown;
  void Show(std::string_view text, std::uint8_t colour) override {
    shown.emplace_back(text, colour);
  }
  void Clear() override {}
};

// A report of 60 data rows under a text row and a rule: an account, a name
// and a Debit/Credit pair under one heading.
class RaportViewTest : public ::testing::Test {
 protected:
  RaportViewTest() : view((App(), CurrentReport()), CurrentPreview()) {
    App();
    old_sink = SetStatusSink(&status);
    SetReportView(&view);
    OptionKey = "EA";
    RapStart("Próba", "ZESTAWIENIE PRÓBNE"_w, 2);
    RapKol('l', 8, "Konto", "symbol");
    RapKol('l', 20, "Nazwa", "konta");
    RapKol('b', 12, "Obroty", "winien");
    RapKol('d', 12, "", "ma");
    RapNag(" za 2024 rok");
    RapTekst('1', "Firma Przykładowa"_w);
    RapLinia('-');
    for (int i = 1; i <= 60; ++i) {
      const std::string n = std::to_string(i);
      RapWiersz("K" + n, i == 30 ? "Żółta łódź"_w : "Konto numer " + n, n + ",00", "");
    }
    RapKoniec();
    QApplication::processEvents();
  }
  ~RaportViewTest() override {
    SetReportView(nullptr);
    SetStatusSink(old_sink);
    OptionKey.clear();
  }

  QImage Picture() {
    view.Surface()->repaint();
    return view.Surface()->grab().toImage();
  }

  StatusRecorder status;
  StatusSink* old_sink = nullptr;
  RaportView view;
  ReportPreview& pv = CurrentPreview();
};

TEST_F(RaportViewTest, FinishedReportShowsTheWindowBoxesAndScrollBar) {
  ASSERT_TRUE(view.isVisible());
  EXPECT_EQ(view.windowTitle(), QString::fromStdString(WinToUtf8(pv.Caption())));
  EXPECT_EQ(view.FirstBox()->text(), QStringLiteral("1"));
  EXPECT_EQ(view.LastBox()->text(), QString::number(pv.RowCount()));
  EXPECT_EQ(pv.RowCount(), 63);  // text, rule, 60 rows, the closing "="
  EXPECT_EQ(view.ScrollBar()->minimum(), 1);
  EXPECT_EQ(view.ScrollBar()->maximum(), pv.RowCount());
  EXPECT_EQ(view.ScrollBar()->value(), 1);
  EXPECT_GE(view.height(), 333);
  EXPECT_TRUE(view.Button("JPK")->isEnabled());
  // Toolbar order of the controls table, left to right.
  const char* order[] = {"POR", "PEJ", "XLS", "JPK", "PDF", "FIT", "FIE", "Esc"};
  int x = -1;
  for (const char* name : order) {
    SCOPED_TRACE(name);
    ASSERT_NE(view.Button(name), nullptr);
    EXPECT_GT(view.Button(name)->x(), x);
    x = view.Button(name)->x();
  }
}

TEST_F(RaportViewTest, DrawingPaintsBandsAndHeadingBoxesWhereTheGeometrySays) {
  QImage img = Picture();
  QFontMetrics fm(view.Surface()->font());
  const int h = view.RowHeight();
  const int x = 10;  // inside the first column's cells
  auto colour_at = [&](std::int32_t row) {
    return img.pixelColor(x, PreviewRowY(row, pv.TopRow(), h) + 1).rgb() & 0xFFFFFF;
  };
  // Rows 1..5 plain, 6..10 shaded, 11..15 plain again.
  EXPECT_EQ(colour_at(3), kPreviewSurface);
  EXPECT_EQ(colour_at(7), kPreviewBand);
  EXPECT_EQ(colour_at(12), kPreviewSurface);
  // The heading box at the top of the first column.
  EXPECT_EQ(img.pixelColor(x, 4).rgb() & 0xFFFFFF, kPreviewHeadingBox);
  EXPECT_GT(view.LastTableWidth(), 0);
}

TEST_F(RaportViewTest, ScrollBarKeysAndWheelMoveTheTopRow) {
  const int page = pv.PageSize();
  ASSERT_GT(page, 1);
  ASSERT_LT(page, pv.RowCount());
  QLineEdit* fi = view.SearchField();
  struct Case {
    const char* name;
    int key;
    std::int32_t expected;
  };
  view.ScrollBar()->setValue(10);
  EXPECT_EQ(pv.TopRow(), 10);
  for (const Case& c :
       {Case{"Home", Qt::Key_Home, 1}, Case{"Down", Qt::Key_Down, 2}, Case{"Up", Qt::Key_Up, 1},
        Case{"End", Qt::Key_End, pv.RowCount() - page + 1},
        Case{"PgUp", Qt::Key_PageUp, std::max(1, pv.RowCount() - 2 * page + 1)}}) {
    SCOPED_TRACE(c.name);
    Key(fi, c.key);
    EXPECT_EQ(pv.TopRow(), c.expected);
    EXPECT_EQ(view.ScrollBar()->value(), c.expected);
  }
  Key(view.FirstBox(), Qt::Key_Home);
  EXPECT_EQ(pv.TopRow(), 1);
  QWheelEvent down(QPointF(5, 50), view.Surface()->mapToGlobal(QPointF(5, 50)), QPoint(),
                   QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view.Surface(), &down);
  EXPECT_EQ(pv.TopRow(), 6);
}

TEST_F(RaportViewTest, SearchesMarkRowsAndFoldTheText) {
  QLineEdit* fi = view.SearchField();
  fi->setText(QString::fromUtf8("żółta"));
  Key(fi, Qt::Key_Return);
  EXPECT_EQ(fi->text(), QStringLiteral("ZOLTA"));
  EXPECT_EQ(pv.MarkedRow(), 32);  // row 30 of the data, after the text and the rule
  fi->setText(QStringLiteral("konto numer 1"));
  view.Button("FIE")->click();
  // Nothing after row 32 holds it: the search wraps to the first data row.
  EXPECT_EQ(pv.MarkedRow(), 3);
  // Backward from there wraps to the last match, "Konto numer 19".
  view.Button("FIT")->click();
  EXPECT_EQ(pv.MarkedRow(), 21);
  fi->setText(QStringLiteral("brak takiego"));
  Key(fi, Qt::Key_Return);
  ASSERT_FALSE(status.shown.empty());
  EXPECT_EQ(status.shown.back().first, "Nie ma BRAK TAKIEGO");
  EXPECT_EQ(status.shown.back().second, kWarning);
}

TEST_F(RaportViewTest, RightClickMarksTheRowAndThePageMenuSetsTheRange) {
  QWidget* im = view.Surface();
  const int y = view.HeadingHeight() + 4 * view.RowHeight() + view.RowHeight() / 2;  // row top + 4
  const std::int32_t row = pv.TopRow() + 4;
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, y), im->mapToGlobal(QPointF(30, y)),
                    Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(im, &press);
  EXPECT_EQ(pv.MarkedRow(), row);
  QMenu* pm = view.PageMenu();
  ASSERT_EQ(pm->actions().size(), 13);
  EXPECT_EQ(pm->actions()[10]->text(), QString::fromUtf8("&Całe zestawienie - zaznacz"));
  pm->actions()[0]->trigger();  // MeBeg: from here
  pm->hide();
  EXPECT_EQ(view.FirstBox()->text(), QString::number(row));
  EXPECT_EQ(pv.RangeFirst(), row);
  EXPECT_EQ(pv.MarkedRow(), 0);
  // Typing in WK moves the range's end.
  view.LastBox()->setText(QStringLiteral("40"));
  view.LastBox()->textEdited(QStringLiteral("40"));
  EXPECT_EQ(pv.RangeLast(), 40);
}

TEST_F(RaportViewTest, OutputsWithoutServiceSayItAndEscHides) {
  for (const char* name : {"POR", "PEJ", "XLS"}) {
    SCOPED_TRACE(name);
    status.shown.clear();
    view.Button(name)->click();
    ASSERT_FALSE(status.shown.empty());
    EXPECT_EQ(status.shown.back().first, "Funkcja w przygotowaniu");
    EXPECT_EQ(status.shown.back().second, kWarning);
  }
  // During an export Esc only asks the export to stop.
  pv.SetExporting(true);
  Key(view.SearchField(), Qt::Key_Escape);
  EXPECT_TRUE(view.isVisible());
  EXPECT_TRUE(pv.AbortRequested());
  pv.SetExporting(false);
  Key(view.SearchField(), Qt::Key_Escape);
  EXPECT_FALSE(view.isVisible());
}

// The output buttons over a made-up printer list: DRU lists the printers and
// the built-in PDF target last; PDF (click portrait, right click landscape)
// prints on it after asking the file name and gives the chosen printer
// back; POR and PEJ print on the printer chosen in DRU.
TEST_F(RaportViewTest, OutputButtonsOverAnInjectedPrinterList) {
  struct Case {
    const char* name;
    std::vector<std::string> printers;
  };
  const Case cases[] = {
      {"no printers", {}},
      {"one printer", {"HP"}},
      {"two, one of them a PDF queue", {"Cups-PDF", "HP"}},
      {"a long name", {"Drukarka sieciowa w pokoju ksiegowosci, pietro drugie (kolor)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePrintTargets targets;
    targets.names = c.printers;
    QtOutputHost host(&targets);
    std::vector<std::string> asked;
    host.ask_pdf_path = [&asked](std::string_view name) {
      asked.emplace_back(name);
      return std::string("/tmp/x.pdf");
    };
    ReportOutputs outputs(CurrentReport(), pv, host);
    CurrentPrinterName() = c.printers.empty() ? std::string() : c.printers.back();
    view.SetOutputs(&outputs);
    view.ReportFinished();

    QComboBox* dru = view.PrinterBox();
    ASSERT_EQ(dru->count(), static_cast<int>(c.printers.size()) + 1);
    EXPECT_EQ(dru->itemText(dru->count() - 1), QStringLiteral(" Zel PDF"));
    const int before = dru->currentIndex();
    EXPECT_TRUE(view.Button("PDF")->isEnabled());

    // Entered, the list is as wide as its longest name; left, it ends
    // before XLS again.
    const int rest = dru->width();
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(dru, &in);
    const int entered = dru->width();
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(dru, &out);
    EXPECT_EQ(dru->width(), rest);
    EXPECT_LT(dru->x() + rest, view.Button("XLS")->x());
    EXPECT_GE(entered, rest);
    if (c.printers.size() == 1 && c.printers[0].size() > 40) {
      EXPECT_GT(entered, rest);
    }

    view.Button("PDF")->click();
    ASSERT_EQ(targets.jobs.size(), 1u);
    EXPECT_TRUE(targets.jobs[0].file);
    EXPECT_FALSE(targets.jobs[0].landscape);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(dru->currentIndex(), before);
    EXPECT_EQ(status.shown.back().first, "Raport wydrukowany");

    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.Button("PDF"), &right);
    ASSERT_EQ(targets.jobs.size(), 2u);
    EXPECT_TRUE(targets.jobs[1].landscape);
    EXPECT_EQ(dru->currentIndex(), before);
    EXPECT_TRUE(view.Button("POR")->isEnabled());  // the buttons are back

    if (!c.printers.empty()) {
      dru->setCurrentIndex(0);
      EXPECT_EQ(CurrentPrinterName(), c.printers[0]);
      view.Button("PEJ")->click();
      ASSERT_EQ(targets.jobs.size(), 3u);
      EXPECT_EQ(targets.jobs[2].target, c.printers[0]);
      EXPECT_FALSE(targets.jobs[2].file);
      EXPECT_TRUE(targets.jobs[2].landscape);
    }
    view.SetOutputs(nullptr);
  }
  CurrentPrinterName().clear();
}

TEST(RaportViewJpk, ButtonOnlyForTheJpkOptions) {
  App();
  RaportView view(CurrentReport(), CurrentPreview());
  SetReportView(&view);
  for (const char* key : {"EA", "DD", "EB"}) {
    SCOPED_TRACE(key);
    OptionKey = key;
    RapStart("a", "b", 1);
    RapKol1('l', 5, "x");
    RapNag("");
    RapKoniec();
    EXPECT_EQ(view.Button("JPK")->isEnabled(), std::string(key) != "EB");
  }
  SetReportView(nullptr);
  OptionKey.clear();
}

}  // namespace
}  // namespace zel::testing
