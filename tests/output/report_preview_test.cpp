#include "output/report_preview.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "shell/status.hpp"

namespace zel {
namespace {

class RecordingSink : public StatusSink {
 public:
  void Show(std::string_view text, std::uint8_t colour) override {
    text_ = text;
    colour_ = colour;
  }
  void Clear() override { text_.clear(); }
  std::string text_;
  int colour_ = -1;
};

// A document of one data row per given text (column 2), finished with 50
// rows per portrait page and 20 per landscape page, 10 rows visible.
class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { old_ = SetStatusSink(&sink_); }
  void TearDown() override { SetStatusSink(old_); }

  ReportPreview& Build(const std::vector<std::string>& cells) {
    doc_.Start("n", "t", 1);
    doc_.AddColumn('l', 10, "", "");
    doc_.AddColumn('l', 10, "", "");
    doc_.CloseHeader("");
    for (const std::string& c : cells) {
      const std::string_view row[] = {"x", c};
      doc_.AddRow(row);
    }
    preview_.Reset();
    preview_.Finish(50, 20);
    preview_.SetVisibleRows(10);
    preview_.SetPageSize(10);
    return preview_;
  }

  RecordingSink sink_;
  StatusSink* old_ = nullptr;
  ReportDocument doc_;
  ReportPreview preview_{doc_};
};

TEST_F(PreviewTest, ForwardSearchStartsAtRowOneAndWrapsAround) {
  ReportPreview& pv = Build({"kasa", "bank", "kasa", "bank"});
  pv.SetSearchText("kasa");
  EXPECT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 1);
  EXPECT_EQ(pv.SearchText(), "KASA");
  EXPECT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 3);
  EXPECT_TRUE(pv.SearchForward());  // wraps past the last row
  EXPECT_EQ(pv.MarkedRow(), 1);
  EXPECT_TRUE(pv.SearchBackward());  // wraps past row 1
  EXPECT_EQ(pv.MarkedRow(), 3);
}

TEST_F(PreviewTest, OnlyMatchOnTheMarkedRowIsNotFoundAndTheMarkStays) {
  ReportPreview& pv = Build({"a", "b", "jedyny", "c"});
  pv.SetSearchText("jedyny");
  ASSERT_TRUE(pv.SearchForward());
  ASSERT_EQ(pv.MarkedRow(), 3);
  sink_.text_.clear();
  EXPECT_FALSE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 3);
  EXPECT_EQ(sink_.text_, "Nie ma JEDYNY");
  EXPECT_EQ(sink_.colour_, kWarning);
  EXPECT_FALSE(pv.SearchBackward());
  EXPECT_EQ(pv.MarkedRow(), 3);
}

TEST_F(PreviewTest, NothingFoundWithoutMarkLeavesTheStartRow) {
  ReportPreview& pv = Build({"a", "b"});
  pv.SetSearchText("zzz");
  EXPECT_FALSE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 2);  // forward without a mark starts from the last row
  EXPECT_EQ(sink_.text_, "Nie ma ZZZ");
}

TEST_F(PreviewTest, BackwardSearchWithoutMarkLooksAtRowOneToo) {
  ReportPreview& pv = Build({"pierwszy", "b", "c"});
  pv.SetSearchText("pierwszy");
  EXPECT_TRUE(pv.SearchBackward());
  EXPECT_EQ(pv.MarkedRow(), 1);
}

TEST_F(PreviewTest, PolishTextIsFoldedAndMatchesWithOrWithoutDiacritics) {
  ReportPreview& pv = Build({"Łódź"_w, "xx", "LODZ", "lodz"});
  pv.SetSearchText("łódź"_w);
  ASSERT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.SearchText(), "LODZ");
  EXPECT_EQ(pv.MarkedRow(), 1);
  ASSERT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 3);
  ASSERT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 4);
  EXPECT_TRUE(pv.SearchIndexBuilt());
}

TEST_F(PreviewTest, SearchCentresTheView) {
  std::vector<std::string> cells(100, "x");
  cells[59] = "cel";
  cells[98] = "koniec";
  ReportPreview& pv = Build(cells);
  pv.SetSearchText("cel");
  ASSERT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.TopRow(), 60 - 5);
  pv.SetSearchText("koniec");
  ASSERT_TRUE(pv.SearchForward());
  EXPECT_EQ(pv.TopRow(), 100 - 10 + 2);
}

TEST_F(PreviewTest, SearchFieldPlaceholdersAreClearedOnEntry) {
  ReportPreview& pv = Build({"a"});
  EXPECT_EQ(pv.SearchText(), "...szukaj...");
  pv.EnterSearchField();
  EXPECT_EQ(pv.SearchText(), "");
  pv.SetSearchText(" ... od ... ");
  pv.EnterSearchField();
  EXPECT_EQ(pv.SearchText(), "");
  pv.SetSearchText("kasa");
  pv.EnterSearchField();
  EXPECT_EQ(pv.SearchText(), "kasa");
}

