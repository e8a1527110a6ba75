#include "output/print_run.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/cp1250.hpp"
#include "output/recording_canvas.hpp"
#include "shell/status.hpp"

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

ReportDocument Columns(std::initializer_list<std::pair<char, int>> cols) {
  ReportDocument doc;
  doc.Start("zois", "TYTUL", 1);
  for (auto [kind, width] : cols) doc.AddColumn(kind, width, "h1", "h2");
  doc.CloseHeader("podtytul");
  return doc;
}

// The layout from page pixels and the font probe: the largest size from 29
// down whose scaled sample fits, the stretched row pitch filling the page to
// its bottom edge, and the floors on tiny pages.
TEST(PrintLayout, FontSizeRowPitchAndRowsPerPage) {
  struct Case {
    const char* name;
    int page_w, page_h;
    bool landscape;
    int columns;  // of width 14
    int size;     // expected normal size; 0: do not check
    std::int32_t rows;
    int line_h = 12;  // the probe's line height per 10 points
  };
  const Case cases[] = {
      // C = 100, W = 4959 - 330 = 4629: 50 chars * 0.6 * size * 100 / 50 < 4629 -> 29
      {"A4 portrait narrow report", 4961, 7016, false, 1, 29, 0},
      // 17 columns: C = 272, 50*0.6*s*272/50 < 4629 -> s <= 28... 0.6*s*272 < 4629 -> s = 28
      {"A4 portrait wide report", 4961, 7016, false, 17, 28, 0},
      {"A4 landscape wide report", 7016, 4961, true, 17, 29, 0},
      {"a page without height gets 50 rows", 4961, 40, false, 1, 0, 50},
      {"a font taller than the page still gets one row", 4961, 400, false, 1, 0, 1, 120},
      {"a page without width gets size 1", 20, 7016, false, 17, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportDocument doc;
    doc.Start("n", "t", 1);
    for (int i = 0; i < c.columns; ++i) doc.AddColumn('p', 14, "", "");
    RecordingCanvas probe(c.page_w, c.page_h, 6, c.line_h);
    PrintLayout p = ComputePrintLayout(doc, c.page_w, c.page_h, c.landscape, probe);
    if (c.size) {
      EXPECT_EQ(p.normal_size, c.size);
    }
    if (c.rows) {
      EXPECT_EQ(p.rows, c.rows);
    }
    EXPECT_GE(p.rows, 1);
    EXPECT_GE(p.row_h, 1);
    EXPECT_GE(p.unit, 1);
    EXPECT_GE(p.normal_size, 1);
    EXPECT_GT(p.large_size, p.normal_size);
    // The rows and the seven heading and footer lines end at the bottom edge.
    EXPECT_EQ(p.top + (p.rows + 7) * p.row_h, p.bottom);
    if (c.page_h > 1000) {
      EXPECT_EQ(p.row_h, (p.usable_h) / (p.rows + 7));
      EXPECT_LT(std::abs(p.row_h - p.text_h * 1.1), p.text_h * 0.2);
    }
  }
}

TEST(PrintLayout, ColumnsTakeCharactersAndTheStretchColumnTheSpare) {
  ReportDocument doc = Columns({{'l', 10}, {'p', 14}});
  RecordingCanvas probe(4961, 7016);
  PrintLayout p = ComputePrintLayout(doc, 4961, 7016, false, probe);
  std::vector<PrintColumn> cols = PrintColumns(doc, p);
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0].x, p.left);
  EXPECT_EQ(cols[0].w, 12 * p.char_w + p.spare);  // stretch column 1
  EXPECT_EQ(cols[1].x, cols[0].x + cols[0].w);
  EXPECT_EQ(cols[1].w, 16 * p.char_w);
}

