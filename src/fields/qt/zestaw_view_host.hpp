// What the parameter window asks of its surroundings in the desktop program:
// the installed printers, the desktop's size and status bar, the message
// loop while an option runs, and the preview that a finished run opens.
// Owned by the program; it refers to the desktop form and view it is given,
// which must outlive it.
#pragma once

#include <functional>

#include "fields/zestaw.hpp"
#include "shell/pulpit.hpp"

namespace zel {

class QtZestawHost final : public ZestawHost {
 public:
  explicit QtZestawHost(FPulpit& desk) : desk_(desk) {}

  std::vector<std::string> Printers() override;
  // The one current printer, shared with the preview.
  std::string CurrentPrinter() override;
  void SetCurrentPrinter(std::string_view name) override;
  void OpenPreview() override {
    if (open_preview) open_preview();
  }
  void ShowProgress(std::string_view title, std::string_view counts) override;
  void ProcessMessages() override { desk_.ProcessMessages(); }
  void DeveloperMessage(std::string_view caption, std::string_view text) override;
  int ScreenHeight() override;
  int DesktopWidth() override { return desk_.ClientWidth(); }
  int DesktopHeight() override { return desk_.ClientHeight(); }

  // Brings the preview to the front (set by the program).
  std::function<void()> open_preview;

 private:
  FPulpit& desk_;
};

}  // namespace zel
