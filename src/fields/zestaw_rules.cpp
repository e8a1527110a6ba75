#include "fields/zestaw_rules.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"

namespace zel {

bool IsWindowDateField(int n) { return n == 65 || n == 66 || n == 70 || n == 116 || n == 119; }

bool IsNumericField(int n) {
  return (n >= 5 && n <= 11) || n == 14 || n == 16 || n == 17 || n == 21 || n == 23 || n == 24 ||
         IsWindowDateField(n) || n == 84;
}

DateCompletion CompleteDate(std::string_view typed, std::string_view tmpl) {
  DateCompletion out;
  std::string t(tmpl);
  if (t.empty()) t = DayToDdMmYy(Today);
  std::string text(typed);
  if (text.size() % 2 == 1) text.insert(text.begin(), '0');
  if (!text.empty()) {
    for (std::size_t i = text.size(); i < 6 && i < t.size(); ++i) text += t[i];
  }
  if (text.size() < 6) {
    out.too_short = true;
    return out;
  }
  DayNo day = DayFromDdMmYy(text);
  if (day > kLastDay) {
    day = kLastDay;
    out.bad = true;
  }
  out.day = day;
  out.value = DayToDdMmYy(day);
  if (out.value != std::string_view(text).substr(0, 6)) out.bad = true;
  return out;
}

const std::array<std::string_view, 16> FontList = {
    "a Arial",         "b Comic Sans MS", "c Consolas",      "d Courier New",
    "f Fixedsys",      "i Impact",        "l Lucida console", "m Marlett",
    "n Minion Web",    "o Myriad Web",    "p MS Sans Serif", "q MS Serif",
    "r Bodiac pl",     "s System",        "t Tahoma",        "v Verdana"};

std::string CompleteFont(std::string_view value) {
  std::string key = UpperPl(value);
  while (!key.empty()) {
    int contains = -1;
    for (int i = static_cast<int>(FontList.size()) - 1; i >= 0; --i) {
      std::string entry = UpperPl(FontList[static_cast<std::size_t>(i)]);
      std::size_t at = entry.find(key);
      if (at == 0) return std::string(FontList[static_cast<std::size_t>(i)]);
      // Walking from the last entry, the last entry that contains the key is
      // the first one met.
      if (at != std::string::npos && contains < 0) contains = i;
    }
    if (contains >= 0) return std::string(FontList[static_cast<std::size_t>(contains)]);
    key.pop_back();
  }
  return "c Consolas";
}

std::string CompleteBold(std::string_view value) {
  char c = FirstChar(value);
  return (c == 'B' || c == 'b') ? "Bold" : "----";
}

std::string ForceRange(std::string_view text, int lo, int hi) {
  std::int64_t v = ParseInt(text);
  v = std::clamp<std::int64_t>(v, lo, hi);
  return IntTextOrZero(v);
}

std::string CompletePosition(std::string_view value) {
  std::string v = PadRight(UpperPl(value), 3);
  std::string out;
  out += (v[0] == 'L' || v[0] == 'C' || v[0] == 'P') ? v[0] : 'C';
  out += (v[1] == 'G' || v[1] == 'S' || v[1] == 'D') ? v[1] : 'G';
  if (v[2] == '1') out += '1';
  return out;
}

std::string CompleteYesNo(std::string_view value) {
  if (value.empty() || value == "n" || value == "N") return "N";
  return "T";
}

std::string CompleteFolder(std::string_view value) {
  std::string v(value);
  if (!v.empty() && v.back() == '\\') v.pop_back();
  return v;
}

std::string CleanFileName(std::string_view value, bool with_default) {
  static constexpr std::string_view kBad = "\"*,./:;<=>?[\\]|";
  std::string out;
  for (char c : FoldPl(value)) {
    if (kBad.find(c) == std::string_view::npos) out += c;
  }
  if (out.empty() && with_default) out = "PlanKont";
  return out;
}

std::string CompletePassword(std::string_view value) {
  std::string up = UpperPl(value);
  std::string kept;
  for (char c : up) {
    auto u = static_cast<unsigned char>(c);
    bool polish = std::find(PolishWin.begin(), PolishWin.end(), u) != PolishWin.end();
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || polish) kept += c;
  }
  return NormalizeSpaces(kept);
}

std::string DigitsOnly(std::string_view text, int* caret) {
  std::string out;
  int c = caret ? *caret : 0;
  int new_caret = c;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      out += text[i];
    } else if (static_cast<int>(i) < c) {
      --new_caret;
    }
  }
  if (caret) *caret = std::clamp(new_caret, 0, static_cast<int>(out.size()));
  return out;
}

PanelLook PanelFor(std::string_view raw) {
  PanelLook look;
  look.right = !raw.empty() && raw.front() == ' ';
  std::string norm = NormalizeSpaces(raw);
  for (char c : norm) {
    look.text += c;
    if (c == '&') look.text += '&';
  }
  return look;
}

std::string MakePeriodText(DayNo from, DayNo to) {
  std::string a = DayToText10(from);
  std::string b = DayToText10(to);
  // 31-12-2039 has no next day among the day numbers, but a month ends there.
  bool month_ends = to >= kLastDay || DayToDdMmYy(static_cast<DayNo>(to + 1)).compare(0, 2, "01") == 0;
  if (month_ends &&
      (a.compare(0, 2, "01") == 0 || a.compare(0, 5, "02-01") == 0)) {
    a.erase(0, 3);
    b.erase(0, 3);
  }
  std::string out;
  // A whole year: January to December of the same year (a span of several
  // years keeps both ends).
  if (a.compare(0, 5, "01-20") == 0 && b.compare(0, 5, "12-20") == 0 && a.substr(3) == b.substr(3)) {
    out = " za " + a.substr(3, 4) + " rok";
  } else if (a == b) {
    out = " za " + a;
  } else {
    out = " od " + a + " do " + b;
  }
  if (out.size() > 250) out.resize(250);
  return out;
}

std::string ProgressNumber(std::int64_t n) {
  std::string digits = IntTextOrZero(n);
  std::size_t len = digits.size() - (digits[0] == '-' ? 1 : 0);
  if (len > 3) digits.insert(digits.end() - 3, '.');
  return std::string(digits.size() < 9 ? 9 - digits.size() : 0, ' ') + digits;
}

}  // namespace zel
