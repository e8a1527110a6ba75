// The status line: the one place where the program talks to the user without
// interrupting. Messages go to a sink (the desktop's status bar and the
// parameter window's status panel); tests and zel-batch install their own.
//
// Colours: 0 warning or error (orange), 1 success (green), 2 progress or
// information (blue).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

inline constexpr std::uint8_t kWarning = 0;
inline constexpr std::uint8_t kSuccess = 1;
inline constexpr std::uint8_t kInfo = 2;

// Whoever draws the status line. The sink also processes pending window
// messages, so progress stays visible during long runs.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void Show(std::string_view text, std::uint8_t colour) = 0;
  virtual void Clear() = 0;
};

// Installs the sink (nullptr: messages only update LastMessage). The caller
// keeps ownership. Returns the previous sink.
StatusSink* SetStatusSink(StatusSink* sink);

void ShowStatus(std::string_view text, std::uint8_t colour);  // text cut to 250
void ClearStatus();
void StatusOK();  // ShowStatus("O.K.", 1)
const std::string& LastMessage();

}  // namespace zel
