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

struct LoadKey {
  std::uint32_t index;  // record number in the file
  std::uint8_t length;
  char symbol[25];
};

bool KeyLess(const LoadKey& a, const LoadKey& b) {
  const int c = CompareSymbols(std::string_view(a.symbol, a.length),
                               std::string_view(b.symbol, b.length));
  if (c != 0) return c < 0;
  return a.index < b.index;  // equal symbols keep file order
}

}  // namespace

ChartRegister* SetChartRegister(ChartRegister* reg) {
  ChartRegister* previous = chart_register;
  chart_register = reg != nullptr ? reg : &single_station;
  return previous == &single_station ? nullptr : previous;
}

ChartRegister& CurrentChartRegister() { return *chart_register; }

ChartTable::ChartTable() { Clear(); }

void ChartTable::Clear() {
  slots_.clear();
  slots_.push_back(AccountRecord{});
  slots_.push_back(SentinelRecord());
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

void ChartTable::LoadFrom(RecordSource& source) {
  Clear();
  std::uint64_t size = 0;
  if (!source.Size(&size)) size = 0;
  const std::uint64_t expected = size / kAccountRecordSize;
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(expected) * kAccountRecordSize);
  std::vector<LoadKey> keys;
  keys.reserve(static_cast<std::size_t>(expected));

  // Read in blocks, recording structure definitions in file order.
  std::uint64_t records = 0;
  std::uint64_t bad_symbols = 0;
  std::uint64_t first_bad = 0;
  for (;;) {
    const std::size_t old = raw.size();
    raw.resize(old + kChartBlock * kAccountRecordSize);
    std::size_t got = 0;
    if (!source.ReadAt(records * kAccountRecordSize, raw.data() + old,
                       kChartBlock * kAccountRecordSize, &got))
      got = 0;
    const std::size_t whole = got / kAccountRecordSize;
    raw.resize(old + whole * kAccountRecordSize);
    for (std::size_t k = 0; k < whole; ++k) {
      const std::uint8_t* p = raw.data() + old + k * kAccountRecordSize;
      const AccountSymbol symbol = AccountSymbol::Decode(p);
      const std::uint64_t number = records + k;
      // A symbol at or above the end key cannot stand in a table the
      // sentinel ends; such a record is damaged and left out.
      if (CompareSymbols(symbol, kSentinelSymbol) >= 0) {
        if (bad_symbols++ == 0) first_bad = number;
        continue;
      }
      const FixedText<15> short_name = FixedText<15>::Decode(p + 197);
      NoteDefinition(symbol, short_name);
      LoadKey key;
      key.index = static_cast<std::uint32_t>(number);
      key.length = static_cast<std::uint8_t>(symbol.size());
      std::memcpy(key.symbol, symbol.data(), symbol.size());
      keys.push_back(key);
    }
    records += whole;
    if (whole < kChartBlock) break;
  }
  if (bad_symbols != 0) {
    ShowStatus("Uszkodzony zapis nr "_w + std::to_string(first_bad + 1) + " planu kont"_w,
               kWarning);
  }

  std::sort(keys.begin(), keys.end(), KeyLess);

  slots_.pop_back();  // the sentinel goes back at the end
  slots_.reserve(keys.size() + 2);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const LoadKey& key = keys[k];
    const std::string_view symbol(key.symbol, key.length);
    bool drop = symbol.empty();
    // An older version of a symbol whose later version follows.
    if (!drop && k + 1 < keys.size() &&
        std::string_view(keys[k + 1].symbol, keys[k + 1].length) == symbol)
      drop = true;
    if (!drop) {
      AccountRecord r = DecodeAccountRecord(raw.data() + std::size_t{key.index} * kAccountRecordSize);
      AccountTextsToWin(r);
      if (r.name.empty() && r.address.empty() && r.nip.empty()) {
        drop = true;
      } else {
        slots_.push_back(r);
        continue;
      }
    }
    ShowStatus(std::to_string(slots_.size()) + " " + std::string(symbol), kInfo);
  }
  slots_.push_back(SentinelRecord());
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

std::size_t ChartTable::Find(std::string_view symbol) {
  const AccountSymbol wanted(symbol);
  const auto it = std::lower_bound(
      slots_.begin(), slots_.end(), wanted.view(),
      [](const AccountRecord& r, std::string_view w) { return CompareSymbols(r.symbol, w) < 0; });
  last_lookup_ = std::min<std::size_t>(static_cast<std::size_t>(it - slots_.begin()), Count());
  return last_lookup_;
}

bool ChartTable::Contains(std::string_view symbol, std::size_t* slot) {
  const std::size_t i = Find(symbol);
  if (slot != nullptr) *slot = i;
  return i != 0 && i < Count() && slots_[i].symbol.view() == AccountSymbol(symbol).view();
}

const AccountRecord& ChartTable::At(std::size_t slot) const {
  return slots_[std::min(slot, Count())];
}

void ChartTable::Put(const AccountRecord& record) {
  // Slot 0 and the sentinel stay where they are.
  if (record.symbol.empty() || CompareSymbols(record.symbol, kSentinelSymbol) >= 0) return;
  const std::size_t i = Find(record.symbol);
  if (slots_[i].symbol.view() != record.symbol.view())
    slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(i), record);
  else
    slots_[i] = record;
  ++consumed_;
  if (record.name.empty()) slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(i));
}

void ChartTable::Remove(std::string_view symbol) {
  std::size_t i = 0;
  if (Contains(symbol, &i)) slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string_view ChartTable::Definition(char letter) const {
  if (letter < 'A' || letter > 'Z') return {};
  return definitions_[static_cast<std::size_t>(letter - 'A')].view();
}

void ChartTable::LoadAccount(std::string_view symbol) {
  current_ = AccountRecord{};
  current_.symbol = symbol;
  std::size_t i = 0;
  if (Contains(symbol, &i)) current_ = slots_[i];
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
    const std::string_view found = slots_[slot].symbol.view();
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
  if (!dotted && slots_[last_lookup_].symbol.view() != symbol.view()) r += "   ...";
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

std::size_t FindAccount(std::string_view symbol) { return Chart().Find(symbol); }
AccountSymbol SymbolAt(std::size_t slot) { return Chart().SymbolAt(slot); }
FixedText<15> ShortNameAt(std::size_t slot) { return Chart().ShortNameAt(slot); }
void LoadAccount(std::string_view symbol) { Chart().LoadAccount(symbol); }
AccountRecord& CurrentAccount() { return Chart().Current(); }
std::string FullName(std::size_t slot) { return Chart().FullNameAt(slot); }
std::string AccountDescription(std::string_view symbol, char mode) {
  return Chart().Description(symbol, mode);
}
void PutAccount(const AccountRecord& record) { Chart().Put(record); }
void RemoveAccount(std::string_view symbol) { Chart().Remove(symbol); }

}  // namespace zel
