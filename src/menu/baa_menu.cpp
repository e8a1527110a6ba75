#include "menu/baa_menu.hpp"

#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "menu/menu_tree.hpp"
#include "shell/status.hpp"

namespace zel {

char CurrentGroup = 'A';

void baaMenu::MainMenu(std::string_view owner, int& width) {
  CheckOwner(owner, "MainMenu");
  for (const MainLine& line : MainLines()) {
    std::string text = Concat({" ", Utf8ToWin(line.caption)});
    if (lists_) {
      lists_->AddMainLine(text);
      width = std::max(width, lists_->LineWidth(text + " "));
    }
  }
}

void baaMenu::CallNext(std::string_view owner, char letter) {
  CheckOwner(owner, "CallNext");
  CurrentGroup = letter;
  OptionKey = std::string_view(&letter, 1);
  if (lists_) lists_->SetOpenAtMainLine(letter);

  const MainLine* line = FindMainLine(letter);
  if (!line) {
    std::string text(1, letter);
    text += " #";
    text += IntTextOrZero(static_cast<unsigned char>(letter));
    ShowStatus(text, kInfo);
    return;
  }
  switch (line->action) {
    case MainAction::kEnding:
      Desktop().Ending();
      return;
    case MainAction::kOption:
      // The menu window has just put the line's caption into OptionCaption.
      OpenOption(OptionKey.view(), line->index, line->code, OptionCaption.view());
      return;
    case MainAction::kSubList: {
      std::vector<std::string> lines;
      lines.push_back(Utf8ToWin(kBackLine));
      for (const MenuItem& item : SubListItems(letter)) lines.push_back(Concat({" ", Utf8ToWin(item.caption)}));
      if (lists_) lists_->ShowSubList(lines);
      return;
    }
  }
}

void baaMenu::CallLast(std::string_view owner, char group, char item) {
  CheckOwner(owner, "CallLast");
  char key[2] = {group, item};
  OptionKey = std::string_view(key, 2);
  const MenuItem* entry = FindMenuItem(group, item);
  if (!entry || entry->index == 0) return;
  OpenOption(OptionKey.view(), entry->index, entry->code, OptionCaption.view());
}

void baaMenu::InnaOpcM(std::string_view owner) { CheckOwner(owner, "InnaOpcM"); }

bool baaMenu::niMaOpcji(std::string_view owner) {
  CheckOwner(owner, "niMaOpcji");
  return false;
}

bool OpenFunctionKey(int n) {
  const FunctionKey* key = FindFunctionKey(n);
  if (!key) return false;
  std::string code = Concat({"F", std::to_string(n).substr(0, 1)});
  OpenOption(code, key->index, "Menu" + code, Utf8ToWin(key->caption));
  return true;
}

bool OpenMenuIndex(std::uint8_t index) {
  if (index == 0) return false;
  std::optional<MenuPlace> place = FindMenuPlace(index);
  if (!place) {
    OpenOption("", index, OptionSettingsCode(index), "");
    return true;
  }
  std::string key(1, place->group);
  std::string code;
  if (place->item == ' ') {
    code = FindMainLine(place->group)->code;
  } else {
    key += place->item;
    code = FindMenuItem(place->group, place->item)->code;
  }
  OpenOption(key, index, code, place->caption);
  return true;
}

}  // namespace zel
