#include "common/dates.hpp"

#include <string>

#include "common/globals.hpp"

namespace zel {

// The names are Windows-1250 byte literals; a hex escape is closed by ending
// the literal, so that the letter after it is not read as a hex digit.
// clang-format off
const std::array<std::string_view, 7> WeekdayNames = {
    "poniedzia\xB3" "ek", "wtorek", "\x9Croda", "czwartek", "pi\xB9tek", "sobota", "niedziela",
};

const std::array<std::string_view, 13> MonthNames = {
    "",
    "stycze\xF1",
    "luty",
    "marzec",
    "kwiecie\xF1",
    "maj",
    "czerwiec",
    "lipiec",
    "sierpie\xF1",
    "wrzesie\xF1",
    "pa\x9F" "dziernik",
    "listopad",
    "grudzie\xF1",
};

const std::array<std::string_view, 13> MonthGenitive = {
    "nie podano daty",
    "stycznia",
    "lutego",
    "marca",
    "kwietnia",
    "maja",
    "czerwca",
    "lipca",
    "sierpnia",
    "wrze\x9Cnia",
    "pa\x9F" "dziernika",
    "listopada",
    "grudnia",
};
// clang-format on

namespace {

// Days before the month counted in 30-day steps, indexed by month mod 12.
constexpr int kMonthOffset[12] = {0, 1, 2, 0, 1, 1, 2, 2, 3, 4, 4, 5};

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

int Pair(const std::string& s, std::size_t at) {
  return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

// The month table of the days from 1 March: the first bound above r names the
// month; the day is r minus the offset.
struct MarchRow {
  int bound;
  int month;
  int offset;
};
// clang-format off
constexpr MarchRow kFromMarch[10] = {
    {31, 3, -1},    {61, 4, 30},    {92, 5, 60},    {122, 6, 91},   {153, 7, 121},
    {184, 8, 152},  {214, 9, 183},  {245, 10, 213}, {275, 11, 244}, {306, 12, 274},
};
// clang-format on

}  // namespace

DayNo DayFromDdMmYy(std::string_view ddmmyy) {
  std::string digits = DigitsOf(ddmmyy);
  if (digits.size() < 5) return 0;
  if (digits.size() == 5) digits.insert(digits.begin(), '0');
  return DayFromParts(Pair(digits, 0), Pair(digits, 2), Pair(digits, 4));
}

DayNo DayFromParts(int d, int m, int yy) {
  if (d < 0 || m < 0 || yy < 0) return 0;
  int y = yy - 20;
  if (y < 20) y += 100;
  int n = d - 31 + 30 * m + kMonthOffset[m % 12] + 5 * (m / 12) + 365 * y + y / 4;
  if (y % 4 == 0 && m < 3) --n;
  // At most 99-99-39, about 46500: always inside a DayNo.
  return n < 0 ? 0 : static_cast<DayNo>(n);
}

DayNo DayFromInput(std::string_view typed) {
  std::string digits = DigitsOf(typed);
  if (digits.size() % 2 == 1) digits.insert(digits.begin(), '0');
  if (digits.size() == 8) {
    const std::string yy = digits.substr(4, 2);
    const std::string lead = digits.substr(0, 2);
    if (yy == "19" || yy == "20") {
      digits.erase(4, 2);  // DDMMYYYY
    } else if (lead == "19" || lead == "20") {
      digits = digits.substr(6, 2) + digits.substr(4, 2) + digits.substr(2, 2);  // YYYYMMDD
    }
  }
  std::string tmpl = FillTemplate.str();
  if (tmpl.empty()) tmpl = DayToDdMmYy(Today);
  if (digits.size() < tmpl.size()) digits += tmpl.substr(digits.size(), 6);
  return DayFromDdMmYy(std::string_view(digits).substr(0, 6));
}

std::string TwoDigits(std::uint8_t v) {
  v = static_cast<std::uint8_t>(v % 100);  // a larger byte shows its last two digits
  return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

namespace {

// Day, month and year (minus 1900) of a day number from 1 to kLastDay.
void DayParts(DayNo n, int* day_out, int* month_out, int* year_out) {
  int r = n % 1461;
  int year = 20 + 4 * (n / 1461);  // the year minus 1900
  int jan_feb = 60;
  if (r >= 366) {
    r -= 366;
    year += 1 + r / 365;
    r %= 365;
    jan_feb = 59;
  }
  int day = 0;
  int month = 0;
  if (r < jan_feb) {
    month = r < 31 ? 1 : 2;
    day = r < 31 ? r + 1 : r - 30;
  } else {
    r -= jan_feb;
    for (const MarchRow& row : kFromMarch) {
      if (r < row.bound) {
        month = row.month;
        day = r - row.offset;
        break;
      }
    }
  }
  *day_out = day;
  *month_out = month;
  *year_out = year;
}

// The two last digits of v, as TwoDigits writes them.
void PutTwoDigits(char* p, int v) {
  v = static_cast<std::uint8_t>(v) % 100;
  p[0] = static_cast<char>('0' + v / 10);
  p[1] = static_cast<char>('0' + v % 10);
}

}  // namespace

std::string DayToDdMmYy(DayNo n) {
  if (n == 0) return "";
  if (n > kLastDay) return "  ??  ";
  int day = 0, month = 0, year = 0;
  DayParts(n, &day, &month, &year);
  return TwoDigits(static_cast<std::uint8_t>(day)) + TwoDigits(static_cast<std::uint8_t>(month)) +
         TwoDigits(static_cast<std::uint8_t>(year % 100));
}

// Reports write these for every row: a valid day is written straight into
// its text, without the intermediate strings of DayToDdMmYy.
std::string DayToText8(DayNo n) {
  if (n == 0) return std::string(8, ' ');
  if (n > kLastDay) {
    std::string s = DayToDdMmYy(n);
    s.insert(4, 1, '-');
    s.insert(2, 1, '-');
    return s;
  }
  int day = 0, month = 0, year = 0;
  DayParts(n, &day, &month, &year);
  std::string s(8, '-');
  PutTwoDigits(s.data(), day);
  PutTwoDigits(s.data() + 3, month);
  PutTwoDigits(s.data() + 6, year % 100);
  return s;
}

std::string DayToText10(DayNo n) {
  if (n == 0) return std::string(10, ' ');
  if (n > kLastDay) {
    std::string s = DayToText8(n);
    s.insert(6, n > 29219 ? "20" : "19");
    return s;
  }
  int day = 0, month = 0, year = 0;
  DayParts(n, &day, &month, &year);
  std::string s(10, '-');
  PutTwoDigits(s.data(), day);
  PutTwoDigits(s.data() + 3, month);
  s[6] = n > 29219 ? '2' : '1';
  s[7] = n > 29219 ? '0' : '9';
  PutTwoDigits(s.data() + 8, year % 100);
  return s;
}

std::string DayToWords(DayNo n) {
  const std::string t = DayToText10(n);
  int month = 0;
  if (t[3] >= '0' && t[3] <= '9' && t[4] >= '0' && t[4] <= '9') month = Pair(t, 3);
  if (month > 12) month = 0;
  return t.substr(0, 2) + ' ' + std::string(MonthGenitive[month]) + ' ' + t.substr(6, 4);
}

std::string WeekdayName(DayNo n) {
  if (n == 0) return "";
  return std::string(WeekdayNames[(n + 3) % 7]);
}

}  // namespace zel
