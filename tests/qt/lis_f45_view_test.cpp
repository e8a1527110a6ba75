// Offscreen wiring of the hint list's view: the desktop opens the list
// that F45 asked for, rows come from the form, keys and clicks reach it,
// the filter edit builds the list, the calendar answers, and the choice
// goes back to the window that asked.
#include "fields/qt/lis_f45_view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>

#include "common/cp1250.hpp"
#include "fields/lis_f45.hpp"
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

void Key(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods);
  QApplication::sendEvent(target, &press);
}

// The request the desktop saved with F45, as the program's host reads it.
struct DeskHost : ListHost {
  explicit DeskHost(FPulpit& d) : desk(d) {}
  ListRequest Request() override {
    return ListRequest{desk.F45Value(), desk.F45WasF5(), desk.F45Text(), "", desk.F45Kind()};
  }
  void Answer(const ListAnswer& a) override { answers.push_back(a); }
  FPulpit& desk;
  std::vector<ListAnswer> answers;
};

class LisF45ViewTest : public DesktopTest {
 protected:
  LisF45ViewTest() : host(desk), form(host), services(desk) {
    App();
    previous = SetDesktopServices(&services);
    desktop = new DesktopView(desk);
    lview = new LisF45View(form, *desktop);
    sub = desktop->AddChild(&form, lview, lview, false);
    desk.SetView(desktop);
    desk.SetWindow(FPulpit::kLisF45, &form);
    desktop->resize(1200, 900);
    desktop->show();
    Start();
    TwoTicks();
  }
  ~LisF45ViewTest() override {
    SetDesktopServices(previous);
    desk.SetView(nullptr);
    desk.SetWindow(FPulpit::kLisF45, nullptr);
    delete desktop;
  }
  // What a field's F4 or F5 does: F45, then the desktop's two ticks.
  void Ask(std::uint8_t kind, const char* typed, bool f5) {
    desk.F45(55, kind, typed, f5 ? 116 : 115);
    TwoTicks();
    desktop->Refresh();
  }
  // ZEL_VIEWS_GRAB=folder keeps a picture of the window for a look by eye.
  void Grab(const char* name) {
    QByteArray dir = qgetenv("ZEL_VIEWS_GRAB");
    if (dir.isEmpty()) return;
    sub->grab().save(QString::fromUtf8(dir) + QStringLiteral("/lis_f45_") +
                     QString::fromUtf8(name) + QStringLiteral(".png"));
  }
  QString Row(int i) const { return lview->ListWidget()->model()->index(i, 0).data().toString(); }

  DeskHost host;
  FLisF45 form;
  PulpitServices services;
  DesktopServices* previous = nullptr;
  DesktopView* desktop = nullptr;
  LisF45View* lview = nullptr;
  QMdiSubWindow* sub = nullptr;
};

TEST_F(LisF45ViewTest, ListOpensFromTheDeskAndAnswersBackThroughIt) {
  Ask(87, "EUR", false);
  Grab("currencies");
  EXPECT_EQ(desk.LastActivation().kind, 6);
  ASSERT_TRUE(form.IsOpen());
  EXPECT_TRUE(sub->isVisible());
  EXPECT_TRUE(sub->windowTitle().contains(QString::fromUtf8("Trzyliterowy symbol waluty")));
  QListView* list = lview->ListWidget();
  EXPECT_TRUE(list->uniformItemSizes());
  EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
  ASSERT_EQ(list->model()->rowCount(), 35);
  EXPECT_EQ(Row(7), QString::fromUtf8("EUR × euro 1EUR + cent"));
  EXPECT_EQ(list->currentIndex().row(), 7);

  Key(list, Qt::Key_Down);
  EXPECT_EQ(form.Selected(), 8u);
  EXPECT_EQ(list->currentIndex().row(), 8);
  Key(list, Qt::Key_Home);
  Key(list, Qt::Key_9, Qt::KeypadModifier);  // numeric 9 is Page Up: stays at the top
  EXPECT_EQ(form.Selected(), 0u);
  Key(list, Qt::Key_3, Qt::KeypadModifier);  // numeric 3 is Page Down
  EXPECT_EQ(form.Selected(), 10u);

  // Enter chooses; the desktop then returns to option 55 with a value.
  Key(list, Qt::Key_Return);
  ASSERT_EQ(host.answers.size(), 1u);
  EXPECT_EQ(host.answers[0].value, "GBP");
  EXPECT_EQ(desk.PendingKind(), 55);
  EXPECT_EQ(desk.PendingMode(), 4);
  desktop->Refresh();
  EXPECT_FALSE(sub->isVisible());

  // F5: the filter edit first, then the filtered rows; Esc returns with kind 5.
  Ask(87, "", true);
  EXPECT_FALSE(list->isEnabled());
  EXPECT_TRUE(lview->FilterEdit()->isEnabled());
  lview->FilterEdit()->setText(QString::fromUtf8("węgry"));
  Key(lview->FilterEdit(), Qt::Key_Return);
  EXPECT_TRUE(list->isEnabled());
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_TRUE(Row(0).startsWith(QStringLiteral("HUF")));
  Key(list, Qt::Key_Escape);
  EXPECT_EQ(host.answers.size(), 1u);
  EXPECT_EQ(desk.PendingMode(), 5);

  // The date field's F4: the month calendar; a double click answers.
  Ask(68, "150324", false);
  Grab("calendar");
  ASSERT_TRUE(lview->Calendar()->isVisible());
  EXPECT_EQ(lview->Calendar()->selectedDate(), QDate(2024, 3, 15));
  emit lview->Calendar()->activated(QDate(2045, 12, 31));
  ASSERT_EQ(host.answers.size(), 2u);
  EXPECT_EQ(host.answers[1].value, "311239");
}

}  // namespace
}  // namespace zel::testing
