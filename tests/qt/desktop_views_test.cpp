// Offscreen wiring tests of the desktop, menu and answer-dialog views: each
// view shows its form's state and hands keys and clicks to the form.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/cp1250.hpp"
#include "fields/qt/answer_dialog_view.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/fmen.hpp"
#include "menu/fmen_links.hpp"
#include "menu/qt/menu_view.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/qt/desktop_view.hpp"
#include "shell/qt/qt_metrics.hpp"

// Fontconfig keeps a small cache for the process's life; the leak checker of
// the sanitizer build is told so.
// So are a few one-time tables of the Qt application object itself.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:QColormap::initialize\n"
         "leak:QApplicationPrivate::initialize\n";
}

namespace zel::testing {
namespace {

// One application object for the whole binary, taken down after the last test.
class QtAppEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { delete QCoreApplication::instance(); }
};

QApplication& App() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);
  return *new QApplication(argc, argv);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at) {
  QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &e);
}

void Key(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

// The desktop and the menu window with their views, over the test stand-ins.
class ViewTest : public DesktopTest {
 protected:
  ViewTest() : services(desk), fmen(desk, hooks, qt_metrics) {
    App();
    view = new DesktopView(desk);
    menu_view = new MenuView(fmen, *view);
    view->AddChild(&fmen, menu_view, menu_view, true);
    SetDesktopServices(&services);
    desk.SetView(view);
    desk.SetMetrics(&qt_metrics);
    desk.SetWindow(FPulpit::kMen, &fmen);
    desk.Frame().extra_width = 0;
    desk.Frame().extra_height = 0;
    OptionKey.clear();
    view->show();
    Start();
    TwoTicks();
  }
  ~ViewTest() override {
    SetDesktopServices(nullptr);
    desk.SetView(nullptr);
    delete view;
  }

  QtMetrics qt_metrics;
  baaMenu hooks;
  PulpitServices services;
  FMen fmen;
  DesktopView* view = nullptr;
  MenuView* menu_view = nullptr;
};

TEST_F(ViewTest, DesktopShowsTheStatusLineCornerAndTimer) {
  ShowStatus("Komunikat próbny"_w, kSuccess);
  EXPECT_EQ(view->StatusText(), QString::fromUtf8(" Komunikat próbny"));
  EXPECT_EQ(view->CornerText(), QtText(desk.CornerText()));
  EXPECT_EQ(view->geometry().width(), desk.Frame().width);
  desk.ShowKind(3, 2);
  EXPECT_EQ(desk.Interval(), 12);
  view->Start();
  EXPECT_EQ(view->TimerInterval(), 12);
}

TEST_F(ViewTest, EscOnTheDesktopAsksAndTheAnswerCloses) {
  asker.answers = {0};
  Key(view, Qt::Key_Escape);
  ASSERT_EQ(asker.seconds.size(), 1u);
  EXPECT_EQ(asker.seconds[0], "Czy już koniec pracy ?"_w);
  EXPECT_FALSE(desk.CloseConfirmation());
  // The close comes from the event loop; the settings are written then.
  for (int i = 0; i < 5 && view->isVisible(); ++i) QApplication::processEvents();
  EXPECT_FALSE(view->isVisible());
  EXPECT_NE(folder.Get("#/Zel.BAL").find("PulpitLT.xxx"), std::string::npos);
}

TEST_F(ViewTest, MenuViewShowsTheListsAndForwardsKeys) {
  QListWidget* main = menu_view->MainList();
  ASSERT_EQ(main->count(), 16);
  EXPECT_EQ(main->item(5)->text(), QString::fromUtf8(" E - syntetyka i analityka"));
  EXPECT_EQ(main->currentRow(), 1);
  EXPECT_FALSE(menu_view->SubList()->isVisibleTo(menu_view));
  EXPECT_TRUE(menu_view->ButtonWidgets()[1]->isVisibleTo(menu_view));
  EXPECT_EQ(menu_view->ButtonWidgets()[1]->text(), QStringLiteral("Okienka  F1"));

  Key(main, 0, QStringLiteral("e"));
  EXPECT_TRUE(menu_view->SubList()->isVisibleTo(menu_view));
  EXPECT_EQ(menu_view->SubList()->count(), 13);
  EXPECT_EQ(menu_view->SubList()->currentRow(), 1);
  EXPECT_FALSE(menu_view->ButtonWidgets()[1]->isVisibleTo(menu_view));

  Key(menu_view->SubList(), 0, QStringLiteral("b"));
  EXPECT_EQ(OptionIndex, 56);
  EXPECT_EQ(desk.PendingKind(), 56);

  Key(menu_view->SubList(), Qt::Key_Escape);
  EXPECT_FALSE(menu_view->SubList()->isVisibleTo(menu_view));

  Key(main, Qt::Key_F9);
  EXPECT_EQ(OptionIndex, 134);
}

TEST_F(ViewTest, MenuViewForwardsClicksOnTheButtons) {
  const MenuButton& f4 = fmen.Buttons()[3];
  QPoint at(f4.left + 3, f4.top + 3);
  Mouse(menu_view, QEvent::MouseButtonPress, at);
  EXPECT_EQ(view->StatusText().left(2), QStringLiteral("X="));
  Mouse(menu_view, QEvent::MouseButtonRelease, at);
  EXPECT_EQ(OptionIndex, 138);
}

TEST_F(ViewTest, DoubleClickChoosesAMainLine) {
  QListWidget* main = menu_view->MainList();
  emit main->itemDoubleClicked(main->item(3));
  EXPECT_EQ(fmen.Main().selected, 3);
  EXPECT_TRUE(fmen.Sub().visible);
  EXPECT_EQ(CurrentGroup, 'C');
}

TEST(AnswerDialogViewTest, AskWaitsForTheKeysAndAnswers) {
  App();
  struct Row {
    const char* name;
    char def;
    int key;
    const char* text;
    int result;
  };
  const Row rows[] = {
      {"Enter takes the default No", 'N', Qt::Key_Return, "\r", 1},
      {"Enter takes the default Yes", 'T', Qt::Key_Return, "\r", 0},
      {"y answers Yes", 'N', Qt::Key_Y, "y", 0},
      {"n answers No", 'T', Qt::Key_N, "n", 1},
      {"Esc goes back", 'T', Qt::Key_Escape, "", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AnswerDialogView dialog;
    dialog.owner_rect = [](DeskWindow*) { return QRect(100, 100, 600, 400); };
    QTimer::singleShot(30, &dialog, [&] {
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(dialog.Form().Line2(), "Czy już koniec pracy ?"_w);
      EXPECT_TRUE(dialog.Form().Underlined(row.def == 'T' ? 1 : 2));
      Key(&dialog, row.key, QString::fromLatin1(row.text));
    });
    int answer = dialog.Ask(row.def, "Zel.", "Czy już koniec pracy ?"_w, nullptr);
    EXPECT_EQ(answer, row.result);
    EXPECT_FALSE(dialog.isVisible());
  }
}

TEST(AnswerDialogViewTest, ClickingAButtonAnswers) {
  App();
  AnswerDialogView dialog;
  QTimer::singleShot(30, &dialog, [&] {
    const OdpowiLayout& l = dialog.Form().Layout();
    QPoint at(l.pa.left + l.pz.left + l.nie.left + 3, l.pa.top + l.pz.top + l.nie.top + 3);
    Mouse(&dialog, QEvent::MouseButtonPress, at);
    Mouse(&dialog, QEvent::MouseButtonRelease, at);
  });
  EXPECT_EQ(dialog.Ask('T', "Plik zapisany.", "Skasować poprzedni opis ?"_w, nullptr), 1);
}

}  // namespace
}  // namespace zel::testing
