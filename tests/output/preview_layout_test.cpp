#include "output/preview_layout.hpp"

#include <gtest/gtest.h>

namespace zel {
namespace {

int Fixed8(std::string_view s) { return static_cast<int>(s.size()) * 8; }

TEST(PreviewLayout, PairShareOneHeadingBoxAndColumnsFollowTheWidths) {
  ReportDocument doc;
  doc.Start("n", "t", 1);
  doc.AddColumn('l', 6, "Symbol", "konta");
  doc.AddColumn('b', 14, "Obroty", "winien");
  doc.AddColumn('d', 14, "", "ma");
  doc.CloseHeader("");
  const std::vector<PreviewColumn> c = PreviewColumns(doc, 8.0);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].x, 4);
  EXPECT_EQ(c[0].w, 72);
  EXPECT_EQ(c[1].x, 4 + 72 + 6);
  EXPECT_EQ(c[1].w, 136);
  EXPECT_EQ(c[2].x, c[1].x + 136 + 6);
  EXPECT_TRUE(c[0].box);
  EXPECT_EQ(c[0].box_w, 76);
  EXPECT_TRUE(c[1].box);
  EXPECT_EQ(c[1].box_w, 136 + 136 + 10);
  EXPECT_EQ(c[1].heading1_w, 136 + 136 + 6);
  EXPECT_EQ(c[1].background_w, 142);
  EXPECT_FALSE(c[2].box);
  EXPECT_EQ(c[2].heading1_w, 0);
  EXPECT_EQ(PreviewTableWidth(c), c[2].x + 136 + 3);
}

TEST(PreviewLayout, RowsBandsAndColours) {
  EXPECT_EQ(PreviewRowBackground(1), kPreviewSurface);
  EXPECT_EQ(PreviewRowBackground(5), kPreviewSurface);
  EXPECT_EQ(PreviewRowBackground(6), kPreviewBand);
  EXPECT_EQ(PreviewRowBackground(10), kPreviewBand);
  EXPECT_EQ(PreviewRowBackground(11), kPreviewSurface);
  EXPECT_EQ(PreviewRowY(7, 5, 20), 4 * 20 + 4);

  // 200 rows, top 195, 20-pixel rows in a 500-pixel panel: top moves up
  // until the rows fill the panel.
  const PreviewRows r = PreviewRowsToDraw(195, 200, 20, 500);
  EXPECT_EQ(r.last, 200);
  EXPECT_EQ(r.top, 180);  // (200 - 180 + 5) * 20 + 4 = 504 fills 500 - 10
  const PreviewRows tall = PreviewRowsToDraw(1, 1000, 2, 5000);
  EXPECT_EQ(tall.last, 100);

  ReportDocument doc;
  doc.Start("n", "t", 1);
  doc.AddColumn('l', 5, "", "");
  doc.CloseHeader("");
  ReportPreview pv(doc);
  pv.SetFirstText("3");
  pv.SetLastText("8");
  pv.SetMarkedRow(5);
  EXPECT_EQ(PreviewTextColour(pv, 5), kPreviewRed);
  EXPECT_EQ(PreviewTextColour(pv, 4), kPreviewBlack);
  EXPECT_EQ(PreviewTextColour(pv, 2), kPreviewGrey);
  EXPECT_EQ(PreviewTextColour(pv, 9), kPreviewGrey);
}

TEST(PreviewLayout, CellsAreClippedOnTheRightAndAligned) {
  struct Case {
    const char* name;
    std::string text;
    char kind;
    int width;
    std::string fitted;
    int x;
  };
  const std::string m(1, static_cast<char>(254));
  const Case cases[] = {
      {"fits, left", "abc", 'l', 80, " abc ", 0},
      {"fits, right", "abc", 'p', 80, " abc ", 40},
      {"fits, centred", "abc", 'c', 80, " abc ", 20},
      {"too long: lost from the right", "abcdefghij", 'l', 48, " abcde", 0},
      {"marker: right", m + "abc", 'l', 80, " abc ", 40},
      {"two markers: cut, left", "ab" + m + "cd" + m + "ef", 'p', 80, " abcd ", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PreviewCell cell = FitPreviewCell(c.text, c.kind, c.width, Fixed8);
    EXPECT_EQ(cell.text, c.fitted);
    EXPECT_EQ(cell.x, c.x);
  }
}

}  // namespace
}  // namespace zel
