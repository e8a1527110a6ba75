// A status sink that keeps every message, for the store tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shell/status.hpp"

namespace zel::test {

class StatusCapture : public StatusSink {
 public:
  StatusCapture() { previous_ = SetStatusSink(this); }
  ~StatusCapture() override { SetStatusSink(previous_); }
  void Show(std::string_view text, std::uint8_t colour) override {
    messages.emplace_back(std::string(text), colour);
  }
  void Clear() override {}

  // How many messages of the colour contain the text.
  int Count(std::string_view text, std::uint8_t colour) const {
    int n = 0;
    for (const auto& [t, c] : messages)
      if (c == colour && t.find(text) != std::string::npos) ++n;
    return n;
  }

  std::vector<std::pair<std::string, std::uint8_t>> messages;

 private:
  StatusSink* previous_ = nullptr;
};

}  // namespace zel::test