TEST_F(PreviewTest, PageMarkingMenuSetsOrderedLimitedRanges) {
  struct Case {
    const char* name;
    PageMark item;
    std::int32_t m;
    std::int32_t first, last;
  };
  const Case cases[] = {
      {"one portrait page from 40", PageMark::MePa1, 40, 40, 60},
      {"one landscape page from 10", PageMark::MeLa1, 10, 10, 29},
      {"two portrait pages from 1", PageMark::MePa2, 1, 1, 60},
      {"four landscape pages from 3", PageMark::MeLa4, 3, 3, 60},
      {"portrait page ending at 30", PageMark::MePag, 30, 1, 30},
      {"landscape page ending at 45", PageMark::MeLan, 45, 26, 45},
      {"whole report", PageMark::MeRap, 17, 1, 60},
      {"from here keeps the last row", PageMark::MeBeg, 12, 12, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReportPreview& pv = Build(std::vector<std::string>(60, "x"));
    pv.SetMarkedRow(c.m);
    pv.ApplyPageMark(c.item, c.m);
    EXPECT_EQ(pv.RangeFirst(), c.first);
    EXPECT_EQ(pv.RangeLast(), c.last);
    EXPECT_EQ(pv.MarkedRow(), 0);
  }
}

TEST_F(PreviewTest, ToHereAfterFromHereOrdersTheEnds) {
  ReportPreview& pv = Build(std::vector<std::string>(60, "x"));
  pv.ApplyPageMark(PageMark::MeBeg, 30);
  pv.ApplyPageMark(PageMark::MeEnd, 10);
  EXPECT_EQ(pv.FirstText(), "10");
  EXPECT_EQ(pv.LastText(), "30");
  EXPECT_TRUE(pv.InRange(10));
  EXPECT_FALSE(pv.InRange(31));
  pv.SetFirstText("abc");
  EXPECT_EQ(pv.RangeFirst(), 0);
  EXPECT_EQ(PageMarkCaption(PageMark::MePa1), "&1 stronę /tu start/ - zaznacz"_w);
}

TEST_F(PreviewTest, MouseClicksEnterRangeModeThenMarkThenSetTheRange) {
  ReportPreview& pv = Build(std::vector<std::string>(60, "x"));
  pv.ClickRow(20);
  EXPECT_EQ(pv.SearchText(), " ... od ... ");
  EXPECT_EQ(pv.MarkedRow(), 0);
  pv.ClickRow(20);
  EXPECT_EQ(pv.MarkedRow(), 20);
  pv.ClickRow(7);
  EXPECT_EQ(pv.RangeFirst(), 7);
  EXPECT_EQ(pv.RangeLast(), 20);
  EXPECT_EQ(pv.MarkedRow(), 0);
}

TEST_F(PreviewTest, KeysWheelAndScrollBarMoveTheTopRow) {
  struct Case {
    const char* name;
    std::int32_t top;
    ScrollKey key;
    std::int32_t expected;
  };
  // 100 rows, page size 10: the last full page starts at 91.
  const Case cases[] = {
      {"PgDn in the middle", 40, ScrollKey::PgDn, 50},
      {"PgDn near the end stops at the last full page", 85, ScrollKey::PgDn, 91},
      {"PgUp near the top", 7, ScrollKey::PgUp, 1},
      {"PgUp in the middle", 40, ScrollKey::PgUp, 30},
      {"Home", 40, ScrollKey::Home, 1},
      {"End", 40, ScrollKey::End, 91},
      {"Up at the top stays", 1, ScrollKey::Up, 1},
      {"Down at the last page stays", 91, ScrollKey::Down, 91},
      {"Down", 50, ScrollKey::Down, 51},
  };
  ReportPreview& pv = Build(std::vector<std::string>(100, "x"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pv.SetTopRow(c.top);
    EXPECT_EQ(pv.ScrollByKey(c.key), c.expected);
  }
  pv.SetTopRow(4);
  EXPECT_EQ(pv.Wheel(false), 1);
  pv.SetTopRow(20);
  EXPECT_EQ(pv.Wheel(false), 15);
  EXPECT_EQ(pv.Wheel(true), 20);
  pv.SetTopRow(98);
  EXPECT_EQ(pv.Wheel(true), 100);
  EXPECT_EQ(pv.ScrollTo(99), 91);
  EXPECT_EQ(pv.ScrollTo(-3), 1);
}

TEST_F(PreviewTest, ShortReportScrollsNowhere) {
  ReportPreview& pv = Build({"a", "b"});
  EXPECT_EQ(pv.ScrollByKey(ScrollKey::End), 1);
  EXPECT_EQ(pv.ScrollByKey(ScrollKey::PgDn), 1);
  EXPECT_EQ(pv.Wheel(true), 2);
}

}  // namespace
}  // namespace zel

namespace zel {
namespace {

TEST(PreviewFlags, DrawingExportAndJpkButton) {
  ReportDocument doc;
  doc.Start("n", "t", 1);
  doc.AddColumn('l', 5, "", "");
  doc.CloseHeader("");
  for (int i = 0; i < 50; ++i) {
    const std::string_view row[] = {"x"};
    doc.AddRow(row);
  }
  ReportPreview pv(doc);
  pv.SetPageSize(10);
  pv.SetTopRow(20);
  pv.SetDrawing(true);
  EXPECT_EQ(pv.ScrollByKey(ScrollKey::Home), 20);
  EXPECT_EQ(pv.Wheel(false), 20);
  pv.SetSearchText("x");
  EXPECT_FALSE(pv.SearchForward());
  EXPECT_EQ(pv.MarkedRow(), 0);
  pv.SetDrawing(false);
  EXPECT_EQ(pv.ScrollByKey(ScrollKey::Home), 1);

  EXPECT_TRUE(pv.RequestClose());
  pv.SetExporting(true);
  EXPECT_FALSE(pv.RequestClose());
  EXPECT_TRUE(pv.AbortRequested());
  pv.SetFirstText("200000");
  EXPECT_TRUE(pv.RangeEditRedraws());
  pv.SetFirstText("12");
  EXPECT_FALSE(pv.RangeEditRedraws());
  pv.SetExporting(false);
  EXPECT_TRUE(pv.RangeEditRedraws());

  EXPECT_TRUE(JpkButtonEnabled("EA"));
  EXPECT_TRUE(JpkButtonEnabled("DD"));
  EXPECT_FALSE(JpkButtonEnabled("EB"));
}

}  // namespace
}  // namespace zel
