// The answer dialog's Qt view and the desktop's asker: Ask fills the
// FOdpowi form, shows this frameless window over the owner and runs a nested
// event loop until the form has an answer, so timers and the other windows
// keep running meanwhile. The view draws the form's layout (Pa, Pz, the two
// lines and the three buttons with their underline and pressed look) and
// forwards keys, mouse presses and the passing of time; the form decides.
// The view owns its form; the owner lookup is the caller's.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "fields/answer_dialog.hpp"
#include "shell/pulpit_ports.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

class AnswerDialogView final : public QWidget, public Asker {
  Q_OBJECT

 public:
  explicit AnswerDialogView(QWidget* parent = nullptr);

  // Where an owner window's client area lies on the screen, and the
  // desktop's left edge.
  std::function<QRect(DeskWindow*)> owner_rect;
  std::function<int()> desktop_left;

  // Asker.
  int Ask(char default_answer, std::string_view first_line, std::string_view second_line,
          DeskWindow* owner) override;
  void PressYes() override;
  void PressBack() override;

  FOdpowi& Form() { return form_; }
  // Called whenever a key, click or tick changed the form: redraw, and end
  // the wait when the form is done.
  void Changed();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  QRect Box(const DialogBox& b) const;  // a button or label box in client coordinates
  int ChoiceAt(QPoint p) const;

  FOdpowi form_;
  QtMetrics metrics_;
  QTimer ticker_;
  QElapsedTimer clock_;
  std::function<void()> quit_;
  int down_ = 0;
};

}  // namespace zel
