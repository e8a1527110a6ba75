// Where the parameter window keeps the values of the fields it serves itself.
#include <algorithm>

#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_internal.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

bool IsWindowHeld(int n) {
  return (n >= 1 && n <= 40) || (n >= 62 && n <= 68) || n == 70 || n == 84 || n == 116 ||
         n == 119;
}

bool IsDayField(int n) {
  return n == 65 || n == 66 || n == 70 || n == 84 || n == 116 || n == 119;
}

namespace {

DayNo* DayVariable(int n) {
  switch (n) {
    case 65: return &FromDate;
    case 66: return &ToDate;
    case 70: return &Options.posting_date;
    case 84: return &Options.document_date;
    case 116: return &BoDate;
    case 119: return &BzDate;
    default: return nullptr;
  }
}

std::string Num(std::int64_t v) { return IntTextOrZero(v); }

std::int16_t Small(std::string_view v) { return static_cast<std::int16_t>(ParseInt(v)); }

}  // namespace

std::string WindowValue(int n, ZestawHost* host) {
  (void)host;
  WorkstationSettings& ws = StationSettings;
  if (DayVariable(n)) return DayToDdMmYy(*DayVariable(n));
  switch (n) {
    case 1: return ShellFields.user.str();
    case 2: return ShellFields.password.str();
    case 3: return ws.window_font.font.str();
    case 4: return ws.window_font.style.str();
    case 12: return ws.report_font.font.str();
    case 13: return ws.report_font.style.str();
    case 14: return Num(ws.report_font.size);
    case 15: return ws.report_font.letters.str();
    case 16: return Num(ws.report_font.number1);
    case 17: return Num(ws.report_font.number2);
    case 18: return ws.report_font1_used ? "T" : "N";
    case 19: return ws.report_font1.font.str();
    case 20: return ws.report_font1.style.str();
    case 21: return Num(ws.report_font1.size);
    case 22: return ws.report_font1.letters.str();
    case 23: return Num(ws.report_font1.number1);
    case 24: return Num(ws.report_font1.number2);
    case 25: return ws.print_font.font.str();
    case 26: return ws.print_font.style.str();
    case 31:
    case 36: return ShellFields.edit_folder.str();
    case 32:
    case 37: return ShellFields.edit_chart.str();
    case 33: return ShellFields.old_password.str();
    case 34: return ShellFields.new_password.str();
    case 35: return ShellFields.repeat_password.str();
    case 39: return ShellFields.template_name.str();
    case 62:
    case 63:
    case 64: return Num(DbSettings.depths[static_cast<std::size_t>(n - 62)]);
    case 67: return Options.yes67 ? "T" : "N";
    case 68: return Options.yes68 ? "T" : "N";
    default: break;
  }
  if (n >= 5 && n <= 11) return Num(ws.window_sizes[static_cast<std::size_t>(n - 5)]);
  if (n >= 1 && n <= 40) return ShellFields.other[n].str();
  return {};
}

void WindowStore(int n, std::string_view v) {
  WorkstationSettings& ws = StationSettings;
  if (DayVariable(n)) {
    // DatF is typed as digits only and completed from its template; the
    // other dates arrive complete (DDMMYY).
    *DayVariable(n) = n == 84 ? (v.empty() ? DayNo{0} : DayFromInput(v)) : DayFromDdMmYy(v);
    return;
  }
  switch (n) {
    case 1: ShellFields.user = v; return;
    case 2: ShellFields.password = v; return;
    case 3: ws.window_font.font = v; return;
    case 4: ws.window_font.style = v; return;
    case 12: ws.report_font.font = v; return;
    case 13: ws.report_font.style = v; return;
    case 14: ws.report_font.size = Small(v); return;
    case 15: ws.report_font.letters = v; return;
    case 16: ws.report_font.number1 = Small(v); return;
    case 17: ws.report_font.number2 = Small(v); return;
    case 18: ws.report_font1_used = v == "T"; return;
    case 19: ws.report_font1.font = v; return;
    case 20: ws.report_font1.style = v; return;
    case 21: ws.report_font1.size = Small(v); return;
    case 22: ws.report_font1.letters = v; return;
    case 23: ws.report_font1.number1 = Small(v); return;
    case 24: ws.report_font1.number2 = Small(v); return;
    case 25: ws.print_font.font = v; return;
    case 26: ws.print_font.style = v; return;
    case 31:
    case 36: ShellFields.edit_folder = v; return;
    case 32:
    case 37: ShellFields.edit_chart = v; return;
    case 33: ShellFields.old_password = v; return;
    case 34: ShellFields.new_password = v; return;
    case 35: ShellFields.repeat_password = v; return;
    case 39: ShellFields.template_name = v; return;
    case 62:
    case 63:
    case 64:
      DbSettings.depths[static_cast<std::size_t>(n - 62)] =
          static_cast<std::int16_t>(std::clamp(ParseInt(v), 0, 25));
      return;
    case 67: Options.yes67 = v == "T"; return;
    case 68: Options.yes68 = v == "T"; return;
    default: break;
  }
  if (n >= 5 && n <= 11) {
    ws.window_sizes[static_cast<std::size_t>(n - 5)] = Small(v);
    return;
  }
  if (n >= 1 && n <= 40) ShellFields.other[n] = v;
}

std::uint8_t WindowListKind(int n, std::string* pattern) {
  pattern->clear();
  switch (n) {
    case 3: case 12: case 19: case 25: return 70;
    case 4: case 13: case 20: case 26: return 66;
    case 5: case 14: case 21: return 67;
    case 15: case 22: return 80;
    case 16: case 23: return 81;
    case 24: return 79;
    case 31: case 36: *pattern = "PFX"; return 75;
    case 32: case 37: *pattern = "PFX"; return 175;
    case 39: *pattern = "WZO"; return 90;
    case 65: case 66: case 70: case 84: case 116: case 119: return 68;
    case 69: *pattern = "DFX"; return 90;
    default: return 0;
  }
}

bool HasNoList(int n) {
  return (n >= 0 && n <= 2) || n == 17 || (n >= 28 && n <= 30) || n == 38 || (n >= 62 && n <= 64);
}

bool HasNoF3(int n) {
  return (n >= 0 && n <= 38) || (n >= 62 && n <= 66) || n == 70 || n == 116 || n == 119;
}

}  // namespace zel
