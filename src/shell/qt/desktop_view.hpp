// The desktop's Qt view: a QMainWindow holding a QMdiArea for the child
// windows, the red left strip, the corner panel with the date and the close
// button, the two-panel status bar and the waiting panel. It draws FPulpit's
// state, runs the form's timer at the interval the form asks for, and
// forwards clicks, drags, Esc and the close request; every decision is the
// form's.
//
// Child windows are added with AddChild: the view puts the content widget
// into an MDI subwindow and keeps that subwindow's geometry, visibility and
// stacking in step with the form's frame (and the frame with moves the user
// makes). The view does not own the forms; it owns its widgets.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "shell/pulpit.hpp"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

namespace zel {

// A child window's view, refreshed with the desktop.
class ChildView {
 public:
  virtual ~ChildView() = default;
  virtual void Sync() = 0;
  // The subwindow became the active child window.
  virtual void Activated() {}
};

class StatusBarWidget;

class DesktopView final : public QMainWindow, public PulpitView {
  Q_OBJECT

 public:
  explicit DesktopView(FPulpit& form);
  ~DesktopView() override;

  // Wraps the content in an MDI subwindow tied to the form's frame and sets
  // the frame's border sizes. `title` follows the given caption getter.
  QMdiSubWindow* AddChild(DeskWindow* form, QWidget* content, ChildView* sync,
                          bool fixed_border);
  QMdiArea* Area() const { return area_; }
  // The client area of a child window in screen coordinates (the answer
  // dialog centres over it); the desktop's own when the form is unknown.
  QRect ClientRectOnScreen(DeskWindow* form) const;
  // Starts the form's timer (after FCreat).
  void Start();

  // PulpitView.
  void Refresh() override;
  void ProcessMessages() override;
  void CloseDesktop() override;
  void SetApplicationTitle(std::string_view title) override;

  // For the tests: the texts shown.
  QString StatusText() const;
  QString CornerText() const;
  int TimerInterval() const { return armed_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Child {
    DeskWindow* form;
    QMdiSubWindow* sub;
    ChildView* view;
    std::uint32_t raised;
  };

  void Tick();
  void LayOut();
  void SyncChildren();

  FPulpit& form_;
  QTimer timer_;
  int armed_ = 0;
  QWidget* central_ = nullptr;
  QWidget* strip_ = nullptr;
  QMdiArea* area_ = nullptr;
  StatusBarWidget* status_ = nullptr;
  QWidget* corner_ = nullptr;
  QLabel* corner_label_ = nullptr;
  QToolButton* close_button_ = nullptr;
  QLabel* wait_panel_ = nullptr;
  std::vector<Child> children_;
  bool syncing_ = false;
  bool closing_ = false;
  WindowFrame applied_;
};

}  // namespace zel
