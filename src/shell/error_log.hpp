// The error log and the exception report: failed assertions are appended to
// "#\Zel.BAD" and the program carries on; a message of an exception that
// reaches the event loop goes to the status line in colour 0; the desktop's
// report memo (ErrRap) can be saved to a dated ".LOG" file.
//
// A log line is "  " file "  linia : " line "  adres : " address
// "  błąd : " message, in Windows-1250, ended by CR LF. The log is only
// appended to, created when missing, never shortened. Nothing here throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folders.hpp"

namespace zel {

inline constexpr std::string_view kErrorLogPath = "#\\Zel.BAD";

// The assertion handler: appends one line to the error log and returns. The
// address is the caller's code address (the assertion's place). When the log
// cannot be written, the failure is reported like an exception: a message
// in the status line, colour 0.
[[gnu::noinline]] void AssertionFailed(std::string_view message, std::string_view file, int line);
// The same with an address given (tests).
void AssertionFailedAt(std::string_view message, std::string_view file, int line,
                       std::int64_t address);

// Shows the message (cut to 250) in the status line in colour 0.
void AppException(std::string_view message);

// The name of the report memo's log file for a moment: year "-" month "-"
// day "~" hour "-" minute ".LOG", each number at least two digits
// ("2019-03-07~09-05.LOG").
std::string ReportLogName(const DateTime& when);
// Saves the lines to ReportLogName(Now()) in the Zel folder, replacing a file
// of that name. False (and a message in the status line) when it fails.
bool WriteReportLog(const std::vector<std::string>& lines);

}  // namespace zel

// Checks a condition; when it fails, the error log gains a line and the
// program goes on.
#define ZEL_ASSERT(condition, message)                                       \
  do {                                                                       \
    if (!(condition)) ::zel::AssertionFailed((message), __FILE__, __LINE__); \
  } while (0)
