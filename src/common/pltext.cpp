#include "common/pltext.hpp"

#include <algorithm>

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

std::string DosToWin(std::string_view dos) {
  std::string s(dos);
  for (char& c : s) {
    int i = -1;
    for (int k = 0; k < 27; ++k) {
      if (DosEntry(k) == Byte(c)) {
        i = k;
        break;
      }
    }
    // Mazovia wins where both DOS pages use a byte.
    if (i < 0) i = IndexOf(Polish852, Byte(c));
    if (i >= 0) c = static_cast<char>(WinEntry(i));
  }
  return s;
}

std::string WinToDos(std::string_view win) {
  std::string s(win);
  for (char& c : s) {
    // The last Windows entry, the space, is left out: spaces stay spaces.
    for (int k = 0; k < 26; ++k) {
      if (WinEntry(k) == Byte(c)) {
        c = static_cast<char>(DosEntry(k));
        break;
      }
    }
  }
  return s;
}

std::string XmlText(std::string_view text) {
  // Built from the last character back, as the tail seen by '&' is the part
  // already converted; `rev` holds the converted tail reversed.
  std::string rev;
  rev.reserve(text.size() + text.size() / 4);
  auto put = [&rev](std::string_view piece) { rev.append(piece.rbegin(), piece.rend()); };
  for (std::size_t k = text.size(); k-- > 0;) {
    const char c = text[k];
    const std::uint8_t b = Byte(c);
    if (IndexOf(PolishWin, b) >= 0) {
      put(WinToUtf8(std::string_view(&c, 1)));
    } else if (b > 0x7E) {
      // Dropped: the audit files carry only ASCII and the Polish letters.
    } else if (b < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      // Dropped too: XML does not allow these controls, not even escaped.
    } else if (c == '"') {
      put("&quot;");
    } else if (c == '<') {
      put("&lt;");
    } else if (c == '>') {
      put("&gt;");
    } else if (c == '&') {
      const std::size_t n = rev.size();
      const bool escaped = n >= 4 && rev[n - 1] == 'a' && rev[n - 2] == 'm' && rev[n - 3] == 'p' &&
                           rev[n - 4] == ';';
      put(escaped ? "&" : "&amp;");
    } else {
      rev += c;
    }
  }
  return std::string(rev.rbegin(), rev.rend());
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
