#include "store/chart.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#include "common/cp1250.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

SingleStationRegister single_station;
ChartRegister* chart_register = &single_station;

AccountRecord SentinelRecord() {
  AccountRecord r;
  r.symbol = kSentinelSymbol;
  return r;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// A structure letter after the marker character ('!' defines, '^' uses).
char StructureLetter(std::string_view short_name, char marker) {
  if (short_name.size() < 2 || short_name[0] != marker) return 0;
  const char letter = short_name[1];
  return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

// Sort key of one file record. Records are packed in file order, so the
// packed offset `at` grows with the record number and doubles as the file
// order of equal symbols; the symbol bytes themselves are read from the
// packed record when the first 16 bytes do not decide.
struct LoadKey {
  std::uint64_t prefix;  // symbol bytes 0..7, big-endian, zero-padded
  std::uint64_t middle;  // symbol bytes 8..15, the same way
  std::uint32_t at;      // offset of the packed record
  std::uint8_t length;
  bool has_text;        // name, address or NIP not empty
  std::uint16_t bytes;  // size of the packed record
};

// Bytes from..from+7 of a symbol of `length` bytes at p, big-endian, the
// bytes past its end read as zero. p must allow reading 8 bytes at from.
std::uint64_t EightBytes(const std::uint8_t* p, std::size_t length, std::size_t from) {
  if (length <= from) return 0;
  std::uint64_t v = 0;
  std::memcpy(&v, p + from, 8);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  const std::size_t real = length - from;
  if (real < 8) v &= ~std::uint64_t{0} << (8 * (8 - real));
  return v;
}

std::string_view PackedSymbol(const PackedBytes& packed, std::uint32_t at) {
  return {packed.data() + at + 1, static_cast<std::uint8_t>(packed[at])};
}

struct KeyLess {
  const PackedBytes& packed;
  bool operator()(const LoadKey& a, const LoadKey& b) const {
    // Different leading bytes decide the order of the length-prefixed
    // symbols too: a padding zero never sorts above a real byte. With equal
    // first 16 bytes a symbol of at most 16 characters is a prefix of the other.
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (a.middle != b.middle) return a.middle < b.middle;
    if (a.length > 16 && b.length > 16) {
      const int c = CompareSymbols(PackedSymbol(packed, a.at).substr(16),
                                   PackedSymbol(packed, b.at).substr(16));
      if (c != 0) return c < 0;
    } else if (a.length != b.length) {
      return a.length < b.length;
    }
    return a.at < b.at;  // equal symbols keep file order
  }
};

// Up to 16 bytes the key holds the whole symbol.
bool SameSymbol(const LoadKey& a, const LoadKey& b, const PackedBytes& packed) {
  return a.prefix == b.prefix && a.middle == b.middle && a.length == b.length &&
         (a.length <= 16 || PackedSymbol(packed, a.at) == PackedSymbol(packed, b.at));
}

// The symbol of a key, taken from the key itself when it is that short (the
// packed record is then not read, which keeps the walk over the keys in cache).
void AppendSymbol(std::string& out, const LoadKey& k, const PackedBytes& packed) {
  if (k.length > 16) {
    out += PackedSymbol(packed, k.at);
    return;
  }
  for (std::size_t i = 0; i < k.length; ++i) {
    const std::uint64_t word = i < 8 ? k.prefix : k.middle;
    out += static_cast<char>(word >> (8 * (7 - (i & 7))));
  }
}

// Byte `digit` of a key's first 16 symbol bytes (0 = the most significant).
inline std::uint8_t KeyByte(const LoadKey& k, int digit) {
  const std::uint64_t word = digit < 8 ? k.prefix : k.middle;
  return static_cast<std::uint8_t>(word >> (8 * (7 - (digit & 7))));
}

// Sorts the keys in file order into symbol order: a stable radix sort on the
// first 16 symbol bytes (a byte position where all keys agree costs no pass),
// then the few runs whose first 16 bytes are equal (versions of one symbol,
// longer symbols sharing them) by the full comparison.
void SortKeys(std::vector<LoadKey>& keys, const PackedBytes& packed) {
  const std::size_t n = keys.size();
  if (n < 2) return;
  if (n < 64) {
    std::sort(keys.begin(), keys.end(), KeyLess{packed});
    return;
  }
  // Byte positions where all keys agree need no pass.
  std::uint64_t and_prefix = ~std::uint64_t{0}, or_prefix = 0;
  std::uint64_t and_middle = ~std::uint64_t{0}, or_middle = 0;
  for (const LoadKey& k : keys) {
    and_prefix &= k.prefix;
    or_prefix |= k.prefix;
    and_middle &= k.middle;
    or_middle |= k.middle;
  }
  const std::uint64_t varies_prefix = and_prefix ^ or_prefix;
  const std::uint64_t varies_middle = and_middle ^ or_middle;
  std::vector<LoadKey> spare(n);
  for (int d = 15; d >= 0; --d) {
    const std::uint64_t varies = d < 8 ? varies_prefix : varies_middle;
    if (((varies >> (8 * (7 - (d & 7)))) & 0xFF) == 0) continue;
    std::array<std::uint32_t, 256> start{};
    for (const LoadKey& k : keys) ++start[KeyByte(k, d)];
    std::uint32_t sum = 0;
    for (std::uint32_t& b : start) {
      const std::uint32_t count = b;
      b = sum;
      sum += count;
    }
    for (const LoadKey& k : keys) spare[start[KeyByte(k, d)]++] = k;
    keys.swap(spare);
  }
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i + 1;
    while (j < n && keys[j].prefix == keys[i].prefix && keys[j].middle == keys[i].middle) ++j;
    if (j - i > 1)
      std::sort(keys.begin() + static_cast<std::ptrdiff_t>(i),
                keys.begin() + static_cast<std::ptrdiff_t>(j), KeyLess{packed});
    i = j;
  }
}

// Packed record helpers (layout in chart.hpp).
void PutText(PackedBytes& out, std::string_view text) {
  out.push_back(static_cast<char>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

void PutStamp(PackedBytes& out, const Stamp& s) {
  out.push_back(static_cast<char>(s.day & 0xFF));
  out.push_back(static_cast<char>(s.day >> 8));
  out.push_back(static_cast<char>(s.minutes & 0xFF));
  out.push_back(static_cast<char>(s.minutes >> 8));
  out.insert(out.end(), s.user.begin(), s.user.end());
}

// A text of the file record at q, clamped to N and converted to Windows-1250,
// written at out; returns the end. Copies a fixed, word-rounded width (the
// file record always holds it, the caller leaves room for it) and converts
// only when a copied byte is not ASCII, which the conversion keeps as it is;
// a stray byte after the text only costs the slower loop.
template <std::size_t N>
char* PutFileText(char* out, const std::uint8_t* q, const std::array<char, 256>& map) {
  constexpr std::size_t kCopy = (N + 7) / 8 * 8;
  const std::size_t len = std::min<std::size_t>(q[0], N);
  *out++ = static_cast<char>(len);
  std::uint64_t words[kCopy / 8];
  std::memcpy(words, q + 1, kCopy);
  std::memcpy(out, words, kCopy);
  std::uint64_t high = 0;
  for (std::uint64_t w : words) high |= w;
  if ((high & 0x8080808080808080ull) != 0) {
    for (std::size_t i = 0; i < len; ++i) {
      const auto c = static_cast<std::uint8_t>(out[i]);
      if (c >= 0x80) out[i] = map[c];
    }
  }
  return out + len;
}

class PackedReader {
 public:
  PackedReader(const PackedBytes& packed, std::uint32_t at) : p_(packed.data() + at), start_(p_) {}
  std::string_view Text() {
    const std::size_t n = static_cast<std::uint8_t>(*p_);
    std::string_view t(p_ + 1, n);
    p_ += 1 + n;
    return t;
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(*p_++); }
  Stamp GetStamp() {
    Stamp s;
    s.day = static_cast<DayNo>(Byte() | (Byte() << 8));
    s.minutes = static_cast<std::uint16_t>(Byte() | (Byte() << 8));
    for (char& c : s.user) c = static_cast<char>(Byte());
    return s;
  }
  std::size_t Consumed() const { return static_cast<std::size_t>(p_ - start_); }

 private:
  const char* p_;
  const char* start_;
};

AccountRecord Unpack(const PackedBytes& packed, std::uint32_t at) {
  PackedReader in(packed, at);
  AccountRecord r;
  r.symbol = in.Text();
  r.status = in.Byte();
  r.name = in.Text();
  r.address = in.Text();
  r.extra = in.Text();
  r.nip = in.Text();
  r.attribute = static_cast<char>(in.Byte());
  r.shortName = in.Text();
  r.spare = in.Text();
  r.written = in.GetStamp();
  r.changed = in.GetStamp();
  return r;
}

std::size_t PackedSize(const PackedBytes& packed, std::uint32_t at) {
  PackedReader in(packed, at);
  in.Text();
  in.Byte();
  for (int i = 0; i < 4; ++i) in.Text();
  in.Byte();
  in.Text();
  in.Text();
  return in.Consumed() + 14;
}

}  // namespace

std::uint32_t ChartTable::Pack(const AccountRecord& r) {
  const auto at = static_cast<std::uint32_t>(packed_.size());
  PutText(packed_, r.symbol);
  packed_.push_back(static_cast<char>(r.status));
  PutText(packed_, r.name);
  PutText(packed_, r.address);
  PutText(packed_, r.extra);
  PutText(packed_, r.nip);
  packed_.push_back(r.attribute);
  PutText(packed_, r.shortName);
  PutText(packed_, r.spare);
  PutStamp(packed_, r.written);
  PutStamp(packed_, r.changed);
  return at;
}

std::uint32_t ChartTable::PackFileRecord(const std::uint8_t* p) {
  const auto& map = DosToWinTable();
  const auto at = static_cast<std::uint32_t>(packed_.size());
  const std::size_t symbol = std::min<std::size_t>(p[0], AccountSymbol::kCapacity);
  // Room for the fixed-width copies: seven texts of 32, 3 x 56 and 3 x 16
  // bytes with their length bytes, two bytes, two stamps.
  constexpr std::size_t kRoom = 1 + 32 + 1 + 3 * 57 + 17 + 1 + 2 * 17 + 14;
  if (packed_.capacity() - at < kRoom)
    packed_.reserve(std::max(2 * packed_.capacity(), at + kRoom));
  packed_.resize(at + kRoom);
  char* out = packed_.data() + at;
  *out++ = static_cast<char>(symbol);
  std::memcpy(out, p + 1, 32);
  out += symbol;
  *out++ = static_cast<char>(p[26]);
  out = PutFileText<50>(out, p + 27, map);
  out = PutFileText<50>(out, p + 78, map);
  out = PutFileText<50>(out, p + 129, map);
  out = PutFileText<15>(out, p + 180, map);
  *out++ = static_cast<char>(p[196]);
  out = PutFileText<15>(out, p + 197, map);
  out = PutFileText<15>(out, p + 214, map);
  std::memcpy(out, p + 235, 14);
  out += 14;
  packed_.resize(static_cast<std::size_t>(out - packed_.data()));
  return at;
}

ChartRegister* SetChartRegister(ChartRegister* reg) {
  ChartRegister* previous = chart_register;
  chart_register = reg != nullptr ? reg : &single_station;
  return previous == &single_station ? nullptr : previous;
}

ChartRegister& CurrentChartRegister() {
  return *chart_register;
}

ChartTable::ChartTable() {
  Clear();
}

void ChartTable::Clear() {
  packed_.clear();
  offsets_.clear();
  garbage_ = 0;
  offsets_.push_back(Pack(AccountRecord{}));
  offsets_.push_back(Pack(SentinelRecord()));
  consumed_ = 0;
  last_lookup_ = 0;
  for (auto& d : definitions_) d.clear();
}

void ChartTable::NoteDefinition(std::string_view symbol, std::string_view short_name) {
  const char letter = StructureLetter(short_name, '!');
  if (letter == 0) return;
  AccountSymbol& slot = definitions_[static_cast<std::size_t>(letter - 'A')];
  if (slot.empty()) {
    slot = symbol;
    return;
  }
  // A later version of the defining account itself is no second definition.
  if (slot.view() != symbol) ShowStatus("Powtórka definicji struktury"_w, kWarning);
}

namespace {

// Reads the source in blocks of kChartBlock records and calls fn(record
// number, bytes) for each whole record; returns the records read.
template <typename Fn>
std::uint64_t ForEachChartRecord(RecordSource& source, std::vector<std::uint8_t>& block, Fn fn) {
  block.resize(kChartBlock * kAccountRecordSize);
  std::uint64_t n = 0;
  for (;;) {
    std::size_t got = 0;
    if (!source.ReadAt(n * kAccountRecordSize, block.data(), block.size(), &got)) got = 0;
    const std::size_t whole = got / kAccountRecordSize;
    for (std::size_t k = 0; k < whole; ++k) fn(n + k, block.data() + k * kAccountRecordSize);
    n += whole;
    if (whole < kChartBlock) return n;
  }
}

}  // namespace

// The file is read once, block by block: every record with a usable symbol
// is packed (texts in Windows-1250) in file order, its structure definition
// noted in file order, and its sort key kept. The keys are sorted stably by
// symbol, so the latest version of a symbol ends last and wins; the older
// versions, empty symbols and records without any text are removed (each
// removal shown with its slot number) and their packed bytes count as garbage.
void ChartTable::LoadFrom(RecordSource& source) {
  Clear();
  std::vector<std::uint8_t> block;
  std::vector<LoadKey> keys;
  std::uint64_t size = 0;
  if (source.Size(&size)) {
    const auto expected = static_cast<std::size_t>(size / kAccountRecordSize);
    keys.reserve(expected);
    // A typical packed record is well under 128 bytes; more grows the buffer.
    packed_.reserve(packed_.size() + expected * 128);
  }
  std::uint64_t bad_symbols = 0;
  std::uint64_t first_bad = 0;
  const std::uint64_t records =
      ForEachChartRecord(source, block, [&](std::uint64_t number, const std::uint8_t* p) {
        const std::size_t length = std::min<std::size_t>(p[0], AccountSymbol::kCapacity);
        // A symbol at or above the end key (its first byte 254 or 255)
        // cannot stand in a table the sentinel ends; such a record is
        // damaged and left out.
        if (length > 0 && p[1] >= 0xFE) {
          if (bad_symbols++ == 0) first_bad = number;
          return;
        }
        if (p[197] >= 2 && p[198] == '!') {
          NoteDefinition(std::string_view(reinterpret_cast<const char*>(p + 1), length),
                         FixedText<15>::Decode(p + 197));
        }
        const std::uint32_t at = PackFileRecord(p);
        keys.push_back({EightBytes(p + 1, length, 0), EightBytes(p + 1, length, 8), at,
                        static_cast<std::uint8_t>(length), p[27] != 0 || p[78] != 0 || p[180] != 0,
                        static_cast<std::uint16_t>(packed_.size() - at)});
      });
  if (bad_symbols != 0) {
    ShowStatus("Uszkodzony zapis nr "_w + std::to_string(first_bad + 1) + " planu kont"_w,
               kWarning);
  }
  SortKeys(keys, packed_);

  // Slot 0's and the sentinel's packed records stay at the front. Walk in
  // symbol order and keep the latest version of every symbol that has text.
  const std::uint32_t sentinel_at = offsets_[1];
  offsets_.resize(1);
  offsets_.reserve(keys.size() + 2);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const LoadKey& key = keys[k];
    const bool older = k + 1 < keys.size() && SameSymbol(key, keys[k + 1], packed_);
    if (key.length != 0 && !older && key.has_text) {
      offsets_.push_back(key.at);
      continue;
    }
    garbage_ += key.bytes;
    char number[24];
    const auto end = std::to_chars(number, number + sizeof number, offsets_.size()).ptr;
    std::string text(number, end);
    text += ' ';
    AppendSymbol(text, key, packed_);
    ShowStatus(text, kInfo);
  }
  offsets_.push_back(sentinel_at);
  consumed_ = records;
  Compact();
}

std::uint64_t ChartTable::ApplyFrom(RecordSource& source, std::uint64_t first) {
  std::vector<std::uint8_t> block(kChartBlock * kAccountRecordSize);
  std::uint64_t n = first;
  for (;;) {
    std::size_t got = 0;
    if (!source.ReadAt(n * kAccountRecordSize, block.data(), block.size(), &got)) got = 0;
    const std::size_t whole = got / kAccountRecordSize;
    for (std::size_t k = 0; k < whole; ++k) {
      AccountRecord r = DecodeAccountRecord(block.data() + k * kAccountRecordSize);
      AccountTextsToWin(r);
      if (!r.name.empty())
        Put(r);
      else
        Remove(r.symbol);
    }
    n += whole;
    if (whole < kChartBlock) break;
  }
  return n - first;
}

std::string_view ChartTable::SymbolView(std::size_t slot) const {
  const char* p = packed_.data() + offsets_[std::min(slot, Count())];
  return {p + 1, static_cast<std::uint8_t>(p[0])};
}

std::size_t ChartTable::Find(std::string_view symbol) {
  const AccountSymbol wanted(symbol);
  std::size_t lo = 0;
  std::size_t hi = offsets_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (CompareSymbols(SymbolView(mid), wanted) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  last_lookup_ = std::min(lo, Count());
  return last_lookup_;
}

bool ChartTable::Contains(std::string_view symbol, std::size_t* slot) {
  const std::size_t i = Find(symbol);
  if (slot != nullptr) *slot = i;
  return i != 0 && i < Count() && SymbolView(i) == AccountSymbol(symbol).view();
}

AccountRecord ChartTable::At(std::size_t slot) const {
  return Unpack(packed_, offsets_[std::min(slot, Count())]);
}

void ChartTable::Discard(std::size_t slot) {
  garbage_ += PackedSize(packed_, offsets_[slot]);
  offsets_.erase(offsets_.begin() + static_cast<std::ptrdiff_t>(slot));
}

// Packs the records again in slot order once most of the bytes are stale.
void ChartTable::Compact() {
  if (garbage_ < (1u << 16) || garbage_ < packed_.size() / 2) return;
  PackedBytes fresh;
  fresh.reserve(packed_.size() - garbage_);
  for (std::uint32_t& at : offsets_) {
    const std::size_t n = PackedSize(packed_, at);
    const std::uint32_t moved = static_cast<std::uint32_t>(fresh.size());
    fresh.insert(fresh.end(), packed_.begin() + at, packed_.begin() + at + n);
    at = moved;
  }
  packed_.swap(fresh);
  garbage_ = 0;
}

void ChartTable::Put(const AccountRecord& record) {
  // Slot 0 and the sentinel stay where they are.
  if (record.symbol.empty() || CompareSymbols(record.symbol, kSentinelSymbol) >= 0) return;
  const std::size_t i = Find(record.symbol);
  ++consumed_;
  const bool present = SymbolView(i) == record.symbol.view();
  if (record.name.empty()) {
    if (present) Discard(i);
  } else if (present) {
    garbage_ += PackedSize(packed_, offsets_[i]);
    offsets_[i] = Pack(record);
  } else {
    const std::uint32_t at = Pack(record);
    offsets_.insert(offsets_.begin() + static_cast<std::ptrdiff_t>(i), at);
  }
  Compact();
}

bool ChartTable::NameEmpty(std::size_t slot) const {
  // The name is the third packed item, after the symbol and the status byte.
  const char* p = packed_.data() + offsets_[slot];
  p += 1 + static_cast<std::uint8_t>(p[0]) + 1;
  return *p == 0;
}

std::uint32_t ChartTable::CopyPacked(const ChartTable& other, std::size_t slot) {
  const std::uint32_t from = other.offsets_[slot];
  const std::size_t n = PackedSize(other.packed_, from);
  const auto at = static_cast<std::uint32_t>(packed_.size());
  packed_.insert(packed_.end(), other.packed_.begin() + from, other.packed_.begin() + from + n);
  return at;
}

void ChartTable::MergeFrom(const ChartTable& other, bool keep_named) {
  // A table merged with itself already holds every account it would get.
  if (&other == this) return;
  const std::size_t n = Count();
  const std::size_t m = other.Count();
  std::vector<std::uint32_t> merged;
  merged.reserve(n + m + 1);
  merged.push_back(offsets_[0]);
  std::size_t i = 1;
  std::size_t j = 1;
  auto take_other = [&](std::size_t slot) {
    if (!other.NameEmpty(slot)) merged.push_back(CopyPacked(other, slot));
  };
  while (i < n || j < m) {
    if (j >= m) {
      merged.push_back(offsets_[i++]);
      continue;
    }
    if (i >= n) {
      take_other(j++);
      continue;
    }
    const int c = CompareSymbols(SymbolView(i), other.SymbolView(j));
    if (c < 0) {
      merged.push_back(offsets_[i++]);
    } else if (c > 0) {
      take_other(j++);
    } else {
      if (keep_named && !NameEmpty(i)) {
        merged.push_back(offsets_[i]);
      } else {
        garbage_ += PackedSize(packed_, offsets_[i]);
        take_other(j);
      }
      ++i;
      ++j;
    }
  }
  merged.push_back(offsets_[n]);
  offsets_.swap(merged);
  last_lookup_ = 0;
  Compact();
}

void ChartTable::Remove(std::string_view symbol) {
  std::size_t i = 0;
  if (Contains(symbol, &i)) Discard(i);
  Compact();
}

std::string_view ChartTable::Definition(char letter) const {
  if (letter < 'A' || letter > 'Z') return {};
  return definitions_[static_cast<std::size_t>(letter - 'A')].view();
}

void ChartTable::LoadAccount(std::string_view symbol) {
  current_ = AccountRecord{};
  current_.symbol = symbol;
  std::size_t i = 0;
  if (Contains(symbol, &i)) current_ = At(i);
}

std::string ChartTable::Description(std::string_view symbol_in, char mode) {
  if (symbol_in.empty() || symbol_in == "RAZEM") return {};
  const std::size_t space = symbol_in.find(' ');
  AccountSymbol symbol(symbol_in.substr(0, space));
  const bool upper = mode >= 'A' && mode <= 'Z';
  std::string r;
  bool dotted = false;
  for (std::size_t i = 1; i <= symbol.size(); ++i) {
    const std::string prefix(symbol.view().substr(0, i));
    const std::size_t slot = Find(prefix);
    const std::string_view found = SymbolView(slot);
    if (!StartsWith(found, prefix)) {
      r += "   ...";
      dotted = true;
      break;
    }
    if (found.size() > prefix.size()) continue;
    LoadAccount(prefix);
    const AccountRecord& account = current_;
    const char letter = StructureLetter(account.shortName, '^');
    if (letter != 0 && !Definition(letter).empty()) {
      const std::string definition(Definition(letter));
      std::string replaced = definition;
      replaced += symbol.view().substr(i);
      symbol = replaced;
      Find(definition);
      // The walk goes on inside the defining structure, after its symbol.
      i = std::min(definition.size(), symbol.size());
      continue;
    }
    std::string text(account.name.view());
    if (upper) {
      if (!account.address.empty()) {
        text += "; ";
        text += account.address.view();
      }
      if (!account.nip.empty()) {
        text += "; NIP:";
        text += account.nip.view();
      }
    }
    if (text.empty()) continue;
    switch (mode) {
      case 'H':
        r = account.shortName.str();
        break;
      case 'N':
      case 'O':
      case 'n':
        r = text;
        break;
      case 'P':
        if (text[0] == '-')
          r += " " + text;
        else
          r = text;
        break;
      default:
        break;
    }
  }
  if (!dotted && SymbolView(last_lookup_) != symbol.view()) r += "   ...";
  std::string out = "   " + r;
  if (out.size() > 250) out.resize(250);
  return out;
}

bool UsableAccountSymbol(std::string_view symbol) {
  if (symbol.empty() || static_cast<std::uint8_t>(symbol[0]) >= 0xFE) return false;
  for (char ch : symbol) {
    const auto c = static_cast<std::uint8_t>(ch);
    if (c <= ' ' || c == 0x7F) return false;
  }
  return true;
}

bool SameAccount(const AccountRecord& a, const AccountRecord& b) {
  auto same_stamp = [](const Stamp& x, const Stamp& y) {
    return x.day == y.day && x.minutes == y.minutes && x.user == y.user;
  };
  return a.symbol == b.symbol && a.status == b.status && a.name == b.name &&
         a.address == b.address && a.extra == b.extra && a.nip == b.nip &&
         a.attribute == b.attribute && a.shortName == b.shortName && a.spare == b.spare &&
         same_stamp(a.written, b.written) && same_stamp(a.changed, b.changed);
}

ChartTable& Chart() {
  static ChartTable table;
  return table;
}

std::string BuildChartPath(std::string_view db_dir, std::string_view chart_dir,
                           std::string_view chart_name) {
  std::string path;
  if (!chart_dir.empty()) {
    path = chart_dir;
    path += '\\';
  } else {
    path = db_dir;
  }
  path += chart_name.empty() ? std::string_view("PlanKont") : chart_name;
  path += ".PFX";
  if (path.size() > 250) path.resize(250);
  return path;
}

std::size_t FindAccount(std::string_view symbol) {
  return Chart().Find(symbol);
}
AccountSymbol SymbolAt(std::size_t slot) {
  return Chart().SymbolAt(slot);
}
FixedText<15> ShortNameAt(std::size_t slot) {
  return Chart().ShortNameAt(slot);
}
void LoadAccount(std::string_view symbol) {
  Chart().LoadAccount(symbol);
}
AccountRecord& CurrentAccount() {
  return Chart().Current();
}
std::string FullName(std::size_t slot) {
  return Chart().FullNameAt(slot);
}
std::string AccountDescription(std::string_view symbol, char mode) {
  return Chart().Description(symbol, mode);
}
void PutAccount(const AccountRecord& record) {
  Chart().Put(record);
}
void RemoveAccount(std::string_view symbol) {
  Chart().Remove(symbol);
}

}  // namespace zel
