// The desktop's connections to the layers above the shell, made where the
// menu can see both sides:
//   - PulpitServices: the DesktopServices the menu and the field windows call
//     (ShowKind, Ending, RetF3, RetF45, F45, the clipboard), forwarded to the
//     desktop form;
//   - MenuPulpitLinks: what the desktop asks of the layers above (the current
//     option, the menu list, the bPulpit hooks, the chart load); the parts
//     beyond the menu (the parameter window, the chart store) are handed in
//     as functions by whoever builds the program.
// The bPulpit hooks themselves are defined with these links. Nothing here
// owns the desktop or the menu window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fields/b_pulpit.hpp"
#include "menu/desktop_services.hpp"
#include "menu/fmen.hpp"
#include "shell/pulpit.hpp"

namespace zel {

class PulpitServices final : public DesktopServices {
 public:
  explicit PulpitServices(FPulpit& desk) : desk_(desk) {}
  void ShowKind(std::uint8_t kind, std::uint8_t mode) override { desk_.ShowKind(kind, mode); }
  void Ending() override { desk_.Ending(); }
  void RetF3(bool escaped) override { desk_.RetF3(escaped); }
  void RetF45(bool escaped) override { desk_.RetF45(escaped); }
  void F45(std::uint8_t return_kind, std::uint8_t value, std::string_view text,
           std::uint16_t key_code) override {
    desk_.F45(return_kind, value, text, key_code);
  }
  void SetClipboard(std::string_view text) override {
    if (clipboard) clipboard(text);
  }

  std::function<void(std::string_view)> clipboard;

 private:
  FPulpit& desk_;
};

// What bPulpit's WrkZestaw asks: does the parameter window hold an
// unfinished entry (installed by whoever builds the parameter window).
void SetUnfinishedEntryCheck(std::function<bool()> check);

class MenuPulpitLinks final : public PulpitLinks {
 public:
  explicit MenuPulpitLinks(FMen* menu) : menu_(menu) {}

  std::uint8_t CurrentOption() override;
  void SetCurrentOption(std::uint8_t index) override;
  bool MenuAcceptsInput() override;
  void EnableMenu(bool on) override;
  void RestStatusPanel(std::uint32_t colour) override;
  bool LoadChart() override;
  void zRejZmie() override;
  void wRejZmie() override;
  bool WrkZestaw() override;
  bool niLeTopWr(std::uint8_t kind, std::int16_t left, std::int16_t top) override;

  std::function<bool()> load_chart;
  std::function<void(std::uint32_t)> rest_status_panel;

 private:
  FMen* menu_;
  bPulpit hooks_;
};

}  // namespace zel
