#include "output/print_run.hpp"

#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/pltext.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Draws one run's pages; the layout and the geometry are computed once.
class PageDrawer {
 public:
  PageDrawer(const ReportDocument& doc, const PrintTexts& texts, const PrintLayout& layout,
             PageCanvas& canvas)
      : doc_(doc), t_(texts), p_(layout), c_(canvas), cols_(PrintColumns(doc, layout)) {}

  // Page `page` of `pages`, rows from..last of the range.
  void Page(std::int32_t page, std::int32_t pages, std::int32_t from, std::int32_t last);

 private:
  int Width(std::string_view s, int size) { return c_.TextWidth(s, size); }
  void Centred(std::string_view s, int x, int w, int y, int size) {
    c_.Text(x + (w - Width(s, size)) / 2, y, s, size, kBlack);
  }
  void RightAligned(std::string_view s, int right, int y, int size) {
    c_.Text(right - Width(s, size), y, s, size, kBlack);
  }
  void Rule(char ch, int y);
  void Cells(std::int32_t row, int y);
  int Y(std::int64_t rows_of_h) const { return static_cast<int>(p_.top + rows_of_h * p_.row_h); }

  const ReportDocument& doc_;
  const PrintTexts& t_;
  const PrintLayout& p_;
  PageCanvas& c_;
  std::vector<PrintColumn> cols_;
};

void PageDrawer::Rule(char ch, int y) {
  const int u = p_.unit;
  const int l = p_.left, r = p_.right;
  switch (ch) {
    case '=':
      c_.Line(l + u, y - 7 * u, r - u, y - 7 * u, u, kBlack);
      [[fallthrough]];
    case '-':
      c_.Line(l + 2 * u, y, r - 2 * u, y, 3 * u, kBlack);
      break;
    case '.':
      c_.Line(l + u - 1, y, r - u, y, 1, kBlack);
      break;
    default:
      break;
  }
}

void PageDrawer::Cells(std::int32_t row, int y) {
  const int k = p_.char_w;
  for (int i = 1; i <= doc_.ColumnCount(); ++i) {
    std::string_view cell = doc_.Cell(row, i);
    if (cell.empty()) continue;
    const PrintColumn& col = cols_[static_cast<std::size_t>(i - 1)];
    const int room = std::max(col.w - 2 * k, 0);
    PrintCell fit = FitPrintCell(cell, doc_.Column(i).kind, room, p_.normal_size, c_);
    if (!fit.text.empty()) c_.Text(col.x + k + fit.x, y, fit.text, p_.normal_size, kBlack);
  }
}

