#include "common/pltext.hpp"

#include <algorithm>
#include <array>

#include "common/cp1250.hpp"
#include "common/globals.hpp"

namespace zel {

// clang-format off
//                                             lower: ą    ć    ę    ł    ń    ó    ś    ż    ź
//                                             upper: Ą    Ć    Ę    Ł    Ń    Ó    Ś    Ż    Ź
const std::array<std::uint8_t, 18> PolishWin = {0xB9, 0xE6, 0xEA, 0xB3, 0xF1, 0xF3, 0x9C, 0xBF, 0x9F,
                                                0xA5, 0xC6, 0xCA, 0xA3, 0xD1, 0xD3, 0x8C, 0xAF, 0x8F};
const std::array<std::uint8_t, 18> PolishMazovia = {0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA7, 0xA6,
                                                    0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA1, 0xA0};
const std::array<std::uint8_t, 18> Polish852 = {0xA5, 0x86, 0xA9, 0x88, 0xE4, 0xA2, 0x98, 0xBE, 0xAB,
                                                0xA4, 0x8F, 0xA8, 0x9D, 0xE3, 0xE0, 0x97, 0xBD, 0x8D};
const std::array<char, 18> PolishFolded = {'a', 'c', 'e', 'l', 'n', 'o', 's', 'z', 'z',
                                           'A', 'C', 'E', 'L', 'N', 'O', 'S', 'Z', 'Z'};
//                                        DOS: ä    ö    ü    ß    Ä    Ö    Ü    §    (FA)
const std::array<std::uint8_t, 9> ExtraDos = {0x84, 0x94, 0x81, 0xE1, 0x8E, 0x99, 0x9A, 0x15, 0xFA};
const std::array<std::uint8_t, 9> ExtraWin = {0xE4, 0xF6, 0xFC, 0xDF, 0xC4, 0xD6, 0xDC, 0xA7, 0x20};
// clang-format on

namespace {

constexpr int kCapacity = 250;
constexpr std::size_t kNormalizedCapacity = 80;

template <std::size_t N>
int IndexOf(const std::array<std::uint8_t, N>& table, std::uint8_t b) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i] == b) return static_cast<int>(i);
  }
  return -1;
}

std::uint8_t Byte(char c) {
  return static_cast<std::uint8_t>(c);
}

// The 27-entry tables of the DOS conversion: lower, upper, the nine further.
std::uint8_t DosEntry(int i) {
  return i < 18 ? PolishMazovia[i] : ExtraDos[i - 18];
}
std::uint8_t WinEntry(int i) {
  return i < 18 ? PolishWin[i] : ExtraWin[i - 18];
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string CharString(char c, int count) {
  return std::string(static_cast<std::size_t>(std::clamp(count, 0, kCapacity)), c);
}

std::string Spaces(int count) {
  return CharString(' ', count);
}

std::string PadRight(std::string_view text, int n) {
  const std::size_t w = static_cast<std::size_t>(std::clamp(n, 0, kCapacity));
  std::string s(text.substr(0, w));
  s.resize(w, ' ');
  return s;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return std::string(text.substr(b, e - b));
}

std::string LeftPart(std::string_view text, std::int16_t n) {
  const long size = static_cast<long>(text.size());
  long keep = n >= 0 ? n : size + n;
  keep = std::clamp(keep, 0L, std::min<long>(size, kCapacity));
  return std::string(text.substr(0, static_cast<std::size_t>(keep)));
}

char FirstChar(std::string_view text) {
  return text.empty() ? ' ' : text[0];
}

char YesNoChar(bool yes) {
  return yes ? 'T' : 'N';
}

std::string Capitalize(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') {
      c = AsciiUpper(c);
      break;
    }
  }
  return s;
}

std::string UpperPl(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    const int i = IndexOf(PolishWin, Byte(c));
    if (i >= 0 && i < 9) {
      c = static_cast<char>(PolishWin[i + 9]);
    } else {
      c = AsciiUpper(c);
    }
  }
  return s;
}

std::string FoldPl(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    // A byte that is a letter in both pages is read as Windows-1250.
    int i = IndexOf(PolishWin, Byte(c));
    if (i < 0) i = IndexOf(PolishMazovia, Byte(c));
    if (i >= 0) c = PolishFolded[i];
  }
  return s;
}

std::string SearchKey(std::string_view text) {
  if (!FoldSearch) return std::string(text);
  std::string s = FoldPl(text);
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

std::string NormalizeSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  std::string s;
  for (char c : text) {
    if (c == ' ' && !s.empty() && s.back() == ' ') continue;
    s += c;
  }
  if (s.size() > kNormalizedCapacity) s.resize(kNormalizedCapacity);
  return s;
}

