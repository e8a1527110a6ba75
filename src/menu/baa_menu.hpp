// baaMenu: the menu's business module. Its hooks fill the main list, open a
// group (a sub-list, a single option, or the end of work) and make a
// sub-list item's option current.
//
// The menu window implements MenuLists and attaches it; the hooks never keep
// a pointer past the window's life. CurrentGroup is the letter of the main
// line chosen last (the menu window reads it to remember sub-list lines).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "menu/hooks.hpp"

namespace zel {

extern char CurrentGroup;

// The menu window's lists as the hooks see them.
class MenuLists {
 public:
  virtual ~MenuLists() = default;
  virtual void AddMainLine(std::string_view line) = 0;
  // Width of a text in the menu window's font, in pixels.
  virtual int LineWidth(std::string_view text) const = 0;
  // Places OpenAt just below the main line of the letter.
  virtual void SetOpenAtMainLine(char letter) = 0;
  // Clears, shows and focuses the sub-list and gives it these lines (the
  // back line first); the window then selects the group's remembered line.
  virtual void ShowSubList(const std::vector<std::string>& lines) = 0;
};

class baaMenu : public BusinessModule {
 public:
  baaMenu() : BusinessModule("baaMenu") {}
  void Attach(MenuLists* lists) { lists_ = lists; }

  // Adds the 16 main lines (" " + caption) and raises width to the widest
  // " " + caption + " ".
  void MainMenu(std::string_view owner, int& width);
  // Opens the group of the chosen main line.
  void CallNext(std::string_view owner, char letter);
  // Makes the option of the group's item current, or does nothing.
  void CallLast(std::string_view owner, char group, char item);
  // Called each time the menu is activated; nothing option-specific to do.
  void InnaOpcM(std::string_view owner);
  // The menu has no option of its own: answers false.
  bool niMaOpcji(std::string_view owner);

 private:
  MenuLists* lists_ = nullptr;
};

// Function key n (1..11) of the main list: opens its option with the key
// "F" + the first digit of n and the code "Menu" + that key. The window
// calls it only once the workstation is registered. False for F3 and keys
// outside 1..11.
bool OpenFunctionKey(int n);

// Opens an option by its index the way its menu line would (key, code and
// caption of the line), for callers without a menu window such as zel-batch.
// An index no line opens gets an empty key, its settings code and an empty
// caption. False for index 0.
bool OpenMenuIndex(std::uint8_t index);

}  // namespace zel
