// Shared pieces of the field-set and dispatch tests: a status recorder, a
// shell host and a field set reset with fixed-width metrics (7 pixels a
// character, texts 13 pixels high).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/cp1250.hpp"
#include "fields/field_set.hpp"
#include "fields/shell_field_sets.hpp"
#include "fields/text_metrics.hpp"
#include "menu/current_option.hpp"
#include "shell/status.hpp"

namespace zel::test {

struct StatusRecorder : StatusSink {
  std::vector<std::pair<std::string, int>> shown;  // UTF-8 text, colour
  StatusRecorder() { previous_ = SetStatusSink(this); }
  ~StatusRecorder() override { SetStatusSink(previous_); }
  void Show(std::string_view text, std::uint8_t colour) override {
    shown.emplace_back(WinToUtf8(text), colour);
  }
  void Clear() override {}

 private:
  StatusSink* previous_;
};

struct ShellHostRecorder : ShellFieldHost {
  std::string folder, chart;  // Windows-1250
  int lock_closes = 0;
  ShellHostRecorder() { previous_ = SetShellFieldHost(this); }
  ~ShellHostRecorder() override { SetShellFieldHost(previous_); }
  void SetEditFolder(std::string_view f) override { folder = f; }
  void SetEditChart(std::string_view c) override { chart = c; }
  void CloseStationLock() override { ++lock_closes; }
  std::string PrinterName() override { return "HP"; }

 private:
  ShellFieldHost* previous_;
};

struct Declaring {
  FixedWidthMetrics metrics{7, 13};
  FieldSet fields;
  Declaring() { fields.Reset(metrics, FieldAppearance{}, 30); }
  // Makes the index current as the menu would.
  static void Open(int index, const char* key = "", const char* caption = "") {
    OptionIndex = static_cast<std::uint8_t>(index);
    OptionKey = key;
    OptionCaption = Utf8ToWin(caption);
  }
};

}  // namespace zel::test
