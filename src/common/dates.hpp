// Day numbers and their texts.
//
// A DayNo counts days since 1 January 1920 (a Thursday); 0 is the empty date
// and every formatter shows it blank. Two-digit years are read in the window
// 1940..2039. The leap rule "every fourth year" is exact for that range.
// The canonical date text is DDMMYY; a text t is a valid date exactly when
// DayToDdMmYy(DayFromDdMmYy(t)) == t. Every text is read whole (digits picked
// out of it), and any DayNo formats without harm: past 43829 the texts show
// "??" and DayToWords names no month.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/types.hpp"

namespace zel {

// Weekday names, Monday first (Windows-1250).
extern const std::array<std::string_view, 7> WeekdayNames;
// Month names, nominative, index 1..12 (index 0 empty).
extern const std::array<std::string_view, 13> MonthNames;
// Month names in the genitive, index 1..12; index 0 is "nie podano daty".
extern const std::array<std::string_view, 13> MonthGenitive;

// Day number of a DDMMYY text (non-digits dropped; 0 when fewer than 5 digits).
DayNo DayFromDdMmYy(std::string_view ddmmyy);
// The same from numbers: day 0..99, month 0..99, two-digit year 0..99.
DayNo DayFromParts(int day, int month, int two_digit_year);
// Day number of a date as typed ("15", "1503", "15-03-2024", "2024-03-15"),
// the missing parts taken from FillTemplate (from Today when it is empty).
DayNo DayFromInput(std::string_view typed);

std::string DayToDdMmYy(DayNo n);       // "150324"; empty for 0; "  ??  " past 43829
std::string DayToText8(DayNo n);        // "15-03-24"; 8 spaces for 0
std::string DayToText10(DayNo n);       // "15-03-2024"; 10 spaces for 0
std::string DayToWords(DayNo n);        // "15 marca 2024"
std::string WeekdayName(DayNo n);       // empty for 0
std::string TwoDigits(std::uint8_t v);  // 0..99 as two digits; above 99 the last two

}  // namespace zel
