// Windows-1250 text, the system's own code page, and its boundary to UTF-8.
//
// Inside Zel every text is a byte string in Windows-1250. Source files are
// UTF-8, so Polish literals are written readably and turned into Windows-1250
// by the _w literal ("Popraw datę BO"_w). Qt and XML get UTF-8 through
// WinToUtf8; text coming back from Qt goes through Utf8ToWin.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zel {

// Windows-1250 bytes to UTF-8. The five bytes the code page leaves undefined
// (81 83 88 90 98) become the C1 controls of the same value, so that every
// byte string survives a round trip.
std::string WinToUtf8(std::string_view win);

// UTF-8 to Windows-1250. A character the code page cannot hold becomes '?';
// a malformed UTF-8 sequence becomes '?' byte by byte.
std::string Utf8ToWin(std::string_view utf8);

inline namespace literals {
// "żółć"_w is the Windows-1250 text of the UTF-8 literal.
inline std::string operator""_w(const char* s, std::size_t n) {
  return Utf8ToWin(std::string_view(s, n));
}
}  // namespace literals

}  // namespace zel
