// The road of a hint list through the program's windows: F4 on the account
// field of the trial balance asks the desktop, the list opens at the typed
// text over the chart, Enter chooses, and the parameter window gets the
// account back in its editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include "common/cp1250.hpp"
#include "fields/lis_f45.hpp"
#include "fields/qt/lis_f45_program.hpp"
#include "fields/qt/lis_f45_view.hpp"
#include "fields/qt/zestaw_view.hpp"
#include "fields/qt/zestaw_view_program.hpp"
#include "fields/zestaw.hpp"
#include "menu/current_option.hpp"
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

class HintListRoadTest : public DesktopTest {
 protected:
  HintListRoadTest() : services(desk) {
    App();
    previous = SetDesktopServices(&services);
    desktop = new DesktopView(desk);
    desk.SetView(desktop);
    params = std::make_unique<ParameterWindow>(desk, *desktop);
    lists = std::make_unique<HintListWindow>(desk, *desktop, *params);
    desktop->resize(1200, 900);
    desktop->show();
    Chart().Clear();
    for (const char* s : {"100", "201", "202", "300"}) {
      AccountRecord r;
      r.symbol = s;
      r.name = std::string("Konto ") + s;
      Chart().Put(r);
    }
  }
  ~HintListRoadTest() override {
    Chart().Clear();
    SetDesktopServices(previous);
    lists.reset();
    params.reset();
    desk.SetView(nullptr);
    delete desktop;
  }

  PulpitServices services;
  DesktopServices* previous = nullptr;
  DesktopView* desktop = nullptr;
  std::unique_ptr<ParameterWindow> params;
  std::unique_ptr<HintListWindow> lists;
};

TEST_F(HintListRoadTest, F4OnTheAccountFieldPicksAnAccountIntoTheEditor) {
  Start();
  TwoTicks();
  ASSERT_TRUE(OpenMenuIndex(55));
  desk.ShowKind(55, 1);
  TwoTicks();
  auto& form = dynamic_cast<FZestaw&>(params->Form());
  auto* zview = static_cast<ZestawView*>(params->View());
  const int konw = form.FindCode("KonW");
  ASSERT_GT(konw, 0);
  form.ClickSlot(konw);
  ASSERT_EQ(form.CurrentSlot(), konw);
  form.SetEditorText("202");
  Key(zview->EditorWidget(), Qt::Key_F4);
  TwoTicks();
  desktop->Refresh();

  FLisF45& list = lists->Form();
  ASSERT_TRUE(list.IsOpen());
  EXPECT_EQ(list.CurrentRequest().kind, 107);
  EXPECT_EQ(list.CurrentRequest().source, 55);
  EXPECT_EQ(EntryValue(list.EntryText(list.Selected())), "202");
  auto* lview = static_cast<LisF45View*>(lists->View());
  Key(lview->ListWidget(), Qt::Key_Down);  // the free numbers after 202
  Key(lview->ListWidget(), Qt::Key_Down);
  EXPECT_EQ(EntryValue(list.EntryText(list.Selected())), "300");
  Key(lview->ListWidget(), Qt::Key_Return);
  TwoTicks();
  desktop->Refresh();
  EXPECT_FALSE(list.IsOpen());
  EXPECT_EQ(desk.LastActivation().kind, 55);
  EXPECT_EQ(desk.LastActivation().mode, 4);
  EXPECT_EQ(form.CurrentSlot(), konw);
  EXPECT_EQ(form.Editor().text, "300");
  EXPECT_EQ(zview->EditorWidget()->text(), QStringLiteral("300"));
}

}  // namespace
}  // namespace zel::testing
