// A status sink that records every message, installed for one test's life,
// with the retry pause and the settings wait made instant and counted.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "shell/file_access.hpp"
#include "shell/settings.hpp"
#include "shell/status.hpp"

namespace zel::testing {

class StatusRecorder : public StatusSink {
 public:
  StatusRecorder() {
    previous_ = SetStatusSink(this);
    SetRetryPause([this](int ms) {
      ++pauses;
      pause_ms.push_back(ms);
    });
    SetSettingsWait([this](int ms) {
      ++waits;
      wait_ms = ms;
    });
  }
  ~StatusRecorder() override {
    SetStatusSink(previous_);
    SetRetryPause(nullptr);
    SetSettingsWait(nullptr);
  }
  StatusRecorder(const StatusRecorder&) = delete;
  StatusRecorder& operator=(const StatusRecorder&) = delete;

  void Show(std::string_view text, std::uint8_t colour) override {
    shown.emplace_back(std::string(text), colour);
  }
  void Clear() override { ++clears; }

  bool Saw(std::string_view text) const {
    for (const auto& s : shown) {
      if (s.first == text) return true;
    }
    return false;
  }

  std::vector<std::pair<std::string, std::uint8_t>> shown;
  int clears = 0;
  int pauses = 0;
  std::vector<int> pause_ms;
  int waits = 0;
  int wait_ms = 0;

 private:
  StatusSink* previous_ = nullptr;
};

}  // namespace zel::testing
