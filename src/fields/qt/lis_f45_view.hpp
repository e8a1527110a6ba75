// The hint list's Qt view: the content of FLisF45's MDI subwindow.
//
// A list over a model of uniform rows in a fixed-pitch bold font (the list
// may be a view over a whole chart of 90.000 accounts: rows are read from
// the form only when drawn), the buttons "Zmień", "Skasuj", "O.K." and
// "Wróć", the filter edit PreE and the search edit PosE, the waiting panel
// during a build, and the month calendar of the date list. Keys, clicks and
// edits go to the form unchanged; the view decides nothing. It does not own
// the form; it owns its widgets.
#pragma once

#include <QWidget>
#include <cstdint>

#include "shell/qt/desktop_view.hpp"

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace zel {

class FLisF45;
class HintListModel;

class LisF45View final : public QWidget, public ChildView {
  Q_OBJECT

 public:
  LisF45View(FLisF45& form, PulpitView& desktop, QWidget* parent = nullptr);
  ~LisF45View() override;

  void Sync() override;
  void Activated() override;

  // The widgets, for the tests.
  QListView* ListWidget() const { return list_; }
  QLineEdit* FilterEdit() const { return pre_; }
  QLineEdit* SearchEdit() const { return pos_; }
  QPushButton* GoButton() const { return go_; }
  QPushButton* EscButton() const { return esc_; }
  QCalendarWidget* Calendar() const { return calendar_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed();

  FLisF45& form_;
  PulpitView& desktop_;
  HintListModel* model_ = nullptr;
  QListView* list_ = nullptr;
  QLabel* heading_ = nullptr;
  QLabel* wait_ = nullptr;
  QPushButton* ren_ = nullptr;
  QPushButton* del_ = nullptr;
  QLineEdit* pre_ = nullptr;
  QLineEdit* pos_ = nullptr;
  QPushButton* go_ = nullptr;
  QPushButton* esc_ = nullptr;
  QCalendarWidget* calendar_ = nullptr;
  std::uint32_t generation_shown_ = 0;
  bool syncing_ = false;
};

}  // namespace zel
