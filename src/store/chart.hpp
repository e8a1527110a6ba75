// The chart of accounts in memory: a table sorted by symbol, loaded from the
// chart file (an append-only log of AccountRecords) and kept current by the
// program's own appends and by refreshes that pull in other workstations'
// appends.
//
// Invariants: slot 0 holds an empty record (every symbol sorts after it);
// slot Count() holds the sentinel (symbol = one byte 254); slots 1..Count()-1
// hold unique symbols in ascending length-prefixed byte order, texts in
// Windows-1250. The table grows as needed (a chart used for years holds far
// more file records than accounts); records are kept packed (texts without
// their unused capacity) and handed out as AccountRecords. The current-account buffer and the index
// of the last lookup are shared by all callers, as are the 26 structure
// definitions "!A".."!Z" recorded at load. The program's table is Chart();
// the free functions below work on it. Tests may build their own tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fixed_text.hpp"
#include "store/account_record.hpp"
#include "store/record_source.hpp"

namespace zel {

inline constexpr std::size_t kChartBlock = 232;  // records per read when loading

// Bytes that a resize leaves unfilled: the packed table is written right
// after it grows, so zero-filling it first would only cost time.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}  // NOLINT
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... A>
  void construct(U* p, A&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
  }
};
using PackedBytes = std::vector<char, UninitializedAllocator<char>>;

// The chart's use of the workstation register: '!' use of the chart file,
// '#' intent to write, '-' release. Request answers true when accepted.
class ChartRegister {
 public:
  virtual ~ChartRegister() = default;
  virtual bool Request(char command, std::string_view text) = 0;
  // Whether other workstations may append (refreshes run only then).
  virtual bool Active() const = 0;
};

// A single workstation: every request is accepted; refreshes are not needed.
class SingleStationRegister : public ChartRegister {
 public:
  bool Request(char, std::string_view) override { return true; }
  bool Active() const override { return false; }
};

// The register the chart uses (the caller keeps ownership; nullptr restores
// the single-workstation one). Returns the previous one.
ChartRegister* SetChartRegister(ChartRegister* reg);
ChartRegister& CurrentChartRegister();

class ChartTable {
 public:
  ChartTable();

  // Back to slot 0 and the sentinel, no definitions, nothing consumed.
  void Clear();

  // Steps of a full load over the chart file's bytes: reads records in
  // blocks of 232, converts their texts to Windows-1250, records structure
  // definitions in file order, keeps the last version of every symbol and
  // drops deletions (see chart.cpp). Status messages as the load shows them.
  void LoadFrom(RecordSource& source);
  // Applies the file's records from record number `first` to the end: put
  // when the name is not empty, remove otherwise. Returns the records read.
  std::uint64_t ApplyFrom(RecordSource& source, std::uint64_t first);

  std::size_t Count() const { return offsets_.size() - 1; }  // index of the sentinel
  std::uint64_t Consumed() const { return consumed_; }
  void SetConsumed(std::uint64_t n) { consumed_ = n; }

  // First slot whose symbol is not less than `symbol` (cut to 25); also kept
  // as the last lookup.
  std::size_t Find(std::string_view symbol);
  std::size_t LastLookup() const { return last_lookup_; }
  // True when the symbol is an account of the table (its slot in *slot).
  bool Contains(std::string_view symbol, std::size_t* slot = nullptr);

  // Slots out of range read as the sentinel slot.
  AccountRecord At(std::size_t slot) const;
  AccountSymbol SymbolAt(std::size_t slot) const { return AccountSymbol(SymbolView(slot)); }
  FixedText<15> ShortNameAt(std::size_t slot) const { return At(slot).shortName; }
  std::string FullNameAt(std::size_t slot) const { return FullName(At(slot)); }

  // Inserts or replaces; a record with an empty name removes the symbol.
  void Put(const AccountRecord& record);
  void Remove(std::string_view symbol);
  // Merges another table's accounts into this one in one sorted pass: an
  // account of `other` replaces the one of the same symbol, except that with
  // `keep_named` an account here whose name is not empty stays; an account of
  // `other` with an empty name removes the symbol, as Put does. The consumed
  // counter is left alone: the merged accounts come from no record of this
  // table's file, so a refresh must still read that file from where it was.
  void MergeFrom(const ChartTable& other, bool keep_named);

  // Structure definition of a letter 'A'..'Z' (empty when not defined).
  std::string_view Definition(char letter) const;

