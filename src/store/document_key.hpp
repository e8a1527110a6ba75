// A document number as a hash key: the 12 characters of `documentNo` in two
// words, without allocating, for the tables that find a working file's
// documents among a million postings.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zel {

// Characters 1-8 and 9-12 (bytes past the length zeroed) with the length
// above them. Equal numbers, equal keys.
struct NumberKey {
  std::uint64_t first = 0;
  std::uint64_t rest = 0;
  bool operator==(const NumberKey&) const = default;
};

// The key of a record's `documentNo` field (length byte and 12 bytes).
inline NumberKey KeyOf(const std::uint8_t* field) {
  const std::size_t n = std::min<std::size_t>(field[0], 12);
  NumberKey k;
  std::uint32_t tail = 0;
  std::memcpy(&k.first, field + 1, 8);
  std::memcpy(&tail, field + 9, 4);
  if (n < 8) k.first &= n == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * n);
  if (n <= 8)
    tail = 0;
  else if (n < 12)
    tail &= ~std::uint32_t{0} >> (32 - 8 * (n - 8));
  k.rest = tail | static_cast<std::uint64_t>(n) << 32;
  return k;
}

// The key of a number as text (cut to 12 characters).
inline NumberKey KeyOfText(std::string_view number) {
  std::uint8_t field[13] = {};
  field[0] = static_cast<std::uint8_t>(std::min<std::size_t>(number.size(), 12));
  if (field[0] > 0) std::memcpy(field + 1, number.data(), field[0]);
  return KeyOf(field);
}

// Numbers share long prefixes ("FV24/000..."): every bit of both words is
// mixed into the low bits a table uses.
inline std::uint64_t HashOf(const NumberKey& k) {
  std::uint64_t h = k.first ^ (k.rest * 0x9E3779B97F4A7C15ull);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

// Keys in number order: zero-padded characters keep the text order, the
// length after them puts a number before its longer extensions.
inline bool NumberKeyLess(const NumberKey& a, const NumberKey& b) {
  const std::uint64_t ah = __builtin_bswap64(a.first), bh = __builtin_bswap64(b.first);
  if (ah != bh) return ah < bh;
  return __builtin_bswap64(a.rest) < __builtin_bswap64(b.rest);
}

}  // namespace zel
