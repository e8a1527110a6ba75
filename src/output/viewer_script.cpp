#include "output/viewer_script.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "common/concat.hpp"
#include "common/cp1250.hpp"

namespace zel {

namespace {

// The next field of the line from `at`: skips the spaces before it and
// answers the characters up to the next space.
std::string_view NextField(std::string_view line, std::size_t* at) {
  std::size_t i = *at;
  while (i < line.size() && line[i] == ' ') ++i;
  const std::size_t from = i;
  while (i < line.size() && line[i] != ' ') ++i;
  *at = i;
  return line.substr(from, i - from);
}

int FieldNumber(std::string_view field) {
  if (!field.empty() && field[0] == '+') field.remove_prefix(1);
  int v = 0;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, v);
  return (ec == std::errc() && ptr == end && !field.empty()) ? v : 0;
}

}  // namespace

ViewerCommand ParseViewerLine(std::string_view raw) {
  std::string line(raw);
  for (char& c : line) {
    if (c == '?') c = '$';
  }
  ViewerCommand cmd;
  std::size_t at = 0;
  const std::string_view first = NextField(line, &at);
  if (first.empty()) return cmd;
  cmd.letter = first[0];
  int* const coords[] = {&cmd.y1, &cmd.y2, &cmd.x1, &cmd.x2};
  for (int* c : coords) *c = FieldNumber(NextField(line, &at));
  while (at < line.size() && line[at] == ' ') ++at;
  cmd.text = line.substr(at);
  return cmd;
}

std::string_view ViewerCopyName(char copy) {
  static const std::string original = "oryginał"_w;
  static const std::string both = "oryginał/kopia"_w;
  switch (copy) {
    case 'o':
      return original;
    case 'k':
      return "kopia";
    case 'l':
      return "kopia(2)";
    case 'm':
      return "kopia(3)";
    case 'p':
      return both;
    default:
      return {};
  }
}

std::string WithCopyName(std::string_view text, char copy) {
  static constexpr std::string_view kMark = ".orykop.";
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(kMark, from)) != std::string_view::npos;) {
    out.append(text.substr(from, at - from));
    out.append(ViewerCopyName(copy));
    from = at + kMark.size();
  }
  if (from == 0) return std::string(text);
  out.append(text.substr(from));
  return out;
}

std::vector<std::string> LimitViewerLines(const std::vector<std::string>& lines,
                                          std::string* notice) {
  const std::size_t n = std::min(lines.size(), kViewerMaxLines);
  std::vector<std::string> out;
  out.reserve(n);
  std::size_t cut = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string& l = lines[i];
    if (l.size() > kViewerMaxLineChars) ++cut;
    out.emplace_back(l.substr(0, kViewerMaxLineChars));
  }
  notice->clear();
  if (lines.size() > kViewerMaxLines) {
    *notice = Concat({"Dokument ma ", std::to_string(lines.size()), " wierszy; pokazano pierwsze ",
                      std::to_string(kViewerMaxLines)});
  }
  if (cut > 0) {
    if (!notice->empty()) *notice += "; ";
    *notice += Concat({"skrócono do ", std::to_string(kViewerMaxLineChars),
                       " znaków wierszy: ", std::to_string(cut)});
  }
  *notice = Utf8ToWin(*notice);
  return out;
}

}  // namespace zel