TEST(PrintLayout, CellsLoseCharactersFromTheRightOrAfterALeadingSpace) {
  RecordingCanvas probe(100, 100, 10, 10);  // 10 pixels a character at size 10
  struct Case {
    const char* name;
    std::string text;
    char kind;
    int width;
    std::string fitted;
    int x;
  };
  const std::string marked = std::string("ab") + static_cast<char>(254) + "cd";
  const std::string two =
      std::string("x") + static_cast<char>(254) + "yz" + static_cast<char>(254) + "sort";
  const Case cases[] = {
      {"fits, right-aligned", "12,50", 'p', 100, "12,50", 50},
      {"cut on the right", "abcdefgh", 'l', 50, "abcde", 0},
      {"leading space cut on the left", " 1234567", 'p', 40, "4567", 0},
      {"centred", "ab", 'c', 60, "ab", 20},
      {"one marker: right-aligned", marked, 'l', 100, "abcd", 60},
      {"second marker cuts, left-aligned", two, 'p', 100, "xyz", 0},
      {"nothing fits", "abc", 'l', 5, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrintCell cell = FitPrintCell(c.text, c.kind, c.width, 10, probe);
    EXPECT_EQ(cell.text, c.fitted);
    EXPECT_EQ(cell.x, c.x);
  }
}

TEST(PrintRange, OrderedAndClamped) {
  struct Case {
    const char* name;
    std::int64_t first, last;
    std::int32_t rows;
    bool ok;
    std::int32_t from, to;
  };
  const Case cases[] = {
      {"as given", 3, 8, 10, true, 3, 8},
      {"reversed", 8, 3, 10, true, 3, 8},
      {"zero and beyond the end", 0, 99, 10, true, 1, 10},
      {"both beyond the end", 50, 60, 10, true, 10, 10},
      {"negative", -5, -1, 10, true, 1, 1},
      {"no rows", 1, 1, 0, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t from = 0, to = 0;
    EXPECT_EQ(ClampPrintRange(c.first, c.last, c.rows, &from, &to), c.ok);
    if (c.ok) {
      EXPECT_EQ(from, c.from);
      EXPECT_EQ(to, c.to);
    }
  }
}

class PrintRunTest : public ::testing::Test {
 protected:
  void SetUp() override { old_ = SetStatusSink(&status_); }
  void TearDown() override { SetStatusSink(old_); }

  // A report of `rows` data rows; page size chosen so that a page holds
  // `per_page` rows with the fixed font (checked).
  ReportDocument Rows(int rows, const std::vector<char>& kinds = {}) {
    ReportDocument doc = Columns({{'l', 10}, {'b', 14}, {'d', 14}});
    for (int i = 1; i <= rows; ++i) {
      const char kind = kinds.empty() ? '0' : kinds[static_cast<std::size_t>(i - 1)];
      const std::string n = "r" + std::to_string(i);
      if (kind == '0') {
        const std::string_view cells[] = {n, "1,00", "2,00"};
        doc.AddRow(cells);
      } else if (kind == '1') {
        doc.AddText('1', "tekst " + n);
      } else {
        doc.AddRule(kind);
      }
    }
    return doc;
  }
  PrintTexts Texts() {
    PrintTexts t;
    t.stamp = "15-03-2024 10:20";
    t.job_title = "Zel-EA-ZOIS";
    t.footer_left = "left";
    t.footer_centre = "Firma";
    t.footer_right = "Zel 1.41 EA";
    return t;
  }

  LastStatus status_;
  StatusSink* old_ = nullptr;
};

// With the fixed font of size 29 (6 * 2.9 px wide, 12 * 2.9 = 34 px high) an
// A4 portrait page at 600 dpi holds this many rows.
std::int32_t RowsOnA4(const ReportDocument& doc) {
  RecordingCanvas probe(4961, 7016);
  return ComputePrintLayout(doc, 4961, 7016, false, probe).rows;
}

TEST_F(PrintRunTest, PagesAndTheirNumbers) {
  const std::int32_t n = RowsOnA4(Rows(1));
  ASSERT_GT(n, 10);
  struct Case {
    const char* name;
    std::int32_t rows, first, last;
    std::int32_t pages;
  };
  const Case cases[] = {
      {"one row", 1, 1, 1, 1},
      {"exactly one page", n, 1, n, 1},
      {"one row more", n + 1, 1, n + 1, 2},
      {"exact multiple", 3 * n, 1, 3 * n, 3},
      {"range mid-report", 3 * n, n / 2, n / 2 + n, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportDocument doc = Rows(c.rows);
    RecordingCanvas canvas(4961, 7016);
    PrintOutcome out = PrintPages(doc, Texts(), c.first, c.last, false, canvas);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.pages, c.pages);
    EXPECT_EQ(canvas.Pages(), c.pages);
    EXPECT_TRUE(canvas.EndedOk());
    for (int p = 1; p <= c.pages; ++p) {
      std::vector<std::string> texts = canvas.TextsOnPage(p);
      const std::string want = "Strona " + std::to_string(p) + " z " + std::to_string(c.pages);
      EXPECT_NE(std::find(texts.begin(), texts.end(), want), texts.end()) << want;
      // First and last rows of the page appear, nothing of the next page.
      const std::int32_t from = c.first + (p - 1) * n;
      const std::int32_t to = std::min(c.last, from + n - 1);
      EXPECT_NE(std::find(texts.begin(), texts.end(), "r" + std::to_string(from)), texts.end());
      EXPECT_NE(std::find(texts.begin(), texts.end(), "r" + std::to_string(to)), texts.end());
      EXPECT_EQ(std::find(texts.begin(), texts.end(), "r" + std::to_string(to + 1)), texts.end());
    }
  }
}

TEST_F(PrintRunTest, PageFurnitureHeadingsAndPairs) {
  ReportDocument doc = Rows(3);
  RecordingCanvas canvas(4961, 7016);
  PrintOutcome out = PrintPages(doc, Texts(), 1, 3, false, canvas);
  ASSERT_TRUE(out.ok);
  std::vector<std::string> t = canvas.TextsOnPage(1);
  for (const char* want : {"TYTUL", "podtytul", "15-03-2024 10:20", "Strona 1 z 1", "left", "Firma",
                           "Zel 1.41 EA", "r1", "1,00", "2,00"}) {
    EXPECT_NE(std::find(t.begin(), t.end(), want), t.end()) << want;
  }
  // Heading 1 once for the `l` column and once over the b/d pair, heading 2
  // for all three.
  EXPECT_EQ(std::count(t.begin(), t.end(), "h1"), 2);
  EXPECT_EQ(std::count(t.begin(), t.end(), "h2"), 3);
  EXPECT_EQ(canvas.Calls().front().text, "Zel-EA-ZOIS");
  // The title in the large font.
  for (const CanvasCall& c : canvas.Calls()) {
    if (c.kind == CanvasCall::kText && c.text == "TYTUL") {
      EXPECT_EQ(c.size, out.layout.large_size);
    }
  }
  // The separator between the pair is hidden under a white box in the
  // heading zone; the separators end half a line below the last row.
  const PrintLayout& p = out.layout;
  const std::vector<PrintColumn> cols = PrintColumns(doc, p);
  const int pair_x = cols[1].x;
  bool box = false;
  int separators = 0;
  for (const CanvasCall& c : canvas.Calls()) {
    if (c.kind == CanvasCall::kFill && c.colour == 0xFFFFFF && c.x > pair_x - 1 &&
        c.x < cols[2].x && c.x + c.x2 > cols[2].x) {
      box = true;
    }
    if (c.kind == CanvasCall::kLine && c.x == c.x2 && c.y == p.top + 3 * p.row_h && c.x != p.left &&
        c.x != p.right) {
      ++separators;
      EXPECT_EQ(c.y2, p.top + 9 * p.row_h - p.row_h / 2);  // three rows: ends at (3 + 6)h - h/2
    }
  }
  EXPECT_TRUE(box);
  EXPECT_EQ(separators, 2);
}

TEST_F(PrintRunTest, RulesAndTextRows) {
  // rows: data, "-", ".", "=", " ", text; and a text row first on page 2
  ReportDocument doc = Rows(6, {'0', '-', '.', '=', ' ', '1'});
  RecordingCanvas canvas(4961, 7016);
  PrintOutcome out = PrintPages(doc, Texts(), 1, 6, false, canvas);
  ASSERT_TRUE(out.ok);
  const PrintLayout& p = out.layout;
  const int u = p.unit;
  auto rule_lines = [&](int i) {
    const int y = p.top + (i + 5) * p.row_h + p.row_h / 2;
    std::vector<CanvasCall> lines;
    for (const CanvasCall& c : canvas.Calls()) {
      if (c.kind == CanvasCall::kLine && c.y == c.y2 && (c.y == y || c.y == y - 7 * u)) {
        lines.push_back(c);
      }
    }
    return lines;
  };
  std::vector<CanvasCall> thick = rule_lines(2);
  ASSERT_EQ(thick.size(), 1u);
  EXPECT_EQ(thick[0].size, 3 * u);
  EXPECT_EQ(thick[0].x, p.left + 2 * u);
  std::vector<CanvasCall> thin = rule_lines(3);
  ASSERT_EQ(thin.size(), 1u);
  EXPECT_EQ(thin[0].size, 1);
  std::vector<CanvasCall> dbl = rule_lines(4);
  ASSERT_EQ(dbl.size(), 2u);
  EXPECT_EQ(dbl[0].size, u);
  EXPECT_EQ(dbl[1].size, 3 * u);
  EXPECT_TRUE(rule_lines(5).empty());
  std::vector<std::string> t = canvas.TextsOnPage(1);
  EXPECT_NE(std::find(t.begin(), t.end(), " tekst r6"), t.end());

  // A text row first on a page: its box reaches up to the line under the
  // headings, hiding the separators there.
  ReportDocument doc2 = Rows(1, {'1'});
  RecordingCanvas canvas2(4961, 7016);
  PrintOutcome out2 = PrintPages(doc2, Texts(), 1, 1, false, canvas2);
  const int under = out2.layout.top + 17 * out2.layout.row_h / 3;
  bool reaches_up = false;
  for (const CanvasCall& c : canvas2.Calls()) {
    if (c.kind == CanvasCall::kFill && c.colour == 0xFFFFFF && c.y == under + out2.layout.unit &&
        c.y + c.y2 == out2.layout.top + 7 * out2.layout.row_h) {
      reaches_up = true;
    }
  }
  EXPECT_TRUE(reaches_up);
}

TEST_F(PrintRunTest, SuccessOnlyWhenTheDeviceTookEveryStep) {
  const std::int32_t n = RowsOnA4(Rows(1));
  ReportDocument doc = Rows(3 * n);
  struct Case {
    const char* name;
    bool fail_begin;
    int fail_new_page;
    bool fail_end;
  };
  const Case cases[] = {
      {"all taken", false, 0, false},
      {"begin refused", true, 0, false},
      {"second page refused", false, 1, false},
      {"end refused", false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas(4961, 7016);
    canvas.fail_begin = c.fail_begin;
    canvas.fail_new_page = c.fail_new_page;
    canvas.fail_end = c.fail_end;
    PrintOutcome out = PrintReport(doc, Texts(), 1, 3 * n, false, "PDF", canvas);
    const bool all = !c.fail_begin && !c.fail_new_page && !c.fail_end;
    EXPECT_EQ(out.ok, all);
    EXPECT_TRUE(canvas.Ended());  // the job is always ended
    EXPECT_EQ(status_.text_, all ? "Raport wydrukowany" : "Raport nie został wydrukowany"_w);
    EXPECT_EQ(status_.colour_, all ? kSuccess : kWarning);
  }
}

TEST_F(PrintRunTest, ReversedRangeIsPutInOrderAndAnEmptyReportPrintsNothing) {
  ReportDocument doc = Rows(5);
  RecordingCanvas canvas(4961, 7016);
  PrintOutcome out = PrintReport(doc, Texts(), 9, 2, false, "q", canvas);
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.pages, 1);
  std::vector<std::string> t = canvas.TextsOnPage(1);
  EXPECT_NE(std::find(t.begin(), t.end(), "Strona 1 z 1"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "r2"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "r5"), t.end());
  EXPECT_EQ(std::find(t.begin(), t.end(), "r1"), t.end());

  ReportDocument empty = Rows(0);
  RecordingCanvas none(4961, 7016);
  PrintOutcome nothing = PrintReport(empty, Texts(), 1, 0, false, "q", none);
  EXPECT_FALSE(nothing.ok);
  EXPECT_TRUE(none.Calls().empty());
  EXPECT_EQ(status_.text_, "Brak wierszy do wydruku");
  EXPECT_EQ(status_.colour_, kWarning);
}

TEST(ReportFileStem, FoldedAndCleaned) {
  EXPECT_EQ(ReportFileStem("zois", " za 2024 rok"_w, ""), "-ZOIS-za-2024-rok");
  EXPECT_EQ(ReportFileStem("", "01/02: \"łódź\"?"_w, "Firma Ż"_w), "0102-lodz-Firma-Z");
}

}  // namespace
}  // namespace zel
