// A hint list's "Skasuj" and "Zmień" requests acted on by the parameter
// window: the value is taken and the cursor moves on; "Skasuj" empties the
// next field and runs the option, "Zmień" waits there for the new name.
#include "zestaw_fixture.hpp"

namespace zel::test {
namespace {

TEST_F(ZestawTest, ListDeleteAndRenameRequestsActOnTheNextField) {
  int runs = 0;
  Procedure p(55, [&](OptionServices&) { ++runs; });
  struct Row {
    char request;
    int runs;
    bool moved;
  };
  const Row rows[] = {{0, 0, false}, {'R', 0, true}, {'D', 1, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.request == 0 ? '-' : row.request);
    runs = 0;
    Open(55);
    Click("DaOd");
    const int from = form.CurrentSlot();
    Key(kKeyF4);
    form.SetReturnText("200624");
    form.SetListRequest(row.request);
    form.Go(4);
    EXPECT_EQ(FromDate, Day("200624"));
    EXPECT_EQ(runs, row.runs);
    if (row.runs == 0) {
      EXPECT_EQ(form.CurrentSlot() > from, row.moved);
    }
  }
}

}  // namespace
}  // namespace zel::test