  // The shared current-account buffer and LoadAccount: clears it, puts the
  // symbol in, and copies the account when it is in the table.
  AccountRecord& Current() { return current_; }
  void LoadAccount(std::string_view symbol);

  // The account text printed next to a symbol, modes 'P', 'O', 'N', 'n',
  // 'H', 'B' (three spaces first; "   ..." marks a symbol not fully in the
  // chart).
  std::string Description(std::string_view symbol, char mode);

 private:
  void NoteDefinition(std::string_view symbol, std::string_view short_name);
  std::string_view SymbolView(std::size_t slot) const;
  std::uint32_t Pack(const AccountRecord& r);
  std::uint32_t PackFileRecord(const std::uint8_t* p);
  std::uint32_t CopyPacked(const ChartTable& other, std::size_t slot);
  bool NameEmpty(std::size_t slot) const;
  void Discard(std::size_t slot);
  void Compact();

  // Packed records: symbol, status, name, address, extra, NIP, attribute,
  // short name, spare (each text as a length byte and its characters), then
  // the two 7-byte stamps. offsets_[slot] is where a slot's record starts.
  PackedBytes packed_;
  std::vector<std::uint32_t> offsets_;
  std::size_t garbage_ = 0;  // bytes of packed_ no slot refers to
  std::uint64_t consumed_ = 0;
  std::size_t last_lookup_ = 0;
  AccountRecord current_;
  std::array<AccountSymbol, 26> definitions_{};
};

// The program's table.
ChartTable& Chart();

// Chart file path: `chart_dir` + "\" + name + ".PFX" when the chart folder is
// set, else `db_dir` + name + ".PFX"; the name is "PlanKont" when empty.
// Capacity 250.
std::string BuildChartPath(std::string_view db_dir, std::string_view chart_dir,
                           std::string_view chart_name);

// Loads Chart() from ChartPath (formed from DbDir and ChartName when it is
// empty), converting the old ".TFK" chart and the "DOSTAWCY"/"NABYWCY"
// ".trz" lists on first use. False when the register refuses or the file
// cannot be opened.
bool LoadChart();
// Runs LoadChart only when a reload was requested: "Wczytano plan kont " +
// path (colour 1) and the request cleared, or "Nie wczytano planu " + path
// (colour 0) and the request kept. Returns whether the chart is loaded.
bool EnsureChartLoaded();
void RequestChartReload();
bool ChartReloadRequested();

std::size_t FindAccount(std::string_view symbol);
AccountSymbol SymbolAt(std::size_t slot);
FixedText<15> ShortNameAt(std::size_t slot);
void LoadAccount(std::string_view symbol);
AccountRecord& CurrentAccount();
std::string FullName(std::size_t slot);
std::string AccountDescription(std::string_view symbol, char mode);
void PutAccount(const AccountRecord& record);
void RemoveAccount(std::string_view symbol);

// The single writer of the chart file. `record` holds Windows-1250 texts;
// `keep` false writes a deletion (all texts empty). The record gets status 1
// and a `written` stamp from the shared folder's clock, is appended to the
// chart file (exclusive, with retries) and only then put into (or removed
// from) Chart(). False, with a message, when the file could not be written;
// the table is then unchanged.
bool AppendAccount(const AccountRecord& record, bool keep);
// The account card's write: the record as it stands (no stamp), appended
// under an exclusive opening (retried while another workstation holds the
// file), then put into Chart().
bool AppendAccountAsIs(const AccountRecord& record);
// Pulls in the records appended since the last load or refresh (only while
// the register is active). False when the file could not be opened.
bool RefreshChart();

// Reads a chart file of any name into `table` as a load does (latest version
// of every symbol, deletions honoured), under the shared opening with
// retries. False when the file cannot be opened; `table` is then cleared.
bool ReadChartFile(std::string_view path, ChartTable& table, std::string_view context);

// Whether a symbol can stand in the chart: not empty, no byte below 33 (a
// space or a control character) or 127, and a first byte below 254 (the end
// marker of the table and of the journals).
bool UsableAccountSymbol(std::string_view symbol);

// Field-by-field equality of two account records, stamps included.
bool SameAccount(const AccountRecord& a, const AccountRecord& b);

// The first three characters of the logged-in user's code, for stamps.
void SetStampUser(std::string_view user_code);

}  // namespace zel