void PageDrawer::Page(std::int32_t page, std::int32_t pages, std::int32_t from, std::int32_t last) {
  const int h = p_.row_h;
  const int r = h / 5;
  const int u = p_.unit;
  const int L = p_.left, R = p_.right, T = p_.top, B = p_.bottom, W = p_.usable_w;
  const int normal = p_.normal_size;
  const std::int32_t n = p_.rows;

  // Title, subtitle, stamp, page number.
  Centred(doc_.Title(), L, W, T, p_.large_size);
  Centred(doc_.Subtitle(), L, W, T + 9 * r, normal);
  c_.Text(L + r, T + r, t_.stamp, normal, kBlack);
  const std::string page_text = "Strona " + std::to_string(page) + " z " + std::to_string(pages);
  RightAligned(page_text, R - r, T + r, normal);

  // Footer.
  const int fy = B - 5 * r;
  c_.Text(L + r, fy, t_.footer_left, normal, kBlack);
  RightAligned(t_.footer_right, R - r, fy, normal);
  Centred(t_.footer_centre, L, W, fy, normal);

  // Corner marks.
  c_.Line(L, T, L + r, T, u, kBlack);
  c_.Line(L, T, L, T + r, u, kBlack);
  c_.Line(R - r, T, R, T, u, kBlack);
  c_.Line(R, T, R, T + r, u, kBlack);
  c_.Line(L, B, L + r, B, u, kBlack);
  c_.Line(L, B - r, L, B, u, kBlack);
  c_.Line(R - r, B, R, B, u, kBlack);
  c_.Line(R, B - r, R, B, u, kBlack);

  // Heading zone: thick line, heading 2, the line under the headings.
  c_.Line(L, T + 3 * h, R, T + 3 * h, 3 * u, kBlack);
  for (int i = 1; i <= doc_.ColumnCount(); ++i) {
    const PrintColumn& col = cols_[static_cast<std::size_t>(i - 1)];
    Centred(doc_.Column(i).heading2.view(), col.x, col.w, T + 13 * h / 3, normal);
  }
  const int under_headings = T + 17 * h / 3;
  c_.Line(L, under_headings, R, under_headings, u, kBlack);

  // Shaded bands: the second band of every ten rows.
  const std::int32_t on_page = std::min<std::int32_t>(n, last - from + 1);
  for (std::int32_t i = 6; i <= on_page; i += 10) {
    const int y1 = Y(i + 5);
    const int y2 = Y(std::min<std::int32_t>(i + 4, n) + 6);
    c_.Fill(L + 1, y1, R - 1 - (L + 1), y2 - y1, kPrintShade);
  }

  // Body rows: data cells and rules.
  int bottom = under_headings;
  for (std::int32_t i = 1; i <= on_page; ++i) {
    const std::int32_t row = from + i - 1;
    const int y = Y(i + 5);
    switch (doc_.RowKind(row)) {
      case '0':
        Cells(row, y);
        break;
      case '3': {
        std::string_view c = doc_.Cell(row, 1);
        Rule(c.empty() ? ' ' : c[0], y + h / 2);
        break;
      }
      default:
        break;
    }
    bottom = Y(i + 6);
  }
  const bool range_ends_here = from + on_page - 1 >= last;
  if (range_ends_here) bottom -= h / 2;

  // Frame.
  c_.Line(L, T + 3 * h, L, B - h, u, kBlack);
  c_.Line(L, B - h, R, B - h, u, kBlack);
  c_.Line(R, B - h, R, T + 3 * h, u, kBlack);

  // Column separators.
  for (std::size_t i = 0; i + 1 < cols_.size(); ++i) {
    const int x = cols_[i].x + cols_[i].w;
    c_.Line(x, T + 3 * h, x, bottom, u, kBlack);
  }

  // Heading 1: one over each pair, hiding the separator between the two.
  for (int i = 1; i <= doc_.ColumnCount(); ++i) {
    const ReportColumn& col = doc_.Column(i);
    const PrintColumn& g = cols_[static_cast<std::size_t>(i - 1)];
    if (col.kind == 'b') {
      const int w = g.w + (i < doc_.ColumnCount() ? cols_[static_cast<std::size_t>(i)].w : 0);
      const int y1 = T + 3 * h + 2 * u;
      c_.Fill(g.x + u, y1, w - 2 * u, T + 13 * h / 3 - y1, kWhite);
      Centred(col.heading1.view(), g.x, w, T + 19 * h / 6, normal);
    } else if (col.kind != 'd') {
      Centred(col.heading1.view(), g.x, g.w, T + 10 * h / 3, normal);
    }
  }

  // Text rows over the separators.
  const int text_w = R - L - 3 * u - 1;
  for (std::int32_t i = 1; i <= on_page; ++i) {
    const std::int32_t row = from + i - 1;
    const char kind = doc_.RowKind(row);
    if (kind != '1' && kind != '2') continue;
    const std::uint32_t brush = (i - 1) % 10 < 5 ? kWhite : kPrintShade;
    const int y1 = i == 1 ? under_headings + u : Y(i + 5);
    c_.Fill(L + u, y1, R - L - 2 * u, Y(i + 6) - y1, brush);
    PrintCell fit = FitPrintCell(Concat({" ", doc_.Cell(row, 1)}), 'l', text_w, normal, c_);
    c_.Text(L, Y(i + 6) - h - h / 4, fit.text, normal, kBlack);
  }
}

}  // namespace

