#include "output/report_text.hpp"

#include <algorithm>

namespace zel {

namespace {

constexpr char kMarker = static_cast<char>(254);

std::string Centred(std::string_view text, std::size_t width) {
  text = text.substr(0, std::min(text.size(), width));
  std::size_t left = (width - text.size()) / 2;
  std::string s(left, ' ');
  s += text;
  s.append(width - s.size(), ' ');
  return s;
}

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

  std::string h1;
  std::string h2;
  for (int i = 1; i <= cols; ++i) {
    const ReportColumn& c = doc.Column(i);
    if (i > 1) {
      h2 += ' ';
      if (doc.Column(i - 1).kind != 'b' || c.kind != 'd') h1 += ' ';
    }
    h2 += Centred(c.heading2.view(), c.width);
    if (c.kind == 'b' && i < cols && doc.Column(i + 1).kind == 'd') {
      h1 += Centred(c.heading1.view(), c.width + 1u + doc.Column(i + 1).width);
    } else if (c.kind == 'd' && i > 1 && doc.Column(i - 1).kind == 'b') {
      // covered by the heading of its `b` column
    } else if (c.kind == 'd') {
      h1 += std::string(c.width, ' ');
    } else {
      h1 += Centred(c.heading1.view(), c.width);
    }
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
