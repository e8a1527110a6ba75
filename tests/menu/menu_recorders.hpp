// Recording stand-ins for the desktop, the menu window's lists and the
// status line, shared by the menu tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/cp1250.hpp"
#include "menu/baa_menu.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel::test {

struct RecordingDesktop : DesktopServices {
  std::vector<std::pair<int, int>> shown;  // (kind, mode)
  int endings = 0;
  std::string clipboard;
  void ShowKind(std::uint8_t kind, std::uint8_t mode) override { shown.emplace_back(kind, mode); }
  void Ending() override { ++endings; }
  void RetF3(bool) override {}
  void RetF45(bool) override {}
  void F45(std::uint8_t, std::uint8_t, std::string_view, std::uint16_t) override {}
  void SetClipboard(std::string_view text) override { clipboard = text; }
};

struct RecordingStatus : StatusSink {
  std::vector<std::pair<std::string, int>> shown;  // UTF-8 text, colour
  void Show(std::string_view text, std::uint8_t colour) override {
    shown.emplace_back(WinToUtf8(text), colour);
  }
  void Clear() override {}
};

struct RecordingLists : MenuLists {
  std::vector<std::string> main_lines;              // UTF-8
  std::vector<std::vector<std::string>> sub_lists;  // UTF-8, one entry per ShowSubList
  std::string open_at;
  void AddMainLine(std::string_view line) override { main_lines.push_back(WinToUtf8(line)); }
  int LineWidth(std::string_view text) const override { return static_cast<int>(text.size()) * 7; }
  void SetOpenAtMainLine(char letter) override { open_at += letter; }
  void ShowSubList(const std::vector<std::string>& lines) override {
    std::vector<std::string> utf8;
    for (const std::string& l : lines) utf8.push_back(WinToUtf8(l));
    sub_lists.push_back(utf8);
  }
};

// Installs the recorders and resets the current option and run mode.
class MenuFixture {
 public:
  MenuFixture() {
    previous_desktop_ = SetDesktopServices(&desktop);
    previous_sink_ = SetStatusSink(&status);
    saved_run_mode_ = RunMode;
    RunMode = 220;
    OptionIndex = 0;
    OptionCode.clear();
    OptionKey.clear();
    OptionCaption.clear();
    menu.Attach(&lists);
  }
  ~MenuFixture() {
    SetDesktopServices(previous_desktop_);
    SetStatusSink(previous_sink_);
    RunMode = saved_run_mode_;
  }

  RecordingDesktop desktop;
  RecordingStatus status;
  RecordingLists lists;
  baaMenu menu;

 private:
  DesktopServices* previous_desktop_;
  StatusSink* previous_sink_;
  std::uint8_t saved_run_mode_;
};

}  // namespace zel::test
