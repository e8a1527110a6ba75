// FMen (window module aaaMenu): the menu window, the home window inside the
// desktop. Two lists side by side, the main list of the 16 groups and the
// sub-list of the chosen group; while no sub-list is open, the function-key
// buttons and a help memo stand in the sub-list's place.
//
// The form turns keys, clicks and double clicks into the baaMenu hooks
// (MainMenu, CallNext, CallLast, InnaOpcM) and the desktop's services, keeps
// LastItem (the sub-list line chosen last in each group) and leaves OpenAt
// where the chosen option's window is to open. All geometry is computed here
// from the text metrics the view supplies; the view only draws the state.
// The desktop, the hooks and the metrics are the caller's and outlive it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "menu/baa_menu.hpp"
#include "shell/pulpit.hpp"
#include "shell/pulpit_window.hpp"

namespace zel {

// Colours of the two schemes (0xRRGGBB).
struct MenuColours {
  std::uint32_t window = 0xC3C0B0;
  std::uint32_t lists = 0xD3D0C0;
  std::uint32_t list_text = 0x000000;
  std::uint32_t buttons = 0xD3D0C0;
  std::uint32_t memo = 0xD3D0C0;
  std::uint32_t memo_text = 0x800000;
};

struct MenuList {
  std::vector<std::string> lines;  // Windows-1250
  int selected = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool visible = true;
};

struct MenuButton {
  int key = 0;              // 0 for Esc, else the function key's number
  std::string base;         // base caption
  std::string caption;      // shown caption, at most 15 characters
  int gap = 0;              // 'T', 'S' or 0 after the button
  int column = 1;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool lowered = false;     // outer bevel lowered while pressed
};

struct MenuMemo {
  std::vector<std::string> lines;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int font_size = 8;
};

class FMen final : public DeskWindow, public MenuLists {
 public:
  enum class Focus { kMain, kTheEnd, kSub };
  static constexpr int kNoButton = -1;

  FMen(FPulpit& desk, baaMenu& hooks, DeskMetrics& metrics);
  ~FMen() override;

  // DeskWindow.
  WindowFrame& Frame() override { return frame_; }
  void Bo() override;
  void Jo() override;
  void Go(std::uint8_t mode) override;

  // MenuLists, for the hooks.
  void AddMainLine(std::string_view line) override;
  int LineWidth(std::string_view text) const override;
  void SetOpenAtMainLine(char letter) override;
  void ShowSubList(const std::vector<std::string>& lines) override;

  // Events forwarded by the view (the handlers of the form).
  void MeActiv();                   // the window became the active child
  void mMeEntr();                   // the main list or the memo gets the focus
  void mMeKeyP(char c);             // a character typed on the main list
  void sMeKeyP(char c);             // a character typed on the sub-list
  bool mMeFxDn(int function_key);   // F1..F11 held down on the main list
  void mMeDblK() { ChooseMain(); }  // double click on a main line
  void sMeDblK() { ChooseSub(); }
  void TheEndE();                   // TheEnd gets the focus: Ending
  void TabKey(bool shift);          // Tab on a list moves along the tab order
  void MenMoDn(int x, int y);       // mouse press, client coordinates
  void MenKlik(int x, int y);       // click (release), also on the memo
  void SelectMain(int line);        // the list's own selection (arrows, clicks)
  void SelectSub(int line);
  void FunctionKey(int n);          // the function-key action for key n

  // State for the view and the tests.
  const MenuList& Main() const { return main_; }
  const MenuList& Sub() const { return sub_; }
  const std::vector<MenuButton>& Buttons() const { return buttons_; }
  const MenuMemo& Memo() const { return memo_; }
  const MenuColours& Colours() const { return colours_; }
  const std::string& Caption() const { return caption_; }
  int LineHeight() const { return line_height_; }
  Focus CurrentFocus() const { return focus_; }
  bool ButtonsShown() const { return !sub_.visible; }
  int PressedButton() const { return pressed_; }
  std::uint8_t LastItem(char group) const;
  bool ListEnabled() const { return enabled_; }
  void EnableList(bool on);
  bool AcceptsInput() const { return enabled_; }
  int TheEndLeft() const { return margin_left_; }
  int TheEndTop() const { return margin_top_; }
  // The font of the lists: the window font, or Tahoma 13 px regular with
  // AltColours.
  bool ListsFollowWindowFont() const { return !AltColours; }

 private:
  void ChooseMain();
  void ChooseSub();
  void Navigate(MenuList& list, char c);
  int ButtonAt(int x, int y) const;
  void ClampToDesk();

  FPulpit& desk_;
  baaMenu& hooks_;
  DeskMetrics& metrics_;
  WindowFrame frame_;
  MenuColours colours_;
  std::string caption_;
  MenuList main_;
  MenuList sub_;
  std::vector<MenuButton> buttons_;
  MenuMemo memo_;
  bool created_ = false;
  bool enabled_ = true;
  int line_height_ = 16;
  int margin_left_ = 7;
  int margin_top_ = 5;
  std::array<std::uint8_t, 16> last_item_{};
  Focus focus_ = Focus::kMain;
  int pressed_ = kNoButton;
};

}  // namespace zel
