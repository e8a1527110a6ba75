#include "store/chart.hpp"

#include <algorithm>
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

// Sort key of one file record; the symbol bytes themselves stay in a side
// table indexed by the record number, so the sorted array is small.
struct LoadKey {
  std::uint64_t prefix;  // symbol bytes 0..7, big-endian, zero-padded
  std::uint64_t middle;  // symbol bytes 8..15, the same way
  std::uint32_t index;   // record number in the file
  std::uint8_t length;
};

using SymbolBytes = std::array<char, 25>;

std::uint64_t EightBytes(std::string_view symbol, std::size_t from) {
  std::uint64_t v = 0;
  for (std::size_t i = from; i < from + 8; ++i)
    v = (v << 8) | (i < symbol.size() ? static_cast<std::uint8_t>(symbol[i]) : 0u);
  return v;
}

struct KeyLess {
  const std::vector<SymbolBytes>& symbols;
  bool operator()(const LoadKey& a, const LoadKey& b) const {
    // Different leading bytes decide the order of the length-prefixed
    // symbols too: a padding zero never sorts above a real byte. With equal
    // first 16 bytes a symbol of at most 16 characters is a prefix of the other.
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (a.middle != b.middle) return a.middle < b.middle;
    if (a.length > 16 && b.length > 16) {
      const int c = CompareSymbols(std::string_view(symbols[a.index].data() + 16, a.length - 16u),
                                   std::string_view(symbols[b.index].data() + 16, b.length - 16u));
      if (c != 0) return c < 0;
    } else if (a.length != b.length) {
      return a.length < b.length;
    }
    return a.index < b.index;  // equal symbols keep file order
  }
};

bool SameSymbol(const LoadKey& a, const LoadKey& b, const std::vector<SymbolBytes>& symbols) {
  return a.prefix == b.prefix && a.middle == b.middle && a.length == b.length &&
         std::memcmp(symbols[a.index].data(), symbols[b.index].data(), a.length) == 0;
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

// A text of the file record at q, clamped to n and converted to Windows-1250,
// written at out; returns the end.
char* PutFileText(char* out, const std::uint8_t* q, std::size_t n,
                  const std::array<char, 256>& map) {
  const std::size_t len = std::min<std::size_t>(q[0], n);
  *out++ = static_cast<char>(len);
  std::memcpy(out, q + 1, len);
  for (std::size_t i = 0; i < len; ++i) {
    const auto c = static_cast<std::uint8_t>(out[i]);
    if (c >= 0x80) out[i] = map[c];  // ASCII stays as it is
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
  // At most: seven texts with their length bytes, two bytes, two stamps.
  packed_.resize(at + 1 + symbol + 1 + 3 * 51 + 16 + 1 + 2 * 16 + 14);
  char* out = packed_.data() + at;
  *out++ = static_cast<char>(symbol);
  std::memcpy(out, p + 1, symbol);
  out += symbol;
  *out++ = static_cast<char>(p[26]);
  out = PutFileText(out, p + 27, 50, map);
  out = PutFileText(out, p + 78, 50, map);
  out = PutFileText(out, p + 129, 50, map);
  out = PutFileText(out, p + 180, 15, map);
  *out++ = static_cast<char>(p[196]);
  out = PutFileText(out, p + 197, 15, map);
  out = PutFileText(out, p + 214, 15, map);
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

// The file is read twice: first for the symbols (sorted with their record
// numbers, so equal symbols keep file order and the latest version ends
// last) and the structure definitions in file order; then for the texts of
// the winning versions only, straight into their table slots.
void ChartTable::LoadFrom(RecordSource& source) {
  Clear();
  std::vector<std::uint8_t> block;
  std::vector<LoadKey> keys;
  std::vector<SymbolBytes> symbols;  // by record number
  std::uint64_t size = 0;
  if (source.Size(&size)) {
    keys.reserve(static_cast<std::size_t>(size / kAccountRecordSize));
    symbols.reserve(static_cast<std::size_t>(size / kAccountRecordSize));
  }
  std::uint64_t bad_symbols = 0;
  std::uint64_t first_bad = 0;
  const std::uint64_t records =
      ForEachChartRecord(source, block, [&](std::uint64_t number, const std::uint8_t* p) {
        const std::size_t length = std::min<std::size_t>(p[0], AccountSymbol::kCapacity);
        const std::string_view symbol(reinterpret_cast<const char*>(p + 1), length);
        symbols.emplace_back();
        std::memcpy(symbols.back().data(), symbol.data(), length);
        // A symbol at or above the end key cannot stand in a table the
        // sentinel ends; such a record is damaged and left out.
        if (CompareSymbols(symbol, kSentinelSymbol) >= 0) {
          if (bad_symbols++ == 0) first_bad = number;
          return;
        }
        if (p[197] >= 2 && p[198] == '!') NoteDefinition(symbol, FixedText<15>::Decode(p + 197));
        keys.push_back({EightBytes(symbol, 0), EightBytes(symbol, 8),
                        static_cast<std::uint32_t>(number), static_cast<std::uint8_t>(length)});
      });
  if (bad_symbols != 0) {
    ShowStatus("Uszkodzony zapis nr "_w + std::to_string(first_bad + 1) + " planu kont"_w,
               kWarning);
  }
  std::sort(keys.begin(), keys.end(), KeyLess{symbols});

  // The latest version of every non-empty symbol gets a provisional slot.
  constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::vector<std::uint32_t> slot_of(static_cast<std::size_t>(records), kNone);
  std::vector<bool> winner(keys.size(), false);
  std::uint32_t winners = 0;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].length == 0) continue;
    if (k + 1 < keys.size() && SameSymbol(keys[k], keys[k + 1], symbols)) continue;
    winner[k] = true;
    slot_of[keys[k].index] = 1 + winners++;
  }
  // Slot 0's and the sentinel's packed records stay at the front.
  const std::uint32_t empty_at = offsets_[0];
  const std::uint32_t sentinel_at = offsets_[1];
  offsets_.assign(std::size_t{winners} + 1, empty_at);
  std::vector<bool> has_text(std::size_t{winners} + 1, false);
  packed_.reserve(packed_.size() + std::size_t{winners} * 96);
  ForEachChartRecord(source, block, [&](std::uint64_t number, const std::uint8_t* p) {
    if (number >= records || slot_of[number] == kNone) return;
    const std::uint32_t slot = slot_of[number];
    offsets_[slot] = PackFileRecord(p);
    has_text[slot] = p[27] != 0 || p[78] != 0 || p[180] != 0;  // name, address, NIP
  });

  // Walk in symbol order: close the gaps of the removed versions and show
  // each removal with its slot number.
  std::size_t kept = 1;
  std::size_t next_winner = 1;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    bool removed = !winner[k];
    if (winner[k]) {
      removed = !has_text[next_winner];
      if (!removed) offsets_[kept++] = offsets_[next_winner];
      ++next_winner;
    }
    if (removed) {
      ShowStatus(
          std::to_string(kept) + " " + std::string(symbols[keys[k].index].data(), keys[k].length),
          kInfo);
    }
  }
  offsets_.resize(kept);
  offsets_.push_back(sentinel_at);
  consumed_ = records;
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
