// The menu tree as data: the 16 main lines (groups '@' and 'A' to 'O'), the
// sub-lists of the groups that have one, the function keys of the main list
// and the codes of the options that no menu line reaches.
//
// Captions are stored in UTF-8 and handed out in Windows-1250. A menu item
// without an option has index 0; the items of J-C to J-K open their option
// with an empty code, while the settings still know the option by the code
// of OptionSettingsCode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zel {

// What choosing a main line does.
enum class MainAction : std::uint8_t { kEnding, kOption, kSubList };

struct MainLine {
  char letter;           // '@', 'A'..'O'
  const char* caption;   // UTF-8, e.g. "E - syntetyka i analityka"
  MainAction action;
  std::uint8_t index;    // for kOption
  const char* code;      // for kOption
};

struct MenuItem {
  char letter;           // first character of the caption
  const char* caption;   // UTF-8, e.g. "A - zestawienie obrotów i sald"
  const char* code;      // "" for items without a code
  std::uint8_t index;    // 0: the item opens nothing
};

struct FunctionKey {
  int key;               // 1..11 (F3 has no line)
  std::uint8_t index;
  const char* caption;   // UTF-8
};

inline constexpr int kMainLineCount = 16;
// The first line of every sub-list.
inline constexpr const char* kBackLine = "Esc - powrót do głównego menu";

const std::vector<MainLine>& MainLines();
const MainLine* FindMainLine(char letter);
// The items of a group's sub-list in order; empty for groups without one.
const std::vector<MenuItem>& SubListItems(char group);
const MenuItem* FindMenuItem(char group, char item);
// The entry of function key n (1..11), or nullptr.
const FunctionKey* FindFunctionKey(int n);
// Every option index a menu line or function key opens, ascending, unique.
std::vector<std::uint8_t> MenuIndices();

// The code under which the settings know an option (window positions are
// saved as code + "LT"); empty for an index without one.
std::string OptionSettingsCode(std::uint8_t index);
// The caption of the menu line that opens the index (Windows-1250, without
// letter and dash), with the group and item letters; nullopt when none does.
struct MenuPlace {
  char group;
  char item;  // ' ' for a main line that opens the option directly
  std::string caption;
};
std::optional<MenuPlace> FindMenuPlace(std::uint8_t index);

}  // namespace zel
