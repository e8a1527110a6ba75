// The parameter window as the desktop program builds it: the business
// module bZestaw, the form FZestaw measuring with the window font, its host
// and its Qt view in an MDI subwindow of the desktop. Construction registers
// the form as the desktop's parameter window and as the second status sink
// (pSt); destruction takes the view down before the form and unregisters it.
// Kept behind this small class so that the program's main file need not
// include the form's header next to the answer dialog's.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "shell/pulpit.hpp"
#include "shell/qt/desktop_view.hpp"

class QWidget;

namespace zel {

class ParameterWindow {
 public:
  ParameterWindow(FPulpit& desk, DesktopView& view);
  ~ParameterWindow();
  ParameterWindow(const ParameterWindow&) = delete;
  ParameterWindow& operator=(const ParameterWindow&) = delete;

  DeskWindow& Form();
  QWidget* View();
  // What a finished run does to show its report (the preview's raise).
  void SetOpenPreview(std::function<void()> open);
  // The hint list the window opened last: its file pattern, and the value
  // chosen in it (before the desktop returns to the window).
  std::string ListPattern() const;
  void SetListAnswer(std::string_view value, char request = 0);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace zel
