// The F3 window as the desktop program builds it: the business module
// bOknaF3, the form FOknaF3 measuring with the window font, its host (the
// window code the desktop activated, the desktop's size, positions in the
// workstation settings) and its Qt view in an MDI subwindow. Construction
// registers the form as the desktop's F3 window; destruction takes the view
// down before the form and unregisters it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shell/pulpit.hpp"
#include "shell/qt/desktop_view.hpp"

class QWidget;

namespace zel {

class FOknaF3;

class F3Window {
 public:
  F3Window(FPulpit& desk, DesktopView& view);
  ~F3Window();
  F3Window(const F3Window&) = delete;
  F3Window& operator=(const F3Window&) = delete;

  FOknaF3& Form();
  QWidget* View();
  // The hint list the window opened last: its file pattern, and the value
  // chosen in it (before the desktop returns to the window).
  std::string ListPattern() const;
  void SetListAnswer(std::string_view value);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zel