std::string ReportFileStem(std::string_view report_name, std::string_view period_text,
                           std::string_view for_whom) {
  std::string s;
  if (!report_name.empty()) s = Concat({"-", UpperPl(report_name)});
  s += period_text;
  if (!for_whom.empty()) {
    s += ' ';
    s += for_whom;
  }
  for (char& c : s) {
    if (c == ' ') c = '-';
  }
  s = FoldPl(s);
  std::string out;
  for (char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 33 || b > 126) continue;
    if (std::string_view("\"%'*/:<>?\\|").find(c) != std::string_view::npos) continue;
    out += c;
  }
  if (out.size() > 250) out.resize(250);
  return out;
}

PrintTexts MakePrintTexts(const ReportDocument& doc, std::string_view menu_position,
                          std::string_view period_text, std::string_view version,
                          std::string_view hhmm) {
  PrintTexts t;
  t.stamp = DayToText10(Today) + " " + std::string(hhmm.substr(0, 5));
  t.job_title =
      "Zel-" + std::string(menu_position) + ReportFileStem(doc.Name(), period_text, ForWhom.view());
  // A program without a start folder of its own (zel-batch) names only the
  // database folder.
  t.footer_left =
      (StartDir.empty() ? std::string() : StartDir.str() + "\\") + DbDir.str() + StationExt.str();
  t.footer_centre = FirmName.str();
  t.footer_right = "Zel " + std::string(version) + " " + std::string(menu_position);
  return t;
}

bool ClampPrintRange(std::int64_t first, std::int64_t last, std::int32_t row_count,
                     std::int32_t* from, std::int32_t* to) {
  if (row_count < 1) return false;
  first = std::clamp<std::int64_t>(first, 1, row_count);
  last = std::clamp<std::int64_t>(last, 1, row_count);
  if (first > last) std::swap(first, last);
  *from = static_cast<std::int32_t>(first);
  *to = static_cast<std::int32_t>(last);
  return true;
}

std::int32_t PageCount(std::int32_t first, std::int32_t last, std::int32_t rows_per_page) {
  if (last < first || rows_per_page < 1) return 0;
  const std::int64_t rows = static_cast<std::int64_t>(last) - first + 1;
  return static_cast<std::int32_t>((rows + rows_per_page - 1) / rows_per_page);
}

PrintOutcome PrintPages(const ReportDocument& doc, const PrintTexts& texts, std::int32_t first,
                        std::int32_t last, bool landscape, PageCanvas& canvas,
                        const std::function<bool(std::int32_t page)>& keep_going) {
  PrintOutcome out;
  out.layout = ComputePrintLayout(doc, canvas.PageWidth(), canvas.PageHeight(), landscape, canvas);
  const std::int32_t n = out.layout.rows;
  out.pages = PageCount(first, last, n);
  if (!canvas.Begin(texts.job_title)) {
    canvas.End(false);
    return out;
  }
  PageDrawer drawer(doc, texts, out.layout, canvas);
  bool ok = true;
  for (std::int32_t page = 1; page <= out.pages; ++page) {
    if (page > 1 && !canvas.NewPage()) {
      ok = false;
      break;
    }
    const std::int32_t from = first + (page - 1) * n;
    drawer.Page(page, out.pages, from, last);
    if (keep_going && !keep_going(page)) {
      ok = false;
      break;
    }
  }
  out.ok = canvas.End(ok) && ok;
  return out;
}

PrintOutcome PrintReport(const ReportDocument& doc, const PrintTexts& texts, std::int64_t first,
                         std::int64_t last, bool landscape, std::string_view printer,
                         PageCanvas& canvas) {
  std::int32_t from = 0, to = 0;
  if (!ClampPrintRange(first, last, doc.RowCount(), &from, &to)) {
    ShowStatus("Brak wierszy do wydruku", kWarning);
    return {};
  }
  ShowStatus("Druk na " + std::string(printer), kWarning);
  PrintOutcome out = PrintPages(doc, texts, from, to, landscape, canvas);
  if (out.ok) {
    ShowStatus("Raport wydrukowany", kSuccess);
  } else {
    ShowStatus("Raport nie został wydrukowany"_w, kWarning);
  }
  return out;
}

}  // namespace zel
