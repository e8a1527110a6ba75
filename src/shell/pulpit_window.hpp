// A child window of the desktop as the desktop sees it: its frame in the
// desktop's client area and the three operations every window has (Bo once
// after the settings are read, Jo to rebuild its contents, Go to activate it
// with an entry mode).
//
// The form owns its frame; the Qt view only draws it (a collapsed window, of
// height 0, is not shown). The frame's extra width and height are what the
// view's border and caption add to the client area; the view sets them once,
// tests set fixed ones. The two points OpenAt and CascadeBase are kept by the
// menu window and read by the desktop and the parameter window.
#pragma once

#include <cstdint>

namespace zel {

struct Point16 {
  std::int16_t left = 0;
  std::int16_t top = 0;
};

// Where the next option window opens when it has no saved position (set by
// the menu window when a line or a function key is chosen, and by the
// parameter window before an F3 window opens); desktop client coordinates.
extern Point16 OpenAt;
// The help memo's top-left corner in desktop coordinates, 20 added to the top;
// set by the menu's Jo, read by LoadPosition.
extern Point16 CascadeBase;

struct WindowFrame {
  int left = 0;    // outer left in the desktop's client area
  int top = 0;     // outer top
  int width = 0;   // outer width
  int height = 0;  // outer height; 0 = collapsed
  int extra_width = 0;   // border width on both sides together
  int extra_height = 0;  // caption and borders: height - client height
  bool hidden = false;   // a top-level form that is hidden (child windows collapse instead)
  std::uint32_t raised = 0;  // grows each time the window is brought to the front

  int ClientWidth() const { return width - extra_width; }
  int ClientHeight() const { return height > extra_height ? height - extra_height : 0; }
  void SetClientWidth(int w) { width = w + extra_width; }
  void SetClientHeight(int h) { height = h + extra_height; }
  bool Collapsed() const { return height == 0 || hidden; }
};

class DeskWindow {
 public:
  virtual ~DeskWindow() = default;
  virtual WindowFrame& Frame() = 0;
  // True for the windows inside the desktop; HideWindow collapses those to
  // height 0 and hides any other.
  virtual bool IsChild() const { return true; }
  virtual void Bo() {}
  virtual void Jo() {}
  virtual void Go(std::uint8_t mode) = 0;
};

}  // namespace zel
