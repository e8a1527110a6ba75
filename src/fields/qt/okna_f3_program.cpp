#include "fields/qt/okna_f3_program.hpp"

#include <QMdiSubWindow>

#include "common/numbers.hpp"
#include "fields/b_okna_f3.hpp"
#include "fields/okna_f3.hpp"
#include "fields/qt/okna_f3_view.hpp"
#include "shell/qt/qt_metrics.hpp"
#include "shell/settings.hpp"

namespace zel {

namespace {

class QtOknaF3Host final : public OknaF3Host {
 public:
  explicit QtOknaF3Host(FPulpit& desk) : desk_(desk) {}
  std::uint8_t RequestedCode() override { return desk_.LastActivation().kind; }
  int DesktopWidth() override { return desk_.ClientWidth(); }
  int DesktopHeight() override { return desk_.ClientHeight(); }
  // Positions live in the workstation settings as "<key>LT" = left;top.
  bool ReadPosition(std::string_view key, Point16* p) override {
    std::string full(key);
    full += "LT";
    ReadSetting(false, full);
    if (!SettingFound() || SettingNumber(2) <= 0) return false;
    p->left = SettingNumber(1);
    p->top = SettingNumber(2);
    return true;
  }
  void WritePosition(std::string_view key, Point16 p) override { desk_.SavePosition(key, p.left, p.top); }

 private:
  FPulpit& desk_;
};

}  // namespace

struct F3Window::Parts {
  Parts(FPulpit& d, DesktopView& v) : desk(d), host(d), form(module, metrics, &host) {
    view = new OknaF3View(form, v);
    sub = v.AddChild(&form, view, view, true);
  }
  FPulpit& desk;
  bOknaF3 module;
  QtMetrics metrics;
  QtOknaF3Host host;
  FOknaF3 form;
  OknaF3View* view = nullptr;
  QMdiSubWindow* sub = nullptr;
};

F3Window::F3Window(FPulpit& desk, DesktopView& view) : parts_(std::make_unique<Parts>(desk, view)) {
  desk.SetWindow(FPulpit::kOknaF3, &parts_->form);
}

F3Window::~F3Window() {
  parts_->desk.SetWindow(FPulpit::kOknaF3, nullptr);
  delete parts_->sub;  // the view goes before the form it draws
}

FOknaF3& F3Window::Form() { return parts_->form; }
QWidget* F3Window::View() { return parts_->view; }
std::string F3Window::ListPattern() const { return parts_->form.LastListPattern(); }
void F3Window::SetListAnswer(std::string_view value) { parts_->form.SetReturnText(value); }

}  // namespace zel
