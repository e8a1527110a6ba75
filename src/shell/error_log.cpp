#include "shell/error_log.hpp"

#include <string>

#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// At least two digits, and an even count up to four: 7 "07", 2019 "2019".
std::string EvenDigits(int v) {
  const std::string s = v > 0 ? std::to_string(v) : std::string();
  std::size_t n = s.size();
  while ((n % 2 == 1 || n == 0) && n < 4) ++n;
  return std::string(n - s.size(), '0') + s;
}

}  // namespace

void AssertionFailed(std::string_view message, std::string_view file, int line) {
  const auto address = reinterpret_cast<std::intptr_t>(__builtin_return_address(0));
  AssertionFailedAt(message, file, line, static_cast<std::int64_t>(address));
}

void AssertionFailedAt(std::string_view message, std::string_view file, int line,
                       std::int64_t address) {
  std::string text = "  ";
  text += Utf8ToWin(file);
  text += "  linia : ";
  text += std::to_string(line);
  text += "  adres : ";
  text += std::to_string(address);
  text += "  błąd : "_w;
  text += message;
  text += "\r\n";
  File log;
  if (!log.Open(kErrorLogPath, Access::kReadWrite, Share::kDenyNone, Disposition::kOpenAlways) ||
      !log.Append(text)) {
    const IoError e = LastIoError();
    log.Close();
    AppException("Błąd zapisu "_w + std::string(kErrorLogPath) + ": " + IoErrorText(e));
    return;
  }
  log.Close();
}

void AppException(std::string_view message) {
  ShowStatus(message.substr(0, 250), kWarning);
}

std::string ReportLogName(const DateTime& when) {
  return EvenDigits(when.year) + "-" + EvenDigits(when.month) + "-" + EvenDigits(when.day) + "~" +
         EvenDigits(when.hour) + "-" + EvenDigits(when.minute) + ".LOG";
}

bool WriteReportLog(const std::vector<std::string>& lines) {
  const std::string name = ReportLogName(Now());
  std::string text;
  for (const std::string& l : lines) {
    text += l;
    text += "\r\n";
  }
  if (WriteFileAtomically(name, text, ".$$$")) return true;
  AppException("Błąd zapisu "_w + name + ": " + IoErrorText(LastIoError()));
  return false;
}

}  // namespace zel
