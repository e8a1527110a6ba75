#include "output/report_text.hpp"

#include <algorithm>

namespace zel {

namespace {

constexpr char kMarker = static_cast<char>(254);

void TrimRight(std::string& s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
}

}  // namespace

std::string AlignCell(std::string_view text, char kind, int width) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  text = text.substr(0, std::min<std::size_t>(text.size(), 250));
  char align = (kind == 'b' || kind == 'd' || kind == 'p') ? 'r' : kind == 'c' ? 'c' : 'l';
  std::string t(text);
  std::size_t first = t.find(kMarker);
  if (first != std::string::npos) {
    t.erase(first, 1);
    align = 'r';
    std::size_t second = t.find(kMarker, first);
    if (second != std::string::npos) {
      t.resize(second);
      align = 'l';
    }
  }
  if (t.size() > w) t.resize(w);
  const std::size_t spare = w - t.size();
  switch (align) {
    case 'r': return std::string(spare, ' ') + t;
    case 'c': return std::string(spare / 2, ' ') + t + std::string(spare - spare / 2, ' ');
    default: return t + std::string(spare, ' ');
  }
}

std::string ReportAsText(const ReportDocument& doc, std::int32_t first, std::int32_t last) {
  const int cols = doc.ColumnCount();
  std::size_t table_width = 0;
  for (int i = 1; i <= cols; ++i) table_width += doc.Column(i).width + (i > 1 ? 1 : 0);

  std::string out;
  auto emit = [&out](std::string line) {
    TrimRight(line);
    out += line;
    out += '\n';
  };
  emit(std::string(doc.Title()));
  emit(std::string(doc.Subtitle()));

  // Headings are centred over their span; one longer than its span starts
  // at the span's left edge and runs on into the gap after it (the next
  // heading, placed later, wins where they meet).
  std::string h1(table_width, ' ');
  std::string h2(table_width, ' ');
  auto place = [](std::string& line, std::size_t x, std::size_t span, std::string_view text) {
    const std::size_t at = x + (text.size() < span ? (span - text.size()) / 2 : 0);
    if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
    line.replace(at, text.size(), text);
  };
  std::size_t x = 0;
  for (int i = 1; i <= cols; ++i) {
    const ReportColumn& c = doc.Column(i);
    place(h2, x, c.width, c.heading2.view());
    if (c.kind == 'b' && i < cols && doc.Column(i + 1).kind == 'd') {
      place(h1, x, c.width + 1u + doc.Column(i + 1).width, c.heading1.view());
    } else if (c.kind != 'd') {
      place(h1, x, c.width, c.heading1.view());
    }
    x += c.width + 1u;
  }
  emit(h1);
  emit(h2);
  emit(std::string(table_width, '-'));

  const std::int32_t n = doc.RowCount();
  if (last <= 0 || last > n) last = n;
  first = std::max<std::int32_t>(first, 1);
  for (std::int32_t r = first; r <= last; ++r) {
    switch (doc.RowKind(r)) {
      case '0': {
        std::string line;
        for (int i = 1; i <= cols; ++i) {
          if (i > 1) line += ' ';
          const ReportColumn& c = doc.Column(i);
          line += AlignCell(doc.Cell(r, i), c.kind, c.width);
        }
        emit(std::move(line));
        break;
      }
      case '1':
      case '2': emit(std::string(doc.Cell(r, 1))); break;
      case '3': {
        std::string_view c = doc.Cell(r, 1);
        char ch = c.empty() ? ' ' : c[0];
        emit(ch == '-' || ch == '.' || ch == '=' ? std::string(table_width, ch) : std::string());
        break;
      }
      default: break;
    }
  }
  return out;
}

}  // namespace zel
