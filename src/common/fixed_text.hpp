// A text value with a fixed capacity, as record fields and the system's
// tables hold them.
//
// Assigning a longer value keeps the first N characters: a FixedText never
// grows past its capacity. Its record form is the length-prefixed field of the
// data files: one length byte followed by N bytes; decoding clamps a length
// byte larger than N, and encoding writes zeros after the text.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace zel {

template <std::size_t N>
class FixedText {
  static_assert(N >= 1 && N <= 255, "a length-prefixed text holds 1..255 characters");

 public:
  static constexpr std::size_t kCapacity = N;
  // Bytes the field takes in a record: the length byte and N characters.
  static constexpr std::size_t kFieldSize = N + 1;

  FixedText() = default;
  FixedText(std::string_view s) { assign(s); }  // NOLINT: texts convert freely
  FixedText(const char* s) { assign(s); }       // NOLINT
  FixedText(const std::string& s) { assign(s); }  // NOLINT

  FixedText& operator=(std::string_view s) { return assign(s); }
  FixedText& operator=(const char* s) { return assign(s); }
  FixedText& operator=(const std::string& s) { return assign(s); }

  FixedText& assign(std::string_view s) {
    len_ = static_cast<std::uint8_t>(std::min(s.size(), N));
    if (len_ > 0) std::memcpy(buf_.data(), s.data(), len_);  // an empty view may hold no pointer
    return *this;
  }

  // Appends what still fits.
  FixedText& operator+=(std::string_view s) {
    std::size_t n = std::min(s.size(), N - len_);
    if (n > 0) std::memcpy(buf_.data() + len_, s.data(), n);
    len_ = static_cast<std::uint8_t>(len_ + n);
    return *this;
  }

  std::size_t size() const { return len_; }
  bool empty() const { return len_ == 0; }
  void clear() { len_ = 0; }
  const char* data() const { return buf_.data(); }
  char operator[](std::size_t i) const { return buf_[i]; }
  std::string_view view() const { return {buf_.data(), len_}; }
  std::string str() const { return std::string(view()); }
  operator std::string_view() const { return view(); }  // NOLINT

  // Reads the record form at p (kFieldSize bytes).
  static FixedText Decode(const std::uint8_t* p) {
    FixedText t;
    t.len_ = static_cast<std::uint8_t>(std::min<std::size_t>(p[0], N));
    std::memcpy(t.buf_.data(), p + 1, t.len_);
    return t;
  }

  // Writes the record form at p (kFieldSize bytes), zeros after the text.
  void Encode(std::uint8_t* p) const {
    p[0] = len_;
    std::memcpy(p + 1, buf_.data(), len_);
    std::memset(p + 1 + len_, 0, N - len_);
  }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

 private:
  std::array<char, N> buf_{};
  std::uint8_t len_ = 0;
};

}  // namespace zel