std::size_t DosToWinTo(std::string_view dos, char* out) {
  // One lookup per byte: the table is the search below, made once.
  static const std::array<char, 256> kTable = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      int i = -1;
      for (int k = 0; k < 27; ++k) {
        if (DosEntry(k) == Byte(c)) {
          i = k;
          break;
        }
      }
      // Mazovia wins where both DOS pages use a byte.
      if (i < 0) i = IndexOf(Polish852, Byte(c));
      t[static_cast<std::size_t>(b)] = i >= 0 ? static_cast<char>(WinEntry(i)) : c;
    }
    return t;
  }();
  for (std::size_t i = 0; i < dos.size(); ++i) out[i] = kTable[Byte(dos[i])];
  return dos.size();
}

std::string DosToWin(std::string_view dos) {
  std::string s(dos.size(), '\0');
  DosToWinTo(dos, s.data());
  return s;
}

// One byte table, made once from the letter tables: imports convert every
// text of hundreds of thousands of rows.
const std::array<char, 256>& WinToDosTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) {
      t[static_cast<std::size_t>(b)] = static_cast<char>(b);
      // The last Windows entry, the space, is left out: spaces stay spaces.
      for (int k = 0; k < 26; ++k) {
        if (WinEntry(k) == static_cast<std::uint8_t>(b)) {
          t[static_cast<std::size_t>(b)] = static_cast<char>(DosEntry(k));
          break;
        }
      }
    }
    return t;
  }();
  return table;
}

std::string WinToDos(std::string_view win) {
  std::string s(win);
  WinToDosInPlace(s);
  return s;
}

void WinToDosInPlace(std::string& text) {
  const std::array<char, 256>& table = WinToDosTable();
  for (char& c : text) c = table[static_cast<unsigned char>(c)];
}

namespace {

// What XmlText writes for each byte: nothing (dropped), the byte itself, an
// entity, or the UTF-8 form of a Polish letter. '&' is decided per place.
struct XmlPieces {
  std::array<std::array<char, 6>, 256> text{};
  std::array<std::uint8_t, 256> size{};
  std::array<bool, 256> dropped{};
};

const XmlPieces& XmlPieceTable() {
  static const XmlPieces table = [] {
    XmlPieces t;
    auto set = [&t](int b, std::string_view piece) {
      const auto u = static_cast<std::size_t>(b);
      std::copy(piece.begin(), piece.end(), t.text[u].begin());
      t.size[u] = static_cast<std::uint8_t>(piece.size());
      t.dropped[u] = piece.empty();
    };
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      if (IndexOf(PolishWin, static_cast<std::uint8_t>(b)) >= 0) {
        set(b, WinToUtf8(std::string_view(&c, 1)));
      } else if (b > 0x7E) {
        // Dropped: the audit files carry only ASCII and the Polish letters.
        set(b, {});
      } else if (b < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        // Dropped too: XML does not allow these controls, not even escaped.
        set(b, {});
      } else if (c == '"') {
        set(b, "&quot;");
      } else if (c == '<') {
        set(b, "&lt;");
      } else if (c == '>') {
        set(b, "&gt;");
      } else {
        set(b, std::string_view(&c, 1));
      }
    }
    return t;
  }();
  return table;
}

// True when the bytes from `k` on, once the dropped ones are left out, begin
// with "amp;": an '&' before them is then already an escape and stays bare.
bool EscapeFollows(std::string_view text, std::size_t k, const XmlPieces& t) {
  static constexpr std::string_view kAmp = "amp;";
  std::size_t matched = 0;
  for (; k < text.size() && matched < kAmp.size(); ++k) {
    const std::uint8_t b = Byte(text[k]);
    if (t.dropped[b]) continue;
    if (text[k] != kAmp[matched]) return false;
    ++matched;
  }
  return matched == kAmp.size();
}

}  // namespace

void AppendXmlText(std::string& out, std::string_view text) {
  const XmlPieces& t = XmlPieceTable();
  const std::size_t n = text.size();
  std::size_t k = 0;
  while (k < n) {
    // Runs of bytes written as they are go in one append.
    std::size_t run = k;
    while (run < n) {
      const std::uint8_t b = Byte(text[run]);
      if (t.size[b] != 1 || t.text[b][0] != text[run] || text[run] == '&') break;
      ++run;
    }
    if (run > k) {
      out.append(text.data() + k, run - k);
      k = run;
      if (k == n) break;
    }
    const std::uint8_t b = Byte(text[k]);
    if (text[k] == '&') {
      out.append(EscapeFollows(text, k + 1, t) ? "&" : "&amp;");
    } else {
      out.append(t.text[b].data(), t.size[b]);
    }
    ++k;
  }
}

std::string XmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  AppendXmlText(out, text);
  return out;
}

std::string MaskExpand(std::string_view mask, int n) {
  std::string s(mask);
  if (std::size_t star = s.find('*'); star != std::string::npos) s.insert(star, 25, '?');
  if (n < 0) n = 0;
  if (s.size() > static_cast<std::size_t>(n)) s.resize(static_cast<std::size_t>(n));
  return s;
}

std::string MaskCompact(std::string_view mask, int n) {
  std::string s(mask);
  if (n < 0 || s.size() != static_cast<std::size_t>(n)) return s;
  while (!s.empty() && s.back() == '?') s.pop_back();
  s += '*';
  return s;
}

}  // namespace zel
