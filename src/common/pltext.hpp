// Polish text: filling and cutting, upper-casing and folding of the Polish
// letters, the DOS code pages of older data files, XML character data and the
// wildcard masks of the account filters.
//
// All texts are Windows-1250 byte strings. Counts and widths are taken within
// 0..250; NormalizeSpaces cuts its result to 80. The byte-for-byte maps
// (UpperPl, FoldPl, SearchKey, Capitalize, DosToWin, WinToDos) keep the
// length of what they are given; the caller's FixedText cuts to its own
// capacity.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

// The eighteen Polish letters, lower then upper, in one order shared by all
// tables: Windows-1250, DOS Mazovia, DOS code page 852, and folded to ASCII.
extern const std::array<std::uint8_t, 18> PolishWin;
extern const std::array<std::uint8_t, 18> PolishMazovia;
extern const std::array<std::uint8_t, 18> Polish852;
extern const std::array<char, 18> PolishFolded;  // "acelnoszzACELNOSZZ"
// The nine further characters converted between DOS and Windows.
extern const std::array<std::uint8_t, 9> ExtraDos;
extern const std::array<std::uint8_t, 9> ExtraWin;  // "äöüßÄÖÜ§" and a space

std::string CharString(char c, int count);  // at most 250
std::string Spaces(int count);
std::string PadRight(std::string_view text, int n);
std::string TrimBlanks(std::string_view text);  // leading and trailing spaces removed
std::string LeftPart(std::string_view text, std::int16_t n);
char FirstChar(std::string_view text);  // ' ' when empty
char YesNoChar(bool yes);               // 'T' or 'N'
std::string Capitalize(std::string_view text);
std::string UpperPl(std::string_view text);
std::string FoldPl(std::string_view text);
std::string SearchKey(std::string_view text);        // FoldPl + upper case when FoldSearch
std::string NormalizeSpaces(std::string_view text);  // capacity 80
std::string DosToWin(std::string_view dos);
// The same into `out` (room for dos.size() characters: every byte gives one);
// returns the length.
std::size_t DosToWinTo(std::string_view dos, char* out);
std::string WinToDos(std::string_view win);
// WinToDos on a text the caller keeps (no new text per call).
void WinToDosInPlace(std::string& text);
// The byte table WinToDos uses, for converting straight into a record.
const std::array<char, 256>& WinToDosTable();
// UTF-8 XML character data: the Polish letters in UTF-8, other bytes above
// 0x7E dropped, and the control characters XML forbids (all below 0x20 but
// tab, line feed and carriage return) dropped as well.
std::string XmlText(std::string_view text);
// XmlText written onto the end of `out`, for writers that build long lines
// without a text of their own per element.
void AppendXmlText(std::string& out, std::string_view text);
std::string MaskExpand(std::string_view mask, int n);
std::string MaskCompact(std::string_view mask, int n);

}  // namespace zel
