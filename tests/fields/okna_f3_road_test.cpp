// The parameter window and the F3 window together: F3 on the journals'
// "Wybrane dowody" opens the selected-documents window, its Go fills the
// selection, and the field shows it when the parameter window comes back.
#include "fields/b_okna_f3.hpp"
#include "fields/okna_f3.hpp"
#include "zestaw_fixture.hpp"

namespace zel::test {
namespace {

struct ReturningHost : OknaF3Host {
  FZestaw* parameters = nullptr;
  void Closed(std::uint8_t kind) override { parameters->Go(kind); }
  bool FieldDeveloperMarker() override { return false; }
};

TEST_F(ZestawTest, SelectedDocumentsComeBackFromTheirF3Window) {
  bOknaF3 f3_module;
  ReturningHost f3_host;
  f3_host.parameters = &form;
  FOknaF3 f3(f3_module, metrics, &f3_host);
  f3.Bo();

  Open(40);
  Click("DowW");
  Key(kKeyF3);
  ASSERT_FALSE(desktop.kinds.empty());
  EXPECT_EQ(desktop.kinds.back(), std::make_pair(126, 1));
  f3.Open(126);
  f3.TypeText("fv*");
  f3.PressKey(kKeyEnter);
  f3.TypeText("kp*");
  f3.ClickGo();
  EXPECT_FALSE(f3.Shown());
  ASSERT_EQ(Options.documents.count, 2);
  EXPECT_EQ(Options.documents.masks[0].str(), "FV*");
  EXPECT_EQ(Options.documents.masks[1].str(), "KP*");
  // Two masks: the field shows the placeholder, and keeps the list when left.
  EXPECT_EQ(form.CurrentSlot(), Slot("DowW"));
  EXPECT_EQ(form.PanelText(Slot("DowW")), kPlaceholder);
  Enter();
  EXPECT_EQ(Options.documents.count, 2);

  // Esc in the F3 window changes nothing.
  Click("DowW");
  Key(kKeyF3);
  f3.Open(126);
  f3.TypeText("zz");
  f3.PressKey(kKeyEsc);
  EXPECT_EQ(Options.documents.count, 2);
  EXPECT_EQ(Options.documents.masks[0].str(), "FV*");
}

}  // namespace
}  // namespace zel::test
