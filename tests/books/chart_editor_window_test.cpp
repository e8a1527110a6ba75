// The account editor in its parameter window: committing a symbol loads the
// account into every field, PgUp/PgDn page through the chart, and a save's
// outcome replaces "Wykonane.".
#include "books/chart_options.hpp"
#include "chart_books_fixture.hpp"
#include "fields/zestaw_fixture.hpp"
#include "menu/current_option.hpp"

namespace zel {
namespace {

using test::ChartBuilder;

class ChartEditorWindowTest : public test::ChartBooksTest {
 protected:
  void SetUp() override {
    ChartBooksTest::SetUp();
    ChartBuilder b;
    for (int i = 1; i <= 30; ++i) {
      char symbol[8];
      std::snprintf(symbol, sizeof symbol, "%03d", 100 + i);
      b.Add(symbol, std::string("Konto ") + symbol);
    }
    WriteAndLoad(b);
    RegisterChartProcedures();
    form_.Bo();
    OptionIndex = 12;
    OptionCaption = "test";
    form_.Go(1);
  }
  void TearDown() override {
    for (std::uint8_t i : {12, 14, 15, 16, 17, 23}) UnregisterProcedure(i);
    SetOptionFieldHooks(12, nullptr);
    SetOptionFieldHooks(16, nullptr);
    ChartBooksTest::TearDown();
  }
  std::string Value(const char* code) const {
    return WinToUtf8(form_.SlotValue(form_.FindCode(code)));
  }

  test::StatusLog log_;
  test::RecordingDesktop desktop_;
  FixedWidthMetrics metrics_{8, 16};
  bZestaw module_;
  test::TestHost host_;
  FZestaw form_{module_, metrics_, &host_};
};

TEST_F(ChartEditorWindowTest, SymbolLoadsTheAccountAndPagingMovesByTen) {
  ASSERT_EQ(form_.EnterField("KonE", "105"), EnterResult::kAccepted);
  EXPECT_EQ(Value("KNaz"), "Konto 105");
  EXPECT_EQ(Value("KonX"), "105");
  EXPECT_EQ(Value("Kc"), "104 | Konto 104");
  // The cursor back in KonE: PgDn pages instead of running the option.
  form_.ClickSlot(form_.FindCode("KonE"));
  form_.PressKey(kKeyPageDown);
  EXPECT_EQ(Value("KNaz"), "Konto 115");
  EXPECT_EQ(WinToUtf8(form_.Editor().text), "115");
  form_.PressKey(kKeyPageUp);
  EXPECT_EQ(Value("KonE"), "105");

  // Saving without a change says so in place of "Wykonane.".
  form_.ClickGo();
  EXPECT_TRUE(log_.Saw("Nic się nie zmieniło", kSuccess));
  EXPECT_FALSE(log_.Saw("Wykonane."));
  EXPECT_EQ(ChartRecords(), 30u);
}

TEST_F(ChartEditorWindowTest, PassingThroughTheSymbolKeepsTypedValues) {
  ASSERT_EQ(form_.EnterField("KonE", "105"), EnterResult::kAccepted);
  ASSERT_EQ(form_.EnterField("KNaz", "Nowa nazwa"), EnterResult::kAccepted);
  // Back to the symbol and run from there: the run commits the symbol
  // again, which must not load the account over the typed name.
  form_.ClickSlot(form_.FindCode("KonE"));
  form_.ClickGo();
  EXPECT_EQ(ChartRecords(), 31u);
  EXPECT_EQ(InMemory("105").name.view(), "Nowa nazwa");
}

TEST_F(ChartEditorWindowTest, DeletingKeepsTheWindowAtTheSymbol) {
  ASSERT_EQ(form_.EnterField("KonE", "105"), EnterResult::kAccepted);
  ASSERT_EQ(form_.EnterField("KonX", ""), EnterResult::kAccepted);
  form_.ClickGo();
  EXPECT_TRUE(log_.Saw("Skasowany", kSuccess));
  EXPECT_EQ(form_.ResultText(), "");
  EXPECT_EQ(form_.CurrentSlot(), form_.FindCode("KonE"));
  EXPECT_FALSE(Chart().Contains("105"));
  // The fields show the state after the deletion, the editor too.
  EXPECT_EQ(Value("KonX"), "105");
  EXPECT_EQ(Value("KNaz"), "");
  EXPECT_EQ(Value("Kx"), "106 | Konto 106");
}

}  // namespace
}  // namespace zel
