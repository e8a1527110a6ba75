// Texts read from imported files, brought into the program's Windows-1250.
//
// The readers give real text: a workbook's cells come as UTF-8, a dBase
// file's character fields as bytes of the code page its header (the language
// byte) or its ".cpg" file names, code page 852 when neither says anything.
// Each source is turned into Windows-1250 once; the records then store it
// the way their files want it (WinToDos where the file holds DOS text).
//
// Old exports of an earlier program put bytes through a fixed letter table
// before they reached the workbook; that table is kept as LegacyLetters for
// those files only, chosen by the user.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// How the bytes of a text are to be read.
class SourceText {
 public:
  enum class Kind : std::uint8_t { kTable, kUtf8 };

  // Code page 852, the default of dBase files from Polish programs.
  SourceText();
  static SourceText Utf8();
  // A code page by its number (852, 1250, 437, 620 for Mazovia, ...); false
  // when the system cannot convert from it.
  static bool FromCodePage(int number, SourceText* out);
  // The dBase language byte (header byte 29); 0 and unknown bytes: 852.
  static SourceText FromLanguageByte(std::uint8_t ldid);
  // A ".cpg" file's text ("UTF-8", "1250", "CP852", "ISO-8859-2", ...);
  // unknown texts: 852.
  static SourceText FromCpg(std::string_view cpg);
  // What shapelib reports as the code page: "LDID/n" from the language byte,
  // the ".cpg" text, or nothing.
  static SourceText FromShapelib(const char* code_page);

  std::string ToWin(std::string_view bytes) const;
  // Appends the converted text to out (the readers' hot path).
  void AppendWin(std::string_view bytes, std::string& out) const;
  // True when the bytes read as themselves in Windows-1250: plain ASCII
  // (every table keeps the bytes below 128, and so does UTF-8).
  // Inline: the dBase reader asks it of every text cell.
  bool SameAsWin(std::string_view bytes) const { return AsciiPrefix(bytes) == bytes.size(); }
  // How many bytes from the start are plain ASCII, tested eight at a time.
  static std::size_t AsciiPrefix(std::string_view bytes) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; bytes.size() - i >= 8; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + i, 8);
      if ((word & kHigh) != 0) break;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 128) ++i;
    return i;
  }
  int code_page() const { return code_page_; }  // 65001 for UTF-8

 private:
  Kind kind_ = Kind::kTable;
  int code_page_ = 852;
  std::array<char, 256> table_{};
};

// The letter table of old exports, applied to a Windows-1250 text: bytes 32
// to 122 stay, the listed bytes become Polish letters, every other byte
// stays and is added to *unknown (once each) so that the caller can name it.
std::string LegacyLetters(std::string_view win, std::vector<std::uint8_t>* unknown);

}  // namespace zel
