// The hint list as the desktop program builds it: the form FLisF45, its
// host (the request the desktop saved with F45 and the parameter window's
// file pattern; the answer into the parameter window's return text; the
// picture preview) and its Qt view in an MDI subwindow of the desktop.
// Construction registers the form as the desktop's list window;
// destruction takes the view down before the form and unregisters it.
#pragma once

#include <memory>

#include "shell/pulpit.hpp"
#include "shell/qt/desktop_view.hpp"

class QWidget;

namespace zel {

class FLisF45;
class ParameterWindow;

class HintListWindow {
 public:
  HintListWindow(FPulpit& desk, DesktopView& view, ParameterWindow& parameters);
  ~HintListWindow();
  HintListWindow(const HintListWindow&) = delete;
  HintListWindow& operator=(const HintListWindow&) = delete;

  FLisF45& Form();
  QWidget* View();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zel
