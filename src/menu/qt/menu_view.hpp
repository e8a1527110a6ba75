// The menu window's Qt view: the content of its MDI subwindow. It shows
// FMen's two lists with their fixed line height, the function-key buttons
// and the help memo where the form placed them, in the form's colours, and
// hands every key, click, double click and focus change to the form's
// handlers; after each it redraws the whole desktop from the forms' state.
// The function-key buttons let mouse presses through to the window, as the
// form expects (they are disabled there).
#pragma once

#include <QWidget>
#include <vector>

#include "menu/fmen.hpp"
#include "shell/qt/desktop_view.hpp"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zel {

class MenuView final : public QWidget, public ChildView {
  Q_OBJECT

 public:
  MenuView(FMen& form, PulpitView& desktop, QWidget* parent = nullptr);
  ~MenuView() override;

  void Sync() override;
  void Activated() override;

  QListWidget* MainList() const { return main_; }
  QListWidget* SubList() const { return sub_; }
  QPlainTextEdit* MemoWidget() const { return memo_; }
  const std::vector<QLabel*>& ButtonWidgets() const { return buttons_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool ListKey(bool main_list, QKeyEvent* key);
  void Changed();
  void FillList(QListWidget* list, const MenuList& state, std::vector<std::string>& shown);

  FMen& form_;
  PulpitView& desktop_;
  QListWidget* main_ = nullptr;
  QListWidget* sub_ = nullptr;
  QPushButton* the_end_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  std::vector<QLabel*> buttons_;
  std::vector<std::string> main_shown_;
  std::vector<std::string> sub_shown_;
  std::vector<std::string> memo_shown_;
  int line_height_shown_ = 0;
  bool syncing_ = false;
};

}  // namespace zel
