// Stand-ins around the desktop form for its tests: a system with a fixed
// screen, arguments and program file, a view that records what it was asked,
// an asker answering from a script, child windows that count their calls,
// and a fresh Zel folder with the shell's global state reset.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/zel_test_folder.hpp"
#include "shell/file_access.hpp"
#include "shell/pulpit.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel::testing {

class FakeSystem : public PulpitSystem {
 public:
  double Seconds() override { return seconds += seconds_step; }
  int Random(int n) override { return random < n ? random : 0; }
  int ScreenWidth() override { return 1000; }
  int ScreenHeight() override { return 800; }
  std::vector<std::string> InstalledFonts() override { return fonts; }
  std::vector<std::string> Arguments() override { return args; }
  std::string ProgramPath() override { return program; }
  void FileVersion(int* major, int* minor) override {
    *major = version_major;
    *minor = version_minor;
  }
  bool StartProgram(const std::string& path, const std::vector<std::string>&) override {
    started.push_back(path);
    return true;
  }
  void Fatal(std::string_view message) override { fatal = std::string(message); }
  void Halt() override { halted = true; }

  double seconds = 0;
  double seconds_step = 0;
  int random = 3;  // c = 0: LoadPosition's cascade does not move
  std::vector<std::string> fonts = {"DejaVu Sans", "DejaVu Sans Mono", "Liberation Mono"};
  std::vector<std::string> args;
  std::string program;
  int version_major = 1;
  int version_minor = 41;
  std::vector<std::string> started;
  std::string fatal;
  bool halted = false;
};

class FakeView : public PulpitView {
 public:
  void Refresh() override { ++refreshes; }
  void ProcessMessages() override { ++processed; }
  void CloseDesktop() override { ++close_requests; }
  void SetApplicationTitle(std::string_view t) override { title = std::string(t); }
  int refreshes = 0;
  int processed = 0;
  int close_requests = 0;
  std::string title;
};

class ScriptAsker : public Asker {
 public:
  int Ask(char def, std::string_view first, std::string_view second, DeskWindow*) override {
    defaults.push_back(def);
    firsts.emplace_back(first);
    seconds.emplace_back(second);
    if (answers.empty()) return 2;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  void PressYes() override { ++yes_presses; }
  void PressBack() override { ++back_presses; }
  std::deque<int> answers;
  std::vector<char> defaults;
  std::vector<std::string> firsts;
  std::vector<std::string> seconds;
  int yes_presses = 0;
  int back_presses = 0;
};

class FakeWindow : public DeskWindow {
 public:
  explicit FakeWindow(WindowFrame jo_frame = {}) : jo_frame_(jo_frame) {}
  WindowFrame& Frame() override { return frame; }
  void Bo() override { ++bo; }
  void Jo() override {
    ++jo;
    frame = jo_frame_;
  }
  void Go(std::uint8_t mode) override {
    ++go;
    last_mode = mode;
  }
  WindowFrame frame;
  int bo = 0;
  int jo = 0;
  int go = 0;
  int last_mode = -1;

 private:
  WindowFrame jo_frame_;
};

class FixedMetrics : public DeskMetrics {
 public:
  int TextWidth(std::string_view text) override { return static_cast<int>(text.size()) * 7; }
  int TextHeight(std::string_view) override { return 14; }
};

class RecordingLinks : public PulpitLinks {
 public:
  std::uint8_t CurrentOption() override { return current; }
  void SetCurrentOption(std::uint8_t i) override { current = i; }
  bool MenuAcceptsInput() override { return menu_input; }
  void EnableMenu(bool on) override { enable_calls.push_back(on); }
  bool LoadChart() override {
    ++chart_loads;
    return true;
  }
  bool WrkZestaw() override { return unfinished; }
  bool niLeTopWr(std::uint8_t kind, std::int16_t, std::int16_t) override {
    hook_kinds.push_back(kind);
    return hook_accepts;
  }
  std::uint8_t current = 0;
  bool menu_input = true;
  std::vector<bool> enable_calls;
  int chart_loads = 0;
  bool unfinished = false;
  std::vector<std::uint8_t> hook_kinds;
  bool hook_accepts = false;
};

// Resets the shell's global state to the program's start.
inline void ResetShellState() {
  RunMode = 220;
  NetworkMode = false;
  StationExt.clear();
  DbDir.clear();
  ChartName.clear();
  ChartPath.clear();
  TempDir.clear();
  TrashDir = "Kosz\\";
  BoDate = 35795;
  BzDate = 36159;
  FromDate = 35796;
  ToDate = 36159;
  ForWhom = "Kelto-Soft";
  FirmName.clear();
  FirmId.clear();
  StationSettings = WorkstationSettings{};
  DbSettings = DatabaseSettings{};
  AltColours = false;
  NormalColour = kDeskColour;
  UserLetter = ' ';
  OpenAt = {};
  CascadeBase = {};
}

// Returns to the folder the test started in once everything else is gone
// (the Zel folder, current during the test, is removed before).
class KeepFolder {
 public:
  KeepFolder() {
    std::error_code ec;
    start_ = std::filesystem::current_path(ec);
    if (ec) start_ = std::filesystem::temp_directory_path();
  }
  ~KeepFolder() {
    std::error_code ec;
    std::filesystem::current_path(start_, ec);
  }

 private:
  std::filesystem::path start_;
};

// A desktop over a fresh Zel folder, with every stand-in wired in.
class DesktopTest : public ::testing::Test, private KeepFolder {
 protected:
  DesktopTest() : menu(WindowFrame{8, 1, 300, 400, 8, 30}) {
    ResetShellState();
    SetSettingsWait([](int) {});
    SetRetryPause([](int) {});
    // The fixed temporary-folder candidates live on drive C inside the folder.
    MakeFolder("drive_c");
    desk.SetView(&view);
    desk.SetAsker(&asker);
    desk.SetLinks(&links);
    desk.SetMetrics(&metrics);
    desk.SetProgramName("");
    desk.SetWindow(FPulpit::kMen, &menu);
    desk.SetWindow(FPulpit::kZestaw, &zestaw);
    desk.SetWindow(FPulpit::kOknaF3, &okna_f3);
    desk.SetWindow(FPulpit::kLisF45, &lis_f45);
    desk.SetWindow(FPulpit::kViewer, &viewer);
    desk.Frame().extra_width = 8;
    desk.Frame().extra_height = 30;
  }
  ~DesktopTest() override {
    SetSettingsWait(nullptr);
    SetRetryPause(nullptr);
  }

  // Writes the workstation settings file "#\Zel.BAL" with these records.
  void StationRecords(const std::string& utf8_lines) {
    MakeFolder("#");
    folder.Put("#/Zel.BAL", Utf8ToWin(utf8_lines));
  }

  // Creation and the two start-up ticks; the menu is pending afterwards.
  void Start() {
    desk.FCreat();
    desk.TiTime();
    desk.TiTime();
  }
  // Two more ticks: the pending window is activated.
  void TwoTicks() {
    desk.TiTime();
    desk.TiTime();
  }

  ZelTestFolder folder;
  FakeSystem sys;
  FakeView view;
  ScriptAsker asker;
  RecordingLinks links;
  FixedMetrics metrics;
  FakeWindow menu;
  FakeWindow zestaw;
  FakeWindow okna_f3;
  FakeWindow lis_f45;
  FakeWindow viewer;
  FPulpit desk{sys};
};

}  // namespace zel::testing
