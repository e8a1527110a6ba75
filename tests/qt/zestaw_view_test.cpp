// Offscreen wiring of the parameter window's view: the editor travels with
// the form's current slot, keys and typing reach the form unchanged, clicks
// on panels enter their slots, and the print bar grows the window.
#include "fields/qt/zestaw_view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/cp1250.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/qt/zestaw_view_host.hpp"
#include "fields/zestaw.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "output/print_targets.hpp"
#include "output/report_outputs.hpp"
#include "shell/pulpit_fixture.hpp"
#include "shell/qt/desktop_view.hpp"
#include "shell/qt/qt_metrics.hpp"

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

void Key(QWidget* target, int key, const QString& text = QString(),
         Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
}

void Click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(target->mapToGlobal(at)), button,
                    button, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(target->mapToGlobal(at)),
                      button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// The desktop with the parameter window and its view, opened for one option.
class ZestawViewTest : public DesktopTest {
 protected:
  ZestawViewTest() : form(module, qt_metrics) {
    App();
    desktop = new DesktopView(desk);
    zview = new ZestawView(form, *desktop);
    sub = desktop->AddChild(&form, zview, zview, true);
    desk.SetView(desktop);
    desk.SetMetrics(&qt_metrics);
    desk.SetWindow(FPulpit::kZestaw, &form);
    desktop->resize(1200, 900);
    desktop->show();
  }
  ~ZestawViewTest() override {
    desk.SetView(nullptr);
    desk.SetWindow(FPulpit::kZestaw, nullptr);
    delete desktop;
  }

  void Open(std::uint8_t index) {
    ASSERT_TRUE(OpenMenuIndex(index));
    form.Bo();
    form.Go(1);
    desktop->Refresh();
    Grab(std::to_string(index));
  }

  // ZEL_VIEWS_GRAB=folder keeps a picture of the window for a look by eye.
  void Grab(const std::string& name) {
    QByteArray dir = qgetenv("ZEL_VIEWS_GRAB");
    if (dir.isEmpty()) return;
    zview->grab().save(QString::fromUtf8(dir) + QStringLiteral("/zestaw_") +
                       QString::fromStdString(name) + QStringLiteral(".png"));
  }

  // The centre of a slot's panel in the view.
  QPoint PanelCentre(int slot) const {
    const FieldSlot& s = form.Fields().Slot(slot);
    return QPoint(s.left + s.panel_width / 2, s.top + 6);
  }

  int NextEditable(int from) const {
    for (int s = from + 1; s <= form.SlotCount(); ++s) {
      if (form.Fields().Slot(s).Editable()) return s;
    }
    return 0;
  }

  QtMetrics qt_metrics;
  bZestaw module;
  FZestaw form;
  DesktopView* desktop = nullptr;
  ZestawView* zview = nullptr;
  QMdiSubWindow* sub = nullptr;
};

// The parameter window's PDF choices always find a target: the built-in PDF
// stands last in its printer list, and the current printer is the one the
// preview uses too.
TEST_F(ZestawViewTest, PdfChoicesFindTheBuiltInTargetAndShareTheCurrentPrinter) {
  QtZestawHost host(desk);
  const std::vector<std::string> printers = host.Printers();
  ASSERT_FALSE(printers.empty());
  EXPECT_EQ(printers.back(), kBuiltInPdfPrinter);
  FZestaw with_host(module, qt_metrics, &host);
  EXPECT_TRUE(with_host.PdfEnabled());
  host.SetCurrentPrinter("HP");
  EXPECT_EQ(CurrentPrinterName(), "HP");
  CurrentPrinterName() = "Brother";
  EXPECT_EQ(host.CurrentPrinter(), "Brother");
  CurrentPrinterName().clear();
}

TEST_F(ZestawViewTest, EditorFollowsTheCurrentSlotAndKeysReachTheForm) {
  Open(55);
  ASSERT_GT(form.CurrentSlot(), 0);
  QLineEdit* ed = zview->EditorWidget();
  ASSERT_TRUE(ed->isVisibleTo(zview));
  EXPECT_EQ(zview->GoButton()->text(), QtText(form.GoCaption()));
  EXPECT_EQ(zview->EscButton()->text(), QStringLiteral("Anuluj"));

  struct Step {
    const char* name;
    int key;
  };
  for (const Step& step :
       {Step{"Enter moves forward", Qt::Key_Return}, Step{"Down moves forward", Qt::Key_Down},
        Step{"Tab moves back", Qt::Key_Tab}, Step{"Up moves back", Qt::Key_Up}}) {
    SCOPED_TRACE(step.name);
    const int before = form.CurrentSlot();
    Key(ed, step.key);
    const int now = form.CurrentSlot();
    if (step.key == Qt::Key_Tab || step.key == Qt::Key_Up) {
      EXPECT_LE(now, before);
    } else {
      EXPECT_EQ(now, NextEditable(before));
    }
    const ZestawEditor& e = form.Editor();
    EXPECT_EQ(ed->geometry().topLeft(), QPoint(e.left, e.top));
    EXPECT_EQ(ed->text(), QtText(e.text));
    EXPECT_EQ(ed->maxLength(), e.max_length);
    // Entering a slot selects its whole text.
    if (!e.text.empty()) {
      EXPECT_EQ(ed->selectedText(), ed->text());
    }
  }
}

