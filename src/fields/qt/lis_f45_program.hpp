// The hint list as the desktop program builds it: the form FLisF45, its
// host (the request the desktop saved with F45 and the asking window's
// file pattern; the answer into the return text of the parameter window or
// of the F3 window, whichever asked; the position under "F45"; the picture
// preview) and its Qt view in an MDI subwindow of the desktop.
// Construction registers the form as the desktop's list window;
// destruction takes the view down before the form and unregisters it.
#pragma once

#include <memory>

#include "shell/pulpit.hpp"
#include "shell/qt/desktop_view.hpp"

class QWidget;

namespace zel {

class F3Window;
class FLisF45;
class ParameterWindow;

class HintListWindow {
 public:
  HintListWindow(FPulpit& desk, DesktopView& view, ParameterWindow& parameters);
  ~HintListWindow();
  HintListWindow(const HintListWindow&) = delete;
  HintListWindow& operator=(const HintListWindow&) = delete;

  // The F3 window, which opens lists of its own: their answers go back to it.
  void SetF3Window(F3Window* f3);

  FLisF45& Form();
  QWidget* View();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zel
