// The parameter window's Qt view: the content of FZestaw's MDI subwindow.
//
// It paints what the form laid out (the title, the caption labels, the value
// panels - lowered for editable slots, flat maroon text for display-only
// ones - the dotted leader lines, the engraved separators and frame) and
// keeps a few widgets in step with the form's state: the one editor that
// travels over the current panel, the "F" button, bEnt/bTab/bGo/bEsc, the
// status panel pSt, the memo over Go during a run and the print bar. Every
// key, click and edit goes to the form unchanged; the view decides nothing.
// Texts cross into Qt only through WinToUtf8/Utf8ToWin. The view does not
// own the form; it owns its widgets.
//
// The header names FZestaw only by declaration: the form's key numbers and
// the answer dialog's Qt key codes share names, so the two headers never
// meet in one file (the program wires this window through ParameterWindow
// in zestaw_view_program.hpp).
#pragma once

#include <QWidget>
#include <string>

#include "shell/qt/desktop_view.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zel {

class FZestaw;

class ZestawView final : public QWidget, public ChildView {
  Q_OBJECT

 public:
  ZestawView(FZestaw& form, PulpitView& desktop, QWidget* parent = nullptr);
  ~ZestawView() override;

  void Sync() override;
  void Activated() override;

  // Height the print bar adds below the buttons (0 when the option has none).
  int PrintBarHeight() const;

  // The widgets, for the tests.
  QLineEdit* EditorWidget() const { return editor_; }
  QLabel* FButtonWidget() const { return fbutton_; }
  QPushButton* GoButton() const { return go_; }
  QPushButton* EscButton() const { return esc_; }
  QLabel* StatusPanel() const { return status_; }
  QPlainTextEdit* MemoWidget() const { return memo_; }
  QWidget* PrintBar() const { return print_bar_; }
  QComboBox* ActionCombo() const { return czyn_; }
  QComboBox* PrinterCombo() const { return druk_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed();  // the form moved: redraw the desktop and this view
  bool EditorKey(QKeyEvent* key);
  void SyncPrintBar();
  void Grow();
  int LineHeight() const;

  FZestaw& form_;
  PulpitView& desktop_;
  QLineEdit* editor_ = nullptr;
  QLabel* fbutton_ = nullptr;
  QPushButton* ent_ = nullptr;
  QPushButton* tab_ = nullptr;
  QPushButton* go_ = nullptr;
  QPushButton* esc_ = nullptr;
  QLabel* status_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QWidget* print_bar_ = nullptr;
  QPushButton* pdom_ = nullptr;
  QComboBox* czyn_ = nullptr;
  QPushButton* ppod_ = nullptr;
  QPushButton* ppdf_ = nullptr;
  QPushButton* pzap_ = nullptr;
  QComboBox* druk_ = nullptr;
  QPushButton* opdf_ = nullptr;
  QLabel* ltw_ = nullptr;
  std::string actions_shown_;
  std::string printers_shown_;
  std::string title_shown_;
  int slots_shown_ = -1;
  bool fancy_frame_ = false;
  bool syncing_ = false;
  bool growing_ = false;
};

}  // namespace zel
