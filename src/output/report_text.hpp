// A report document as plain text: what zel-batch prints and the golden
// report tests compare.
//
// Lines: the title, the subtitle, the two heading lines, a "-" rule, then the
// rows first..last. Each column takes its width in characters, columns are
// one space apart; heading 1 of a `b` column is centred over the pair it
// opens, `d` has none. Cells are aligned by their column's kind and cut on
// the right to the width. Text rows run from the first column across the
// table, unclipped; rule rows are lines of "-", "." or "=" as wide as the
// table (any other rule character gives an empty line); rows of other kinds
// are left out. Trailing spaces are removed; lines end in "\n". The text
// stays Windows-1250: the caller converts it for a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "output/report_document.hpp"

namespace zel {

// Rows first..last (limited to 1..row count); last 0 means "to the end".
std::string ReportAsText(const ReportDocument& doc, std::int32_t first = 1, std::int32_t last = 0);

// One cell as the preview lays it out: the 254 markers applied (the first
// one removed makes the cell right-aligned; a second one cuts the text there
// and makes it left-aligned), then aligned in `width` characters by `kind`
// and cut on the right. Exactly `width` characters.
std::string AlignCell(std::string_view text, char kind, int width);

}  // namespace zel
