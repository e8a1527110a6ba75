#include "books/import_text.hpp"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"

namespace zel {
namespace {

// The Windows-1250 byte of one byte of a code page, through the system's
// converter and UTF-8. Bytes the converter does not know become '?'.
bool BuildTable(int code_page, std::array<char, 256>* table) {
  for (int b = 0; b < 128; ++b) (*table)[static_cast<std::size_t>(b)] = static_cast<char>(b);
  if (code_page == 1250) {
    for (int b = 128; b < 256; ++b)
      (*table)[static_cast<std::size_t>(b)] = static_cast<char>(b);
    return true;
  }
  if (code_page == 620) {
    // Mazovia is not known to the system's converter; DosToWin reads it.
    for (int b = 128; b < 256; ++b) {
      const char c = static_cast<char>(b);
      (*table)[static_cast<std::size_t>(b)] = DosToWin(std::string_view(&c, 1))[0];
    }
    return true;
  }
  std::string name = code_page >= 28591 && code_page <= 28599
                         ? "ISO-8859-" + std::to_string(code_page - 28590)
                         : "CP" + std::to_string(code_page);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (int b = 128; b < 256; ++b) {
    char in = static_cast<char>(b);
    char out[8] = {};
    char* in_p = &in;
    char* out_p = out;
    std::size_t in_left = 1;
    std::size_t out_left = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t got = iconv(cd, &in_p, &in_left, &out_p, &out_left);
    std::string win = got == static_cast<std::size_t>(-1)
                          ? std::string("?")
                          : Utf8ToWin(std::string_view(out, sizeof out - out_left));
    (*table)[static_cast<std::size_t>(b)] = win.size() == 1 ? win[0] : '?';
  }
  iconv_close(cd);
  return true;
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

}  // namespace

SourceText::SourceText() { BuildTable(852, &table_); }

SourceText SourceText::Utf8() {
  SourceText t;
  t.kind_ = Kind::kUtf8;
  t.code_page_ = 65001;
  return t;
}

bool SourceText::FromCodePage(int number, SourceText* out) {
  if (number == 65001) {
    *out = Utf8();
    return true;
  }
  SourceText t;
  if (number <= 0 || !BuildTable(number, &t.table_)) return false;
  t.code_page_ = number;
  *out = t;
  return true;
}

SourceText SourceText::FromLanguageByte(std::uint8_t ldid) {
  int cp = 852;
  switch (ldid) {
    case 0x01: cp = 437; break;
    case 0x02: cp = 850; break;
    case 0x03: cp = 1252; break;
    case 0x57: cp = 1252; break;
    case 0x64: cp = 852; break;
    case 0x65: cp = 866; break;
    case 0x69: cp = 620; break;  // Mazovia
    case 0x26: cp = 866; break;
    case 0xC8: cp = 1250; break;
    case 0xC9: cp = 1251; break;
    case 0xCA: cp = 1254; break;
    case 0xCB: cp = 1253; break;
    default: break;
  }
  SourceText t;
  if (!FromCodePage(cp, &t)) return SourceText();
  return t;
}

SourceText SourceText::FromCpg(std::string_view cpg) {
  std::string u = Upper(cpg);
  u.erase(std::remove_if(u.begin(), u.end(),
                         [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }),
          u.end());
  if (u == "UTF-8" || u == "UTF8") return Utf8();
  if (u.find("MAZOVIA") != std::string::npos) {
    SourceText t;
    FromCodePage(620, &t);
    return t;
  }
  const bool iso = u.find("8859") != std::string::npos;
  std::string digits;
  const std::size_t from = iso ? u.find("8859") + 4 : 0;
  for (std::size_t i = from; i < u.size(); ++i)
    if (std::isdigit(static_cast<unsigned char>(u[i])) != 0) digits += u[i];
  if (digits.empty() || digits.size() > 5) return SourceText();
  int number = std::stoi(digits);
  if (iso) number += 28590;
  SourceText t;
  if (!FromCodePage(number, &t)) return SourceText();
  return t;
}

SourceText SourceText::FromShapelib(const char* code_page) {
  if (code_page == nullptr || *code_page == '\0') return SourceText();
  std::string_view cp(code_page);
  if (cp.substr(0, 5) == "LDID/") {
    int ldid = 0;
    for (char c : cp.substr(5)) {
      if (c < '0' || c > '9' || ldid > 255) return SourceText();
      ldid = ldid * 10 + (c - '0');
    }
    if (ldid > 255) return SourceText();
    return FromLanguageByte(static_cast<std::uint8_t>(ldid));
  }
  return FromCpg(cp);
}

void SourceText::AppendWin(std::string_view bytes, std::string& out) const {
  if (kind_ == Kind::kUtf8) {
    out += Utf8ToWin(bytes);
    return;
  }
  // Every table keeps the bytes below 128 as they are, and most cells are
  // plain ASCII: the bytes are copied whole, and only from the first one
  // with the high bit set are they looked up.
  const std::size_t at = out.size();
  out.append(bytes);
  for (std::size_t i = at + AsciiPrefix(bytes); i < out.size(); ++i)
    out[i] = table_[static_cast<unsigned char>(out[i])];
}

std::string SourceText::ToWin(std::string_view bytes) const {
  std::string out;
  AppendWin(bytes, out);
  return out;
}

std::string LegacyLetters(std::string_view win, std::vector<std::uint8_t>* unknown) {
  std::string out(win);
  for (char& ch : out) {
    const auto b = static_cast<unsigned char>(ch);
    unsigned char to = b;
    switch (b) {
      case 0: to = 185; break;
      case 142: to = 159; break;
      case 143: to = 230; break;
      case 156: to = 140; break;
      case 157: to = 163; break;
      case 158: to = 191; break;
      case 165: to = 241; break;
      case 197: to = 234; break;
      case 215: to = 156; break;
      case 229: to = 179; break;
      case 230: to = 185; break;
      case 237: to = 175; break;
      case 243: to = 243; break;
      case 250: to = 211; break;
      default:
        if ((b < 32 || b > 122) && unknown != nullptr &&
            std::find(unknown->begin(), unknown->end(), b) == unknown->end()) {
          unknown->push_back(b);
        }
        break;
    }
    ch = static_cast<char>(to);
  }
  return out;
}

}  // namespace zel
