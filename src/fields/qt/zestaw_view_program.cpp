#include "fields/qt/zestaw_view_program.hpp"

#include <QMdiSubWindow>

#include "fields/b_zestaw.hpp"
#include "fields/qt/zestaw_view.hpp"
#include "fields/qt/zestaw_view_host.hpp"
#include "fields/zestaw.hpp"
#include "shell/qt/qt_metrics.hpp"

namespace zel {

struct ParameterWindow::Parts {
  Parts(FPulpit& d, DesktopView& v) : desk(d), host(d), form(module, metrics, &host) {
    view = new ZestawView(form, v);
    sub = v.AddChild(&form, view, view, true);
    sub->setWindowTitle(QString());
  }
  FPulpit& desk;
  bZestaw module;
  QtMetrics metrics;
  QtZestawHost host;
  FZestaw form;
  ZestawView* view = nullptr;
  QMdiSubWindow* sub = nullptr;
};

ParameterWindow::ParameterWindow(FPulpit& desk, DesktopView& view)
    : parts_(std::make_unique<Parts>(desk, view)) {
  desk.SetWindow(FPulpit::kZestaw, &parts_->form);
  desk.SetPanelSink(&parts_->form);
}

ParameterWindow::~ParameterWindow() {
  parts_->desk.SetPanelSink(nullptr);
  parts_->desk.SetWindow(FPulpit::kZestaw, nullptr);
  delete parts_->sub;  // the view goes before the form it draws
}

DeskWindow& ParameterWindow::Form() {
  return parts_->form;
}
QWidget* ParameterWindow::View() {
  return parts_->view;
}

void ParameterWindow::SetOpenPreview(std::function<void()> open) {
  parts_->host.open_preview = std::move(open);
}

}  // namespace zel

namespace zel {

std::string ParameterWindow::ListPattern() const {
  return parts_->form.LastListPattern();
}

void ParameterWindow::SetListAnswer(std::string_view value, char request) {
  parts_->form.SetReturnText(value);
  parts_->form.SetListRequest(request);
}

}  // namespace zel