TEST_F(ZestawViewTest, ClicksEnterPanelsAndTypingGoesThroughTheFormsFilters) {
  Open(55);
  QLineEdit* ed = zview->EditorWidget();
  // A click on a panel enters that slot; the editor and the F button follow.
  const int jpk = form.FindCode("JPKo");
  const int depth = form.FindCode("Pod3");
  ASSERT_GT(jpk, 0);
  ASSERT_GT(depth, 0);
  for (int slot : {depth, jpk}) {
    SCOPED_TRACE(slot);
    Click(zview, PanelCentre(slot));
    ASSERT_EQ(form.CurrentSlot(), slot);
    EXPECT_EQ(ed->geometry().topLeft(), QPoint(form.Editor().left, form.Editor().top));
    EXPECT_TRUE(zview->FButtonWidget()->isVisibleTo(zview));
    EXPECT_EQ(zview->FButtonWidget()->geometry().right() + 1, form.Fields().Slot(slot).right);
  }
  // The user's edit goes to the form, whose upper-case filter answers.
  ed->selectAll();
  ed->insert(QStringLiteral("x"));
  EXPECT_EQ(form.Editor().text, "X");
  EXPECT_EQ(ed->text(), QStringLiteral("X"));
  // A click outside every panel re-enters the current slot.
  Click(zview, QPoint(3, zview->height() - 3));
  EXPECT_EQ(form.CurrentSlot(), jpk);
}

TEST_F(ZestawViewTest, CommandKeysMapToTheFormsKeyNumbers) {
  Open(55);
  QLineEdit* ed = zview->EditorWidget();
  // F3 on a field without an F3 window, F4 where no list exists: the form
  // answers in pSt, and the view shows that text in the status panel.
  const int depth = form.FindCode("Pod1");
  ASSERT_GT(depth, 0);
  Click(zview, PanelCentre(depth));
  ASSERT_EQ(form.CurrentSlot(), depth);
  Key(ed, Qt::Key_F3);
  EXPECT_EQ(form.StatusText(), "Tu  F3  nie działa !"_w);
  EXPECT_EQ(zview->StatusPanel()->text(), QtText(" " + form.StatusText()));
  Key(ed, Qt::Key_F4);
  EXPECT_EQ(form.StatusText(), "Tu  F4 i F5  nie działa !"_w);
  // Esc closes the window: it collapses and its subwindow goes.
  Key(ed, Qt::Key_Escape);
  EXPECT_TRUE(form.Frame().Collapsed());
  desktop->Refresh();
  EXPECT_FALSE(sub->isVisible());
}

TEST_F(ZestawViewTest, PrintBarShowsTheFormsChoicesAndGrowsTheWindow) {
  Open(40);
  ASSERT_TRUE(form.PrintBarShown());
  EXPECT_TRUE(zview->PrintBar()->isVisibleTo(zview));
  EXPECT_GT(zview->PrintBarHeight(), 0);
  // The widgets stand where the form laid them out: the bar above pSt.
  const ZestawLayout& d = form.Drawing();
  EXPECT_EQ(form.Frame().ClientHeight(), d.client_height);
  EXPECT_EQ(zview->PrintBar()->geometry(),
            QRect(d.print_bar.left, d.print_bar.top, d.print_bar.width, d.print_bar.height));
  EXPECT_GE(zview->StatusPanel()->geometry().top(), zview->PrintBar()->geometry().bottom());
  EXPECT_EQ(zview->GoButton()->geometry(), QRect(d.go.left, d.go.top, d.go.width, d.go.height));
  QComboBox* czyn = zview->ActionCombo();
  ASSERT_EQ(czyn->count(), static_cast<int>(form.Actions().size()));
  EXPECT_EQ(czyn->itemText(0), QString::fromUtf8(" Podgląd"));
  if (czyn->count() > 1) {
    czyn->activated(1);
    EXPECT_EQ(form.SelectedAction(), 1);
    EXPECT_EQ(zview->GoButton()->text(), QtText(form.GoCaption()));
    EXPECT_TRUE(zview->PrintBar()->findChild<QPushButton*>(QStringLiteral("pDom"))->isEnabled());
  }
  // A second Sync keeps the height (the bar is added once).
  const int h = form.Frame().height;
  desktop->Refresh();
  EXPECT_EQ(form.Frame().height, h);
}

TEST_F(ZestawViewTest, RunBracketShowsTheMemoOverGoAndHidesTheEditor) {
  Open(55);
  ASSERT_TRUE(zview->EditorWidget()->isVisibleTo(zview));
  form.OpenRunBracket();
  desktop->Refresh();
  ASSERT_TRUE(zview->MemoWidget()->isVisibleTo(zview));
  EXPECT_FALSE(zview->EditorWidget()->isVisibleTo(zview));
  EXPECT_FALSE(zview->FButtonWidget()->isVisibleTo(zview));
  const QRect go = zview->GoButton()->geometry();
  const QRect memo = zview->MemoWidget()->geometry();
  EXPECT_EQ(memo.topLeft(), go.topLeft() + QPoint(4, 4));
  EXPECT_EQ(memo.width(), go.width() - 9);
  EXPECT_EQ(memo.height(), go.height() - 9);
  // Keys in the memo reach the form: any other key is shown by its number.
  Key(zview->MemoWidget(), Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(form.StatusText().rfind("Key = #", 0), 0u);
  form.CloseRunBracket();
  desktop->Refresh();
  EXPECT_FALSE(zview->MemoWidget()->isVisibleTo(zview));
}

}  // namespace
}  // namespace zel::testing
