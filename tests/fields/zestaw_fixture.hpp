// The parameter window without a view: a recording desktop and host, a
// status recorder, fixed-width metrics (8 pixels a character, 16 high) and
// the program's variables reset to their defaults before every test.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/hooks.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel::test {

struct RecordingDesktop : DesktopServices {
  struct ListCall {
    int return_kind;
    int list;
    std::string text;
    int key;
  };
  std::vector<std::pair<int, int>> kinds;  // ShowKind(kind, mode)
  std::vector<ListCall> lists;
  RecordingDesktop() { previous_ = SetDesktopServices(this); }
  ~RecordingDesktop() override { SetDesktopServices(previous_); }
  void ShowKind(std::uint8_t kind, std::uint8_t mode) override { kinds.emplace_back(kind, mode); }
  void Ending() override {}
  void RetF3(bool) override {}
  void RetF45(bool) override {}
  void F45(std::uint8_t return_kind, std::uint8_t value, std::string_view text,
           std::uint16_t key_code) override {
    lists.push_back({return_kind, value, std::string(text), key_code});
  }
  void SetClipboard(std::string_view) override {}

 private:
  DesktopServices* previous_;
};

struct TestHost : ZestawHost {
  std::vector<std::string> printers;
  std::string current;
  std::vector<std::string> printer_history;  // every printer made current
  int previews = 0;
  std::vector<std::string> progress;  // UTF-8 "title|counts"
  std::function<void()> on_messages;
  std::map<std::string, int> choices;  // "Zes-" keys
  std::vector<std::uint8_t> shell_runs;
  std::vector<std::string> developer_messages;  // UTF-8 captions
  std::vector<std::string> developer_texts;     // UTF-8 texts
  int closed = 0;
  char letter = 'A';
  bool first_start = false;
  bool marker = false;
  std::string clipboard;  // Windows-1250

  char UserLetter() override { return letter; }
  bool FirstStartMode() override { return first_start; }
  bool FieldDeveloperMarker() override { return marker; }
  std::string ClipboardText() override { return clipboard; }

  void DeveloperMessage(std::string_view caption, std::string_view text) override {
    developer_messages.push_back(WinToUtf8(caption));
    developer_texts.push_back(WinToUtf8(text));
  }

  std::vector<std::string> Printers() override { return printers; }
  std::string CurrentPrinter() override { return current; }
  void SetCurrentPrinter(std::string_view name) override {
    current = std::string(name);
    printer_history.push_back(current);
  }
  void OpenPreview() override { ++previews; }
  void ShowProgress(std::string_view title, std::string_view counts) override {
    progress.push_back(WinToUtf8(title) + "|" + WinToUtf8(counts));
  }
  void ProcessMessages() override {
    if (on_messages) on_messages();
  }
  int ReadActionChoice(std::string_view key) override {
    auto it = choices.find(std::string(key));
    return it == choices.end() ? 0 : it->second;
  }
  void WriteActionChoice(std::string_view key, int choice) override {
    choices[std::string(key)] = choice;
  }
  bool RunShellOption(std::uint8_t index) override {
    shell_runs.push_back(index);
    return true;
  }
  void Closed(std::uint8_t option_index) override {
    ++closed;
    ZestawHost::Closed(option_index);
  }
};

struct StatusLog : StatusSink {
  std::vector<std::pair<std::string, int>> shown;  // UTF-8, colour
  StatusLog() { previous_ = SetStatusSink(this); }
  ~StatusLog() override { SetStatusSink(previous_); }
  void Show(std::string_view text, std::uint8_t colour) override {
    shown.emplace_back(WinToUtf8(text), colour);
  }
  void Clear() override {}
  bool Saw(const std::string& utf8, int colour = -1) const {
    for (const auto& [t, c] : shown) {
      if (t == utf8 && (colour < 0 || c == colour)) return true;
    }
    return false;
  }
  bool SawPrefix(const std::string& utf8) const {
    for (const auto& [t, c] : shown) {
      if (t.rfind(utf8, 0) == 0) return true;
    }
    return false;
  }

 private:
  StatusSink* previous_;
};

// Registers a procedure for the life of the object.
struct Procedure {
  std::uint8_t index;
  Procedure(std::uint8_t i, OptionProcedure p) : index(i) { RegisterProcedure(i, std::move(p)); }
  ~Procedure() { UnregisterProcedure(index); }
};

inline DayNo Day(const char* ddmmyy) { return DayFromDdMmYy(ddmmyy); }

class ZestawTest : public ::testing::Test {
 protected:
  StatusLog status;
  RecordingDesktop desktop;
  FixedWidthMetrics metrics{8, 16};
  bZestaw module;
  TestHost host;
  FZestaw form{module, metrics, &host};

  void SetUp() override {
    Options = OptionValues{};
    ShellFields = ShellValues{};
    DbSettings = DatabaseSettings{};
    StationSettings = WorkstationSettings{};
    Today = Day("100624");
    FillTemplate = "";
    BoDate = Day("010124");
    BzDate = Day("311224");
    FromDate = Day("010624");
    ToDate = Day("300624");
    DbDir = "";
    ChartName = "";
    SetDeveloperMode(false);
    form.Bo();
  }

  void Open(int index) {
    OptionIndex = static_cast<std::uint8_t>(index);
    OptionKey = "";
    OptionCode = "";
    OptionCaption = "test";
    form.Go(1);
  }
  void Type(const std::string& utf8) { form.TypeText(Utf8ToWin(utf8)); }
  void Key(std::uint16_t key) { form.PressKey(key); }
  void Enter() { form.PressKey(kKeyEnter); }
  std::string Editor() const { return WinToUtf8(form.Editor().text); }
  std::string Panel(int slot) const { return WinToUtf8(form.PanelText(slot)); }
  std::string Go() const { return WinToUtf8(form.GoCaption()); }
  int Slot(const char* code) const { return form.FindCode(code); }
  // Puts the cursor into the slot of the code (by a click).
  void Click(const char* code) { form.ClickSlot(Slot(code)); }
};

// A temporary folder, as a native path without a trailing "/", removed at
// the end.
struct TempFolder {
  std::filesystem::path path;
  TempFolder() {
    char tmpl[] = "/tmp/zel-zestaw-XXXXXX";
    char* made = mkdtemp(tmpl);
    path = made ? made : "/tmp";
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string Path() const { return path.string(); }
  void Touch(const std::string& name) const {
    FILE* f = std::fopen((path / name).c_str(), "wb");
    if (f) std::fclose(f);
  }
};

// A folder with a short relative name (fields that take eight characters),
// made in the current folder and removed at the end.
struct ShortFolder {
  std::filesystem::path path;
  ShortFolder() {
    path = "zf" + std::to_string(static_cast<long>(getpid()) % 100000);
    std::error_code ec;
    std::filesystem::create_directory(path, ec);
  }
  ~ShortFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string Path() const { return path.string(); }
  void Touch(const std::string& name) const {
    FILE* f = std::fopen((path / name).c_str(), "wb");
    if (f) std::fclose(f);
  }
};

}  // namespace zel::test
