// The parameter window's value rules as plain functions.
#include <gtest/gtest.h>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "fields/option_values.hpp"
#include "fields/zestaw_rules.hpp"

namespace zel {
namespace {

DayNo Day(const char* ddmmyy) { return DayFromDdMmYy(ddmmyy); }

TEST(PeriodText, Cases) {
  struct Row {
    const char* name;
    const char* from;
    const char* to;
    const char* text;
  } rows[] = {
      {"whole year from the second of January", "020118", "311218", " za 2018 rok"},
      {"whole year from the first", "010118", "311218", " za 2018 rok"},
      {"one month", "010318", "310318", " za 03-2018"},
      {"several months", "010318", "300618", " od 03-2018 do 06-2018"},
      {"part of a month", "050318", "200318", " od 05-03-2018 do 20-03-2018"},
      {"single day", "150318", "150318", " za 15-03-2018"},
      {"February of a leap year", "010224", "290224", " za 02-2024"},
      {"ends mid-month", "010318", "150618", " od 01-03-2018 do 15-06-2018"},
      {"last day of the calendar", "010139", "311239", " za 2039 rok"},
      {"two years", "010118", "311219", " od 01-2018 do 12-2019"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MakePeriodText(Day(row.from), Day(row.to)), row.text);
  }
}

TEST(DateCompletion, Cases) {
  Today = Day("100624");
  struct Row {
    const char* name;
    const char* typed;
    const char* tmpl;
    const char* value;
    bool bad;
  } rows[] = {
      {"day alone", "15", "010624", "150624", false},
      {"odd length gets a zero", "5", "010624", "050624", false},
      {"day and month", "1503", "010624", "150324", false},
      {"whole date", "311223", "010624", "311223", false},
      {"31 February rolls into March", "3102", "010623", "030323", true},
      {"day 32", "32", "010624", "020724", true},
      {"empty template is today", "1", "", "010624", false},
      {"empty text gives no date", "", "010624", "", false},
      {"past 2039 is the last day", "999939", "010624", "311239", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DateCompletion d = CompleteDate(row.typed, row.tmpl);
    EXPECT_EQ(d.value, row.value);
    EXPECT_EQ(d.bad, row.bad);
  }
  EXPECT_TRUE(CompleteDate("", "010624").too_short);
}

TEST(FontCompletion, Cases) {
  struct Row {
    const char* typed;
    const char* font;
  } rows[] = {
      {"", "c Consolas"},        {"ver", "v Verdana"},     {"t", "t Tahoma"},
      {"co", "l Lucida console"}, {"ARIALX", "a Arial"}, {"ms", "q MS Serif"},
      {"zzz", "c Consolas"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    EXPECT_EQ(CompleteFont(row.typed), row.font);
  }
}

TEST(SystemFieldRules, Cases) {
  EXPECT_EQ(CompleteBold("bold"), "Bold");
  EXPECT_EQ(CompleteBold("x"), "----");
  EXPECT_EQ(ForceRange("", 6, 16), "6");
  EXPECT_EQ(ForceRange("abc", 1, 4), "1");
  EXPECT_EQ(ForceRange("99999999999", 0, 25), "0");
  EXPECT_EQ(CompletePosition(""), "CG");
  EXPECT_EQ(CompletePosition("ld1"), "LD1");
  EXPECT_EQ(CompletePosition("pq9"), "PG");
  EXPECT_EQ(CompleteYesNo(""), "N");
  EXPECT_EQ(CompleteYesNo("n"), "N");
  EXPECT_EQ(CompleteYesNo("tak"), "T");
  EXPECT_EQ(CompleteFolder("DANE\\"), "DANE");
  EXPECT_EQ(CleanFileName("Plan/Kont.2024?", true), "PlanKont2024");
  EXPECT_EQ(CleanFileName("\"*,./:;<=>?[\\]|", true), "PlanKont");
  EXPECT_EQ(CleanFileName("", false), "");
  EXPECT_EQ(CleanFileName("Żółć"_w, false), "Zolc");
  EXPECT_EQ(WinToUtf8(CompletePassword("  ab  łódź!#1 "_w)), "AB ŁÓDŹ1");
}

TEST(TypingFilter, DigitsKeepTheCaret) {
  int caret = 4;
  EXPECT_EQ(DigitsOnly("1-2-345", &caret), "12345");
  EXPECT_EQ(caret, 2);
  caret = 0;
  EXPECT_EQ(DigitsOnly("x", &caret), "");
  EXPECT_EQ(caret, 0);
}

TEST(PanelLook, AmpersandsAndAlignment) {
  PanelLook a = PanelFor("A&B  & C");
  EXPECT_EQ(a.text, "A&&B && C");
  EXPECT_FALSE(a.right);
  PanelLook b = PanelFor("   1.234,50");
  EXPECT_EQ(b.text, "1.234,50");
  EXPECT_TRUE(b.right);
}

TEST(ProgressNumber, GroupsTheLastThreeDigits) {
  EXPECT_EQ(ProgressNumber(5), "        5");
  EXPECT_EQ(ProgressNumber(999), "      999");
  EXPECT_EQ(ProgressNumber(1234), "    1.234");
  EXPECT_EQ(ProgressNumber(1234567), " 1234.567");
}

TEST(AccountMasks, ExpandMatchAndCompact) {
  AccountMaskList list;
  EXPECT_TRUE(list.Selects("201"));  // no masks: every account
  list.Add("20*");
  list.Add("");
  list.Add("40?");
  list.Expand();
  EXPECT_EQ(list.masks[0].size(), 25u);
  EXPECT_TRUE(list.Selects("20"));
  EXPECT_TRUE(list.Selects("201-05"));
  EXPECT_TRUE(list.Selects("401"));
  EXPECT_TRUE(list.Selects("40"));     // the mask's tail beyond the symbol is "?"
  EXPECT_FALSE(list.Selects("4012"));  // longer than the mask
  EXPECT_FALSE(list.Selects("301"));
  list.Compact();
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.masks[0].view(), "20*");
  EXPECT_EQ(list.masks[1].view(), "40?");

  AccountMaskList full;
  for (int i = 0; i < kMaxAccountMasks; ++i) ASSERT_TRUE(full.Add("1"));
  EXPECT_FALSE(full.Add("2"));
  EXPECT_EQ(full.count, kMaxAccountMasks);
}

}  // namespace
}  // namespace zel
