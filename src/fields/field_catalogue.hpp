// The catalogue of option fields (numbers 41..266, and the shell fields 37
// and 38 that option 134 shows): code, number, first caption, declared width,
// whether typed letters become upper case, and which hint list F4 opens.
//
// The entries are constant data; captions are UTF-8 in the table and handed
// out in Windows-1250. A field set may declare a field under another caption
// or width; the catalogue gives the usual ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fields/field_set.hpp"

namespace zel {

struct FieldInfo {
  std::int16_t number;
  const char* code;
  const char* caption;       // UTF-8: the first caption the options use
  std::uint8_t width;        // characters
  bool upper;                // typed letters are converted to upper case
  std::uint8_t f4_list;      // hint list kind of F4; 0 = none
  const char* f4_extension;  // file extension of a file list ("DFX"), or ""
  bool f3_window;            // the field opens an F3 window
};

const std::vector<FieldInfo>& FieldCatalogue();
const FieldInfo* FindField(std::int16_t number);
const FieldInfo* FindFieldByCode(std::string_view code);

// A declaration of a catalogue field with its first caption or the given
// one (UTF-8), and its width or the given one.
FieldDecl CatalogueField(std::int16_t number);
FieldDecl CatalogueField(std::int16_t number, const char* caption_utf8, int width = -1);

}  // namespace zel
