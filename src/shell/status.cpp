#include "shell/status.hpp"

namespace zel {

namespace {

StatusSink* sink = nullptr;
std::string last_message;

}  // namespace

StatusSink* SetStatusSink(StatusSink* s) {
  StatusSink* old = sink;
  sink = s;
  return old;
}

void ShowStatus(std::string_view text, std::uint8_t colour) {
  last_message.assign(text.substr(0, 250));
  if (sink) sink->Show(last_message, colour);
}

void ClearStatus() {
  if (sink) sink->Clear();
}

void StatusOK() {
  ShowStatus("O.K.", kSuccess);
}

const std::string& LastMessage() {
  return last_message;
}

}  // namespace zel
