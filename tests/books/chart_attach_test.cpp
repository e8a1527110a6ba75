// Attaching a chart: the attached file is read as a log of versions, the
// report lists only real differences, the question decides, and the merge
// leaves the chart file and its refresh position alone.
#include "books/chart_options.hpp"
#include "chart_books_fixture.hpp"
#include "output/report_document.hpp"

namespace zel {
namespace {

using test::ChartBuilder;

class ChartAttachTest : public test::ChartBooksTest {
 protected:
  void SetUp() override {
    ChartBooksTest::SetUp();
    ChartBuilder mine;
    mine.Add("100", "Kasa");
    mine.Add("201", "Odbiorcy");
    mine.Add("202", "Dostawcy");
    mine.Add("202-01", "Beta", "Kraków"_w);
    WriteAndLoad(mine);
    // The attached chart as years of edits left it: an old version of 201
    // that differs, then the version equal to ours; 202-01 deleted there;
    // 100 really differs; 203 and 150 are new.
    ChartBuilder other;
    other.Add("201", "Odbiorcy krajowi");
    other.Add("100", "Kasa główna"_w);
    other.Add("203", "Inne rozrachunki");
    other.Add("202-01", "Beta", "Kraków"_w);
    other.Add("150", "Krótkoterminowe papiery");
    other.Add("201", "Odbiorcy");
    other.Delete("202-01");
    ASSERT_TRUE(other.WriteToNative(folder_.Db("OBCY.PFX")));
    SetOptionText(kFieldDoPl, "OBCY");
  }
  test::RecordingWindow Attach(const char* answers, const char* keep) {
    asker_.Script(answers);
    SetOptionText(kFieldZaOp, keep);
    test::RecordingWindow w;
    AttachChart(w);
    return w;
  }
  // The data rows of the report, symbol and name.
  static std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    const ReportDocument& doc = CurrentReport();
    for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
      if (doc.RowKind(r) == '0')
        rows.push_back(WinToUtf8(doc.Cell(r, 1)) + " " + WinToUtf8(doc.Cell(r, 3)));
    }
    return rows;
  }
};

TEST_F(ChartAttachTest, OnlyLatestVersionsAreCompared) {
  Attach("T", "N");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"100 Kasa", "100 Kasa główna"}));
  EXPECT_EQ(status_.Count("Dołączany plan zawiera konta z inną zawartością"_w, kInfo), 1);
  EXPECT_EQ(asker_.asked, (std::vector<std::string>{"Przerwać operację łączenia ?"}));
}

TEST_F(ChartAttachTest, AnswersDecideTheMerge) {
  struct Case {
    const char* answers;
    const char* keep;
    bool merged;
    const char* name100;
  } cases[] = {
      {"T", "N", false, "Kasa"},
      {"P", "N", false, "Kasa"},  // "Powrót" is no consent either
      {"N", "T", true, "Kasa"},
      {"N", "N", true, "Kasa główna"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.answers) + c.keep);
    SetUp();
    const std::uint64_t consumed = Chart().Consumed();
    const test::RecordingWindow w = Attach(c.answers, c.keep);
    EXPECT_EQ(w.error, "");
    EXPECT_EQ(Chart().Contains("203"), c.merged);
    EXPECT_EQ(Chart().Contains("150"), c.merged);
    std::size_t slot = 0;
    ASSERT_TRUE(Chart().Contains("100", &slot));
    EXPECT_EQ(WinToUtf8(Chart().At(slot).name.view()), c.name100);
    // A deletion in the attached chart does not remove our account.
    EXPECT_TRUE(Chart().Contains("202-01"));
    EXPECT_EQ(Chart().Consumed(), consumed);
    EXPECT_EQ(ChartRecords(), 4u);
    // The table stays sorted: every symbol is found where it is.
    for (std::size_t s = 1; s < Chart().Count(); ++s) {
      EXPECT_EQ(Chart().Find(Chart().SymbolAt(s).view()), s);
    }
  }
}

TEST_F(ChartAttachTest, SameChartNeedsNoWarningAndMissingFileIsNamed) {
  ChartBuilder same;
  same.Add("201", "Odbiorcy");
  ASSERT_TRUE(same.WriteToNative(folder_.Db("TEN.PFX")));
  SetOptionText(kFieldDoPl, "TEN");
  test::RecordingWindow w = Attach("N", "N");
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(status_.Count("Wszystko wydaje się być O.K."_w, kInfo), 1);
  EXPECT_EQ(w.outcome, "Dołączono kont: 1");

  SetOptionText(kFieldDoPl, "BRAK");
  w = Attach("N", "N");
  EXPECT_EQ(w.error_field, kFieldDoPl);
  EXPECT_EQ(w.error, "Nie ma DB\\BRAK.PFX");
  EXPECT_TRUE(asker_.asked.empty());
}

}  // namespace
}  // namespace zel
