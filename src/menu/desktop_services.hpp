// What the menu and the field windows ask of the desktop: activating a window
// kind two ticks later, ending the work, returning from lists and F3 windows,
// opening a hint list and putting a text on the clipboard.
//
// The desktop implements it and installs itself with SetDesktopServices; until
// then (and in tests that install nothing) every call does nothing. The caller
// of SetDesktopServices keeps ownership of the object.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

class DesktopServices {
 public:
  virtual ~DesktopServices() = default;

  // Records the window kind and entry mode; the desktop activates it later.
  virtual void ShowKind(std::uint8_t kind, std::uint8_t mode) = 0;
  // Asks whether work is finished and closes the desktop on "Tak".
  virtual void Ending() = 0;
  // Back from the F3 window to the current option (mode 2, or 3 after Esc).
  virtual void RetF3(bool escaped) = 0;
  // Back from a hint list to the kind saved by F45 (mode 4, or 5 after Esc).
  virtual void RetF45(bool escaped) = 0;
  // Opens hint list `value` over `text` and remembers the kind to return to;
  // key_code 116 (F5) asks for a search.
  virtual void F45(std::uint8_t return_kind, std::uint8_t value, std::string_view text,
                   std::uint16_t key_code) = 0;
  virtual void SetClipboard(std::string_view text) = 0;
};

// Installs the desktop (nullptr: calls do nothing). Returns the previous one.
DesktopServices* SetDesktopServices(DesktopServices* desktop);
// The installed desktop, or a stand-in that does nothing.
DesktopServices& Desktop();

}  // namespace zel
