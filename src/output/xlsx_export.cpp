#include "output/xlsx_export.hpp"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/cp1250.hpp"
#include "output/xlsx_workbook.hpp"

namespace zel {

namespace {

constexpr char kMarker = static_cast<char>(254);
constexpr int kRuleLength = 250;

bool IsNumeric(char kind) {
  return kind == 'b' || kind == 'd' || kind == 'p';
}

// The 254 markers as the preview applies them: the first one removed makes
// the cell right-aligned, a second one cuts the text there and makes it
// left-aligned. 'r' or 'l' when a marker was found, '\0' otherwise.
char ApplyMarkers(std::string& t) {
  std::size_t first = t.find(kMarker);
  if (first == std::string::npos) return '\0';
  t.erase(first, 1);
  std::size_t second = t.find(kMarker, first);
  if (second == std::string::npos) return 'r';
  t.resize(second);
  return 'l';
}

bool IntegerColumn(const ReportColumn& c) {
  return c.heading1.view().starts_with("Lp") ||
         c.heading1.view().find("iczba") != std::string_view::npos ||
         c.heading2.view().find("iczba") != std::string_view::npos;
}

lxw_format* NewFormat(lxw_workbook* wb, const char* num, std::uint8_t align, bool bold) {
  lxw_format* f = workbook_add_format(wb);
  if (num) format_set_num_format(f, num);
  if (align) format_set_align(f, align);
  if (bold) format_set_bold(f);
  return f;
}

}  // namespace

bool XlsxNumber(std::string_view text, double* value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string s;
  if (text.find(',') != std::string_view::npos) {
    for (char c : text) {
      if (c != '.') s += c == ',' ? '.' : c;
    }
  } else {
    s = text;
  }
  // Sign, digits, at most one point with digits after it; nothing else.
  std::size_t i = s.size() > 0 && (s[0] == '-' || s[0] == '+') ? 1 : 0;
  std::size_t digits = 0, after_point = 0;
  bool point = false;
  for (std::size_t j = i; j < s.size(); ++j) {
    if (s[j] >= '0' && s[j] <= '9') {
      ++digits;
      if (point) ++after_point;
    } else if (s[j] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (digits == 0 || (point && after_point == 0) || s[i] == '.') return false;
  const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
  auto res = std::from_chars(begin, s.data() + s.size(), *value);
  return res.ec == std::errc() && std::isfinite(*value);
}

XlsxOutcome ExportXlsx(const ReportDocument& doc, std::int64_t first, std::int64_t last,
                       const std::string& native_path, const XlsxTitles& titles,
                       const std::function<bool(std::int32_t row)>& progress) {
  XlsxOutcome out;
  const std::int32_t n = doc.RowCount();
  first = std::clamp<std::int64_t>(first, 1, std::max(n, 1));
  last = std::clamp<std::int64_t>(last, 1, std::max(n, 1));
  if (first > last) std::swap(first, last);
  if (last - first > kXlsxMaxRange) {
    out.error = "Więcej niż 100.000 wierszy"_w;
    return out;
  }
  const std::string part = native_path + ".part";
  auto fail = [&](std::string_view why) {
    std::error_code ec;
    std::filesystem::remove(part, ec);
    out.ok = false;
    out.error = std::string(why) + Utf8ToWin(native_path);
    return out;
  };

  // The library opens the file only when the workbook is closed: a folder
  // that cannot take it is found before any row is written.
  if (std::FILE* probe = std::fopen(part.c_str(), "wb")) {
    std::fclose(probe);
  } else {
    out.error = "Zakazany "_w + Utf8ToWin(native_path);
    return out;
  }
  XlsxWorkbook book(part);
  lxw_workbook* wb = book.get();
  if (!wb) return fail("Zakazany "_w);
  lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
  if (!ws) return fail("Nie zapisano "_w);

  const int cols = doc.ColumnCount();
  lxw_format* text_fmt = NewFormat(wb, "@", 0, false);
  lxw_format* text_left = NewFormat(wb, "@", LXW_ALIGN_LEFT, false);
  lxw_format* text_right = NewFormat(wb, "@", LXW_ALIGN_RIGHT, false);
  lxw_format* int_fmt = NewFormat(wb, "#,##0", 0, false);
  lxw_format* dec_fmt = NewFormat(wb, "#,##0.00", 0, false);
  lxw_format* head = NewFormat(wb, nullptr, 0, true);
  lxw_format* head_centred = NewFormat(wb, nullptr, LXW_ALIGN_CENTER, true);

  // Per report column: its number format and the widest text shown.
  std::array<lxw_format*, kMaxReportColumns + 1> num_fmt{};
  std::array<std::size_t, kMaxReportColumns + 1> widest{};
  for (int i = 1; i <= cols; ++i) {
    const ReportColumn& c = doc.Column(i);
    num_fmt[static_cast<std::size_t>(i)] = !IsNumeric(c.kind) ? text_fmt
                                           : IntegerColumn(c) ? int_fmt
                                                              : dec_fmt;
  }

  auto utf8 = [](std::string_view win) { return WinToUtf8(win); };
  // Headings and titles: rows 1 and 2.
  for (int row = 0; row < 2; ++row) {
    for (int i = 1; i <= cols; ++i) {
      const ReportColumn& c = doc.Column(i);
      const auto col = static_cast<lxw_col_t>(i);
      const bool pair = c.kind == 'b' && i < cols && doc.Column(i + 1).kind == 'd';
      const bool in_pair = pair || (c.kind == 'd' && i > 1 && doc.Column(i - 1).kind == 'b');
      std::string_view text = row == 0 ? c.heading1.view() : c.heading2.view();
      if (row == 0 && c.kind == 'd' && in_pair) continue;  // merged into its `b` column
      if (row == 0 && pair) {
        worksheet_merge_range(ws, 0, col, 0, col + 1, utf8(text).c_str(), head_centred);
        continue;
      }
      if (row == 0 || !text.empty() || in_pair) {
        widest[static_cast<std::size_t>(i)] =
            std::max(widest[static_cast<std::size_t>(i)], text.size());
        worksheet_write_string(ws, static_cast<lxw_row_t>(row), col, utf8(text).c_str(),
                               in_pair ? head_centred : head);
      }
    }
    const std::string& title = row == 0 ? titles.row1 : titles.row2;
    worksheet_write_string(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(cols + 1),
                           utf8(title).c_str(), head);
  }

  std::string cell;
  for (std::int64_t r = first; r <= last; ++r) {
    const auto row = static_cast<std::int32_t>(r);
    if (progress && !progress(row)) {
      out.aborted = true;
      break;
    }
    const auto x = static_cast<lxw_row_t>(r - first + 2);
    switch (doc.RowKind(row)) {
      case '0':
        for (int i = 1; i <= cols; ++i) {
          std::string_view v = doc.Cell(row, i);
          if (v.empty()) continue;
          const ReportColumn& c = doc.Column(i);
          const auto col = static_cast<lxw_col_t>(i);
          cell.assign(v);
          const char marked = ApplyMarkers(cell);
          double number = 0;
          std::size_t& w = widest[static_cast<std::size_t>(i)];
          w = std::max(w, cell.size());
          if (IsNumeric(c.kind) && !marked && XlsxNumber(cell, &number)) {
            worksheet_write_number(ws, x, col, number, num_fmt[static_cast<std::size_t>(i)]);
          } else {
            lxw_format* f = marked == 'r' ? text_right : marked == 'l' ? text_left : text_fmt;
            worksheet_write_string(ws, x, col, utf8(cell).c_str(), f);
          }
        }
        break;
      case '1':
      case '2':
        worksheet_write_string(ws, x, 1, utf8(doc.Cell(row, 1)).c_str(), text_left);
        break;
      case '3': {
        std::string_view c = doc.Cell(row, 1);
        const std::string line(kRuleLength, c.empty() ? ' ' : c[0]);
        worksheet_write_string(ws, x, 0, utf8(line).c_str(), text_left);
        break;
      }
      default:
        break;
    }
    ++out.rows;
  }

  worksheet_set_column(ws, 0, 0, 0.95, nullptr);
  for (int i = 1; i <= cols; ++i) {
    const double width = std::clamp<double>(
        static_cast<double>(widest[static_cast<std::size_t>(i)]) + 1.5, 2.5, 100);
    worksheet_set_column(ws, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i), width,
                         num_fmt[static_cast<std::size_t>(i)]);
  }
  worksheet_freeze_panes(ws, 2, 0);
  worksheet_set_selection(ws, 2, 1, 2, 1);

  if (book.Close() != LXW_NO_ERROR) return fail("Nie zapisano "_w);
  std::error_code ec;
  std::filesystem::rename(part, native_path, ec);
  if (ec) return fail("Nie zapisano "_w);
  out.ok = true;
  return out;
}

}  // namespace zel
