// Every option index opened, filled and run through the parameter window
// without a view.
#include "fields/zestaw_fixture.hpp"

#include "fields/zestaw_rules.hpp"

namespace zel::test {
namespace {

// A value every field of that number accepts.
std::string ValueFor(int n, const std::string& folder) {
  switch (n) {
    case 65: return "010624";
    case 66: return "300624";
    case 62: return "1";
    case 63: return "2";
    case 64: return "3";
    case 67: case 68: return "T";
    case 31: case 36: return folder;
    case 32: case 37: return "PLAN";
    case 1: return "jan";
    default: break;
  }
  if (IsWindowDateField(n) || n == 84) return "150624";
  if (IsNumericField(n)) return "5";
  return "A";
}

TEST_F(ZestawTest, EveryOptionOpensFillsAndRuns) {
  ShortFolder folder;
  folder.Touch("PLAN.PFX");
  DbDir = folder.Path() + "\\";  // option 139 edits the chart within the current folder
  for (int index = 1; index <= 144; ++index) {
    SCOPED_TRACE(index);
    status.shown.clear();
    Open(index);
    if (index == 2) {
      // The test start runs as soon as its window opens.
      EXPECT_TRUE(status.SawPrefix("Wykonuję -> "));
      continue;
    }
    ASSERT_TRUE(form.Shown());
    ASSERT_GE(form.SlotCount(), 1);
    for (int s = 1; s <= form.SlotCount(); ++s) {
      const FieldSlot& fs = form.Fields().Slot(s);
      if (!fs.Editable() || form.State() != kZesWaiting) continue;
      form.ClickSlot(s);
      if (form.CurrentSlot() != s) continue;  // a table header or footer
      form.SetEditorText(ValueFor(fs.number, folder.Path()));
      for (int tries = 0; tries < 3 && form.CurrentSlot() == s; ++tries) {
        form.ClickSlot(s);
        if (form.MoveReason() != kMoveCorrected) break;
      }
    }
    if (!form.Shown()) Open(index);
    form.ClickGo();
    EXPECT_TRUE(status.SawPrefix("Wykonuję -> "));
    EXPECT_NE(form.State(), kZesRunning);
    EXPECT_NE(form.State(), kZesBusy);
    EXPECT_NE(form.State(), kZesAbort);
  }
}

}  // namespace
}  // namespace zel::test
