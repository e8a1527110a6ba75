// The F3 window's Qt view: the content of FOknaF3's MDI subwindow. It paints
// the laid-out slots as the parameter window's view does, keeps the editor
// and the "F" button over the current panel, shows bEsc, bGo and the status
// panel, and hands every key and click to the form unchanged.
#pragma once

#include <QWidget>

#include "shell/qt/desktop_view.hpp"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zel {

class FOknaF3;

class OknaF3View final : public QWidget, public ChildView {
  Q_OBJECT

 public:
  OknaF3View(FOknaF3& form, PulpitView& desktop, QWidget* parent = nullptr);
  ~OknaF3View() override;

  void Sync() override;
  void Activated() override;

  QLineEdit* EditorWidget() const { return editor_; }
  QPushButton* GoButton() const { return go_; }
  QPushButton* EscButton() const { return esc_; }
  QLabel* StatusPanel() const { return status_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Changed();

  FOknaF3& form_;
  PulpitView& desktop_;
  QLineEdit* editor_ = nullptr;
  QLabel* fbutton_ = nullptr;
  QPushButton* go_ = nullptr;
  QPushButton* esc_ = nullptr;
  QLabel* status_ = nullptr;
  bool syncing_ = false;
  bool growing_ = false;
};

}  // namespace zel
