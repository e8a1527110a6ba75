// Offscreen wiring of the F3 window's view: the desktop opens the window for
// its code, typing and keys in the editor reach the form, F4 asks the desktop
// for a list under the window's code, and Go saves and returns to the
// parameter window with kind 2.
#include "fields/qt/okna_f3_view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "fields/b_okna_f3.hpp"
#include "fields/okna_f3.hpp"
#include "fields/option_values.hpp"
#include "menu/fmen_links.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/qt/desktop_view.hpp"

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

void Key(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

// The window code comes from the desktop's activation, as in the program.
struct DeskF3Host : OknaF3Host {
  explicit DeskF3Host(FPulpit& d) : desk(d) {}
  std::uint8_t RequestedCode() override { return desk.LastActivation().kind; }
  bool FieldDeveloperMarker() override { return false; }
  FPulpit& desk;
};

class OknaF3ViewTest : public DesktopTest {
 protected:
  OknaF3ViewTest() : host(desk), form(module, metrics8, &host), services(desk) {
    App();
    Options = OptionValues{};
    previous = SetDesktopServices(&services);
    desktop = new DesktopView(desk);
    fview = new OknaF3View(form, *desktop);
    sub = desktop->AddChild(&form, fview, fview, true);
    desk.SetView(desktop);
    desk.SetWindow(FPulpit::kOknaF3, &form);
    desktop->resize(1200, 900);
    desktop->show();
    Start();
    TwoTicks();
  }
  ~OknaF3ViewTest() override {
    Options = OptionValues{};
    SetDesktopServices(previous);
    desk.SetView(nullptr);
    desk.SetWindow(FPulpit::kOknaF3, nullptr);
    delete desktop;
  }

  FixedWidthMetrics metrics8{8, 16};
  bOknaF3 module;
  DeskF3Host host;
  FOknaF3 form;
  PulpitServices services;
  DesktopServices* previous = nullptr;
  DesktopView* desktop = nullptr;
  OknaF3View* fview = nullptr;
  QMdiSubWindow* sub = nullptr;
};

TEST_F(OknaF3ViewTest, OpensForItsCodeTakesKeysAsksForListsAndSavesWithGo) {
  links.current = 55;  // the option whose parameter window asked
  desk.ShowKind(125, 1);
  TwoTicks();
  desktop->Refresh();
  ASSERT_EQ(form.Code(), 125);
  EXPECT_TRUE(sub->isVisible());
  EXPECT_TRUE(sub->windowTitle().contains(QStringLiteral("Lista wybranych kont")));
  QLineEdit* editor = fview->EditorWidget();
  ASSERT_TRUE(editor->isVisible());

  // F4 in the editor: the desktop is asked for the account list under 125.
  Key(editor, Qt::Key_F4);
  EXPECT_EQ(desk.F45Kind(), 125);
  EXPECT_EQ(desk.F45Value(), 107);
  form.SetReturnText("");
  desk.ShowKind(125, 5);  // Esc in the list
  TwoTicks();

  // Typing, Enter, Go: the mask is saved and the desktop returns to option 55.
  editor->setText(QString());
  Key(editor, Qt::Key_2, QStringLiteral("2"));
  Key(editor, Qt::Key_0, QStringLiteral("0"));
  Key(editor, Qt::Key_Asterisk, QStringLiteral("*"));
  EXPECT_EQ(form.Editor().text, "20*");
  Key(editor, Qt::Key_Return);
  EXPECT_EQ(form.CurrentSlot(), 2);
  fview->GoButton()->click();
  ASSERT_EQ(Options.masks.count, 1);
  EXPECT_EQ(Options.masks.masks[0].str(), "20*");
  EXPECT_EQ(desk.PendingKind(), 55);
  EXPECT_EQ(desk.PendingMode(), 2);
  desktop->Refresh();
  EXPECT_FALSE(sub->isVisible());
}

}  // namespace
}  // namespace zel::testing
