// bPulpit: the business module of the desktop. Its four hooks read and write
// the business settings, tell whether a parameter window holds an unfinished
// entry, and save a window position by option index.
//
// Only the class is declared here; the hooks are defined with the desktop
// and the settings (b_pulpit_hooks*.cpp), by their own developer.
#pragma once

#include <cstdint>
#include <string_view>

#include "menu/hooks.hpp"

namespace zel {

class bPulpit : public BusinessModule {
 public:
  bPulpit() : BusinessModule("bPulpit") {}

  void zRejZmie(std::string_view owner);   // read the module's settings
  void wRejZmie(std::string_view owner);   // write them
  bool WrkZestaw(std::string_view owner);  // true: an unfinished entry
  // Saves the position of the window kind under its option's code; false
  // when the kind has no name to save under.
  bool niLeTopWr(std::string_view owner, std::uint8_t kind, std::int16_t left, std::int16_t top);
};

}  // namespace zel
