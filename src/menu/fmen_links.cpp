#include "menu/fmen_links.hpp"

#include "common/numbers.hpp"
#include "menu/current_option.hpp"
#include "menu/menu_tree.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"

namespace zel {

namespace {

constexpr std::string_view kOwner = "bPulpit";
std::function<bool()> unfinished_entry;

}  // namespace

void SetUnfinishedEntryCheck(std::function<bool()> check) { unfinished_entry = std::move(check); }

// ---- the bPulpit hooks ----

void bPulpit::zRejZmie(std::string_view owner) {
  CheckOwner(owner, "zRejZmie");
  ReadOptionSettings(DbSettings);
}

void bPulpit::wRejZmie(std::string_view owner) {
  CheckOwner(owner, "wRejZmie");
  WriteOptionSettings(DbSettings);
}

bool bPulpit::WrkZestaw(std::string_view owner) {
  CheckOwner(owner, "WrkZestaw");
  return unfinished_entry && unfinished_entry();
}

bool bPulpit::niLeTopWr(std::string_view owner, std::uint8_t kind, std::int16_t left,
                        std::int16_t top) {
  CheckOwner(owner, "niLeTopWr");
  std::string code = OptionSettingsCode(kind);
  if (code.empty()) return false;
  WriteSetting(false, code + "LT", IntTextOrEmpty(left) + ";" + IntTextOrEmpty(top));
  return true;
}

// ---- the links ----

std::uint8_t MenuPulpitLinks::CurrentOption() { return OptionIndex; }

void MenuPulpitLinks::SetCurrentOption(std::uint8_t index) { OptionIndex = index; }

bool MenuPulpitLinks::MenuAcceptsInput() { return !menu_ || menu_->AcceptsInput(); }

void MenuPulpitLinks::EnableMenu(bool on) {
  if (menu_) menu_->EnableList(on);
}

void MenuPulpitLinks::RestStatusPanel(std::uint32_t colour) {
  if (rest_status_panel) rest_status_panel(colour);
}

bool MenuPulpitLinks::LoadChart() { return !load_chart || load_chart(); }

void MenuPulpitLinks::zRejZmie() { hooks_.zRejZmie(kOwner); }

void MenuPulpitLinks::wRejZmie() { hooks_.wRejZmie(kOwner); }

bool MenuPulpitLinks::WrkZestaw() { return hooks_.WrkZestaw(kOwner); }

bool MenuPulpitLinks::niLeTopWr(std::uint8_t kind, std::int16_t left, std::int16_t top) {
  return hooks_.niLeTopWr(kOwner, kind, left, top);
}

}  // namespace zel
