// Text measurement for the window layouts computed by the forms.
//
// The forms never ask a toolkit for sizes: the Qt views hand them an object
// measuring with the window's font, zel-batch and tests the fixed-width one
// below. Texts are Windows-1250, one byte per character.
#pragma once

#include <string_view>

namespace zel {

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int TextWidth(std::string_view text) const = 0;
  virtual int TextHeight(std::string_view text) const = 0;
};

// Every character char_width pixels wide, every text height pixels high.
class FixedWidthMetrics : public TextMetrics {
 public:
  FixedWidthMetrics(int char_width, int height) : char_width_(char_width), height_(height) {}
  int TextWidth(std::string_view text) const override {
    return static_cast<int>(text.size()) * char_width_;
  }
  int TextHeight(std::string_view) const override { return height_; }

 private:
  int char_width_;
  int height_;
};

}  // namespace zel
