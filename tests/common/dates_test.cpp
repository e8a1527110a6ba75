#include "common/dates.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/cp1250.hpp"
#include "common/globals.hpp"

namespace zel {
namespace {

// Day number of a calendar date, from the C++ calendar.
DayNo CalendarDay(int y, unsigned m, unsigned d) {
  using namespace std::chrono;
  const sys_days start = year{1920} / January / 1;
  const sys_days day = year{y} / month{m} / d;
  return static_cast<DayNo>((day - start).count());
}

TEST(DayFromDdMmYy, KnownDays) {
  struct Row {
    const char* name;
    const char* text;
    DayNo want;
  };
  const Row rows[] = {
      {"first of 2000", "010100", 29220},
      {"leap day 2000", "290200", 29279},
      {"first of 1940", "010140", 7305},
      {"last day", "311239", 43829},
      {"20 is 2020, not 1920", "010120", 36525},
      {"too few digits", "1234", 0},
      {"empty", "", 0},
      {"five digits get a leading zero", "10524", CalendarDay(2024, 5, 1)},
      {"separators are dropped", "15-03-24", CalendarDay(2024, 3, 15)},
      {"only six digits count", "15032499", CalendarDay(2024, 3, 15)},
      {"day 0 is the last of the month before", "000324", CalendarDay(2024, 2, 29)},
      {"month 13 runs into the next year", "011324", CalendarDay(2025, 1, 1)},
      {"day 0 of 1940 is the last of 1939", "000140", 7304},
      {"largest digits stay in range", "999939", 46542},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DayFromDdMmYy(row.text), row.want);
  }
}

TEST(DayToDdMmYy, EdgesAndInvalidDates) {
  EXPECT_EQ(DayToDdMmYy(0), "");
  EXPECT_EQ(DayToDdMmYy(43829), "311239");
  EXPECT_EQ(DayToDdMmYy(43830), "  ??  ");
  EXPECT_EQ(DayToDdMmYy(65535), "  ??  ");
  EXPECT_EQ(DayToDdMmYy(1), "020120");
  // 31 February 1999 is not a date: it comes back as 3 March.
  EXPECT_EQ(DayToDdMmYy(DayFromDdMmYy("310299")), "030399");
}

TEST(DayToDdMmYy, EveryDayOfTheTwoDigitWindowComesBack) {
  int wrong = 0;
  for (int n = 7305; n <= 43829; ++n) {
    if (DayFromDdMmYy(DayToDdMmYy(static_cast<DayNo>(n))) != n && ++wrong <= 5) {
      ADD_FAILURE() << "day " << n << " -> " << DayToDdMmYy(static_cast<DayNo>(n));
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(DayTexts, AgreeWithTheCalendarForEveryDay) {
  using namespace std::chrono;
  const sys_days start = year{1920} / January / 1;
  int wrong = 0;
  for (int n = 1; n <= 43829; ++n) {
    const sys_days day = start + days{n};
    const year_month_day ymd{day};
    char want[16];
    std::snprintf(want, sizeof want, "%02u-%02u-%04d", static_cast<unsigned>(ymd.day()),
                  static_cast<unsigned>(ymd.month()), static_cast<int>(ymd.year()));
    const std::string_view want_weekday = WeekdayNames[weekday{day}.iso_encoding() - 1];
    const DayNo d = static_cast<DayNo>(n);
    if ((DayToText10(d) != want || WeekdayName(d) != want_weekday) && ++wrong <= 5) {
      ADD_FAILURE() << "day " << n << ": " << DayToText10(d) << " " << WinToUtf8(WeekdayName(d))
                    << ", calendar " << want << " " << WinToUtf8(want_weekday);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(DayTexts, FormsOfOneDay) {
  const DayNo d = CalendarDay(2024, 3, 15);
  EXPECT_EQ(DayToText8(d), "15-03-24");
  EXPECT_EQ(DayToText10(d), "15-03-2024");
  EXPECT_EQ(DayToWords(d), "15 marca 2024");
  EXPECT_EQ(DayToWords(CalendarDay(1999, 10, 5)), "05 października 1999"_w);
  EXPECT_EQ(DayToText10(29219), "31-12-1999");
  EXPECT_EQ(DayToText10(29220), "01-01-2000");
  EXPECT_EQ(WeekdayName(29220), "sobota");
  EXPECT_EQ(WeekdayName(CalendarDay(2024, 3, 13)), "środa"_w);
}

TEST(DayTexts, EmptyDate) {
  EXPECT_EQ(DayToText8(0), std::string(8, ' '));
  EXPECT_EQ(DayToText10(0), std::string(10, ' '));
  EXPECT_EQ(DayToWords(0), "   nie podano daty     ");
  EXPECT_EQ(WeekdayName(0), "");
  // Past the last day the texts stay well formed and name no month.
  EXPECT_EQ(DayToWords(50000), "   nie podano daty 20  ");
}

TEST(DayTexts, NameTablesInWindows1250) {
  EXPECT_EQ(WeekdayNames[0], "poniedziałek"_w);
  EXPECT_EQ(WeekdayNames[6], "niedziela");
  EXPECT_EQ(MonthNames[1], "styczeń"_w);
  EXPECT_EQ(MonthNames[10], "październik"_w);
  EXPECT_EQ(MonthGenitive[9], "września"_w);
  EXPECT_EQ(MonthGenitive[0], "nie podano daty");
}

TEST(TwoDigits, Values) {
  EXPECT_EQ(TwoDigits(0), "00");
  EXPECT_EQ(TwoDigits(7), "07");
  EXPECT_EQ(TwoDigits(99), "99");
  EXPECT_EQ(TwoDigits(123), "23");  // out of range: the last two digits
}

class DayFromInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_template_ = FillTemplate;
    saved_today_ = Today;
    FillTemplate = "010324";
  }
  void TearDown() override {
    FillTemplate = saved_template_;
    Today = saved_today_;
  }

 private:
  FixedText<250> saved_template_;
  DayNo saved_today_ = 0;
};

TEST_F(DayFromInputTest, CompletesFromTheTemplate) {
  struct Row {
    const char* name;
    const char* typed;
    DayNo want;
  };
  const Row rows[] = {
      {"day only", "15", CalendarDay(2024, 3, 15)},
      {"one digit", "5", CalendarDay(2024, 3, 5)},
      {"day and month", "1504", CalendarDay(2024, 4, 15)},
      {"empty takes the template", "", CalendarDay(2024, 3, 1)},
      {"DD-MM-YY", "15-04-23", CalendarDay(2023, 4, 15)},
      {"DD-MM-YYYY", "15-04-2023", CalendarDay(2023, 4, 15)},
      {"YYYYMMDD", "20230415", CalendarDay(2023, 4, 15)},
      {"YYYY-MM-DD", "2023-04-15", CalendarDay(2023, 4, 15)},
      {"odd eight-digit form", "1052024", CalendarDay(2024, 5, 1)},
      {"day 20 of 2019 as DDMMYYYY", "20-12-2019", CalendarDay(2019, 12, 20)},
      {"four-digit year before 1940 reads in the window", "01-01-1930", CalendarDay(2030, 1, 1)},
      {"letters only", "abc", CalendarDay(2024, 3, 1)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DayFromInput(row.typed), row.want);
  }
}

TEST_F(DayFromInputTest, EmptyTemplateUsesToday) {
  FillTemplate = "";
  Today = CalendarDay(2025, 6, 30);
  EXPECT_EQ(DayFromInput("12"), CalendarDay(2025, 6, 12));
  Today = 0;
  EXPECT_EQ(DayFromInput("12"), 0);
}

}  // namespace
}  // namespace zel
