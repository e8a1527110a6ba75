// The page-description script of drawn forms: one command a line, read into
// commands with their coordinates in script units.
//
// A line is a sequence of fields separated by one or more spaces: the
// command letter (the first character of the first field), four integers
// Y1, Y2, X1 and X2 (a field that is not a valid integer counts as 0), then
// the command's text, the rest of the line. Every "?" of a line becomes "$"
// (the form templates cannot hold the dollar sign in every code page). The
// text may hold ".orykop.", which the drawing replaces by the name of the
// copy it draws. Texts are Windows-1250.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// What a document may hold: further lines are left out, longer lines cut.
inline constexpr std::size_t kViewerMaxLines = 999;
inline constexpr std::size_t kViewerMaxLineChars = 250;

struct ViewerCommand {
  char letter = 0;  // 0 for an empty line
  int y1 = 0, y2 = 0, x1 = 0, x2 = 0;
  std::string text;
};

ViewerCommand ParseViewerLine(std::string_view line);

// The copy names of the action letters: o "oryginał", k "kopia",
// l "kopia(2)", m "kopia(3)", p "oryginał/kopia"; empty for any other.
std::string_view ViewerCopyName(char copy);

// The text with every ".orykop." replaced by the copy's name.
std::string WithCopyName(std::string_view text, char copy);

// The colour a "K" rectangle's text names (0xRRGGBB): up to six hexadecimal
// digits, 0-9 and A-F, other characters skipped; each missing digit is a
// value from C to F taken from `random_digit` (called with no argument,
// answering 0..3), so that an empty text gives a light shade.
template <typename RandomDigit>
std::uint32_t ViewerBoxColour(std::string_view text, RandomDigit&& random_digit) {
  std::uint32_t colour = 0;
  int digits = 0;
  for (char c : text) {
    if (digits == 6) break;
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;
    colour = (colour << 4) | static_cast<std::uint32_t>(v);
    ++digits;
  }
  for (; digits < 6; ++digits) {
    colour = (colour << 4) | static_cast<std::uint32_t>(0xC + (random_digit() & 3));
  }
  return colour;
}

// The script's lines as the viewer takes them: at most kViewerMaxLines, each
// cut to kViewerMaxLineChars. `*notice` says in Polish what was left out
// (empty when nothing was).
std::vector<std::string> LimitViewerLines(const std::vector<std::string>& lines,
                                          std::string* notice);

}  // namespace zel
