// The road of an F3 window through the program's windows: F3 on the
// account field of the trial balance opens the selected-accounts window,
// F4 there opens the account list under the window's code, the chosen
// account comes back into the F3 window, and its Go hands the selection to
// the parameter window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include "common/cp1250.hpp"
#include "fields/lis_f45.hpp"
#include "fields/okna_f3.hpp"
#include "fields/option_values.hpp"
#include "fields/qt/lis_f45_program.hpp"
#include "fields/qt/lis_f45_view.hpp"
#include "fields/qt/okna_f3_program.hpp"
#include "fields/qt/okna_f3_view.hpp"
#include "fields/qt/zestaw_view.hpp"
#include "fields/qt/zestaw_view_program.hpp"
#include "fields/zestaw.hpp"
#include "menu/fmen_links.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/qt/desktop_view.hpp"
#include "store/chart.hpp"

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

void Key(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

class OknaF3RoadTest : public DesktopTest {
 protected:
  OknaF3RoadTest() : services(desk) {
    App();
    Options = OptionValues{};
    previous = SetDesktopServices(&services);
    desktop = new DesktopView(desk);
    desk.SetView(desktop);
    params = std::make_unique<ParameterWindow>(desk, *desktop);
    f3 = std::make_unique<F3Window>(desk, *desktop);
    lists = std::make_unique<HintListWindow>(desk, *desktop, *params);
    lists->SetF3Window(f3.get());
    desktop->resize(1200, 900);
    desktop->show();
    Chart().Clear();
    for (const char* s : {"100", "201", "300"}) {
      AccountRecord r;
      r.symbol = s;
      r.name = std::string("Konto ") + s;
      Chart().Put(r);
    }
  }
  ~OknaF3RoadTest() override {
    Chart().Clear();
    Options = OptionValues{};
    SetDesktopServices(previous);
    lists.reset();
    f3.reset();
    params.reset();
    desk.SetView(nullptr);
    delete desktop;
  }
  void Settle() {
    TwoTicks();
    desktop->Refresh();
  }

  PulpitServices services;
  DesktopServices* previous = nullptr;
  DesktopView* desktop = nullptr;
  std::unique_ptr<ParameterWindow> params;
  std::unique_ptr<F3Window> f3;
  std::unique_ptr<HintListWindow> lists;
};

TEST_F(OknaF3RoadTest, F3OnTheAccountFieldEditsTheSelectionWithAListFromInside) {
  Start();
  TwoTicks();
  ASSERT_TRUE(OpenMenuIndex(55));
  links.current = 55;  // the program's links answer the option open
  desk.ShowKind(55, 1);
  TwoTicks();
  auto& form = dynamic_cast<FZestaw&>(params->Form());
  auto* zview = static_cast<ZestawView*>(params->View());
  const int konw = form.FindCode("KonW");
  ASSERT_GT(konw, 0);
  form.ClickSlot(konw);
  Key(zview->EditorWidget(), Qt::Key_F3);
  Settle();

  FOknaF3& window = f3->Form();
  ASSERT_TRUE(window.Shown());
  EXPECT_EQ(window.Code(), 125);
  auto* fview = static_cast<OknaF3View*>(f3->View());
  window.SetEditorText("3");
  Key(fview->EditorWidget(), Qt::Key_F4);
  Settle();

  FLisF45& list = lists->Form();
  ASSERT_TRUE(list.IsOpen());
  EXPECT_EQ(list.CurrentRequest().kind, 107);
  EXPECT_EQ(list.CurrentRequest().source, 125);
  EXPECT_EQ(EntryValue(list.EntryText(list.Selected())), "300");
  Key(static_cast<LisF45View*>(lists->View())->ListWidget(), Qt::Key_Return);
  Settle();
  EXPECT_FALSE(list.IsOpen());
  EXPECT_EQ(desk.LastActivation().kind, 125);
  EXPECT_EQ(WinToUtf8(window.SlotValue(window.CurrentSlot())), "300");

  fview->GoButton()->click();
  Settle();
  EXPECT_FALSE(window.Shown());
  ASSERT_EQ(Options.masks.count, 1);
  EXPECT_EQ(Options.masks.masks[0].str(), "300");
  EXPECT_EQ(desk.LastActivation().kind, 55);
  EXPECT_EQ(desk.LastActivation().mode, 2);
  EXPECT_EQ(form.CurrentSlot(), konw);
  EXPECT_EQ(WinToUtf8(form.PanelText(konw)), "300");
}

}  // namespace
}  // namespace zel::testing
