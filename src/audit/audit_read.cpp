// Reading for the audit: the file as it stands while its symbols do not go
// down, and otherwise a copy of its postings sorted by account.
//
// The sorted copy holds only what the checks read (account, booking date,
// side, amount) and is ordered by a counting sort over the accounts' ranks,
// which is stable: within an account the postings keep file order, exactly
// as in an annual file made from the same postings, so every sum is added in
// the same order and the findings are the same.
#include <algorithm>
#include <new>
#include <numeric>
#include <vector>

#include "audit/annual_audit.hpp"
#include "audit/audit_run.hpp"
#include "common/cp1250.hpp"
#include "shell/status.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace zel {

namespace {

// Blocks of 50 records, as the audit has always read.
constexpr std::size_t kAuditBlock = 50;
constexpr std::string_view kProgressTitle = "KonZR";
constexpr std::uint64_t kReserveLimit = 4'000'000;

enum class Pass : std::uint8_t { kDone, kAborted, kUnsorted };

// The accounts of the sorted copy, each given a number in order of first
// appearance: an open-addressing table over the symbols kept side by side,
// which a million lookups cross far faster than a table of nodes.
class SymbolIds {
 public:
  SymbolIds() : slots_(1024, 0) {}

  // The number of a symbol (at most 25 bytes); *added tells whether it is new.
  std::uint32_t Id(std::string_view s, bool* added) {
    const std::uint32_t h = Hash(s);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const std::uint64_t slot = slots_[i];
      if (slot == 0) break;
      const auto id = static_cast<std::uint32_t>(slot) - 1;
      if (static_cast<std::uint32_t>(slot >> 32) == h && Symbol(id) == s) {
        *added = false;
        return id;
      }
    }
    const auto id = static_cast<std::uint32_t>(keys_.size());
    Key k{};
    k.size = static_cast<std::uint8_t>(std::min<std::size_t>(s.size(), sizeof k.bytes));
    std::copy_n(s.data(), k.size, k.bytes);
    keys_.push_back(k);
    if (keys_.size() * 2 > slots_.size()) {
      Grow();
      mask = slots_.size() - 1;
    }
    Place(h, id);
    *added = true;
    return id;
  }
  std::string_view Symbol(std::uint32_t id) const {
    const Key& k = keys_[id];
    return {k.bytes, k.size};
  }
  std::size_t size() const { return keys_.size(); }

 private:
  struct Key {
    std::uint8_t size;
    char bytes[25];
  };
  static std::uint32_t Hash(std::string_view s) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const char c : s) h = (h ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  }
  void Place(std::uint32_t h, std::uint32_t id) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = (static_cast<std::uint64_t>(h) << 32) | (id + 1u);
  }
  void Grow() {
    std::vector<std::uint64_t> old(slots_.size() * 2, 0);
    old.swap(slots_);
    for (const std::uint64_t slot : old) {
      if (slot != 0)
        Place(static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot) - 1);
    }
  }

  std::vector<Key> keys_;
  std::vector<std::uint64_t> slots_;  // hash << 32 | (id + 1); 0: empty
};

struct Posting {
  Amount amount;
  std::uint32_t account;  // index into the copy's symbols
  DayNo booking;
  bool debit;
};

bool StartBlock(const BlockReader& reader, std::uint64_t total, std::string_view title,
                OptionServices& window) {
  if (!reader.StartedBlock()) return true;
  if (window.AbortRequested()) return false;
  window.Progress(title, static_cast<std::int64_t>(reader.Position()),
                  static_cast<std::int64_t>(total));
  return true;
}

// The file in its own order; stops as soon as a symbol is lower than the one
// before it.
Pass ReadInOrder(AuditRun& run, RecordSource& source, std::string_view name, OptionServices& window,
                 std::uint64_t* postings) {
  const std::uint64_t total = RecordCount(source, kJournalRecordSize);
  BlockReader reader(source, name, kAuditBlock);
  bool have_account = false;
  for (;;) {
    const JournalView e = reader.NextView();
    if (!StartBlock(reader, total, have_account ? std::string_view(run.account()) : kProgressTitle,
                    window)) {
      return Pass::kAborted;
    }
    if (reader.AtEnd() || e.IsSentinel()) break;
    if (e.IsControl()) continue;
    const std::string_view account = e.account();
    if (!have_account || account != run.account()) {
      if (have_account) {
        if (CompareSymbols(account, run.account()) < 0) return Pass::kUnsorted;
        run.CloseAccount();
      }
      run.OpenAccount(account);
      have_account = true;
    }
    run.Posting(e.bookingDate(), e.IsDebit(), e.amount());
    ++*postings;
  }
  if (have_account) run.CloseAccount();
  return Pass::kDone;
}

// The whole file into a copy sorted by account, then the same checks.
Pass ReadSorted(AuditRun& run, RecordSource& source, std::string_view name, OptionServices& window,
                std::uint64_t* postings) {
  const std::uint64_t total = RecordCount(source, kJournalRecordSize);
  SymbolIds symbols;
  std::vector<Posting> copy;
  // The size only hints: a file whose size lies about its records must not
  // ask for memory it will never fill.
  copy.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(total, kReserveLimit)));
  std::vector<std::uint32_t> counts;

  BlockReader reader(source, name, kAuditBlock);
  std::string last;
  std::uint32_t last_id = 0;
  bool have_last = false;
  for (;;) {
    const JournalView e = reader.NextView();
    if (!StartBlock(reader, total, kProgressTitle, window)) return Pass::kAborted;
    if (reader.AtEnd() || e.IsSentinel()) break;
    if (e.IsControl()) continue;
    const std::string_view account = e.account();
    // Postings of one document often follow each other on one account.
    if (!have_last || account != last) {
      bool added = false;
      last_id = symbols.Id(account, &added);
      if (added) counts.push_back(0);
      last.assign(account);
      have_last = true;
    }
    copy.push_back(Posting{e.amount(), last_id, e.bookingDate(), e.IsDebit()});
    ++counts[last_id];
  }

  // Accounts in symbol order, then every posting placed after the postings
  // of the accounts before its own, in file order.
  std::vector<std::uint32_t> by_symbol(symbols.size());
  std::iota(by_symbol.begin(), by_symbol.end(), 0u);
  std::sort(by_symbol.begin(), by_symbol.end(), [&symbols](std::uint32_t a, std::uint32_t b) {
    return CompareSymbols(symbols.Symbol(a), symbols.Symbol(b)) < 0;
  });
  std::vector<std::size_t> start(symbols.size());
  std::size_t at = 0;
  for (std::uint32_t id : by_symbol) {
    start[id] = at;
    at += counts[id];
  }
  std::vector<Posting> sorted(copy.size());
  for (const Posting& posting : copy) sorted[start[posting.account]++] = posting;
  copy.clear();
  copy.shrink_to_fit();

  std::size_t i = 0;
  for (std::uint32_t id : by_symbol) {
    run.OpenAccount(symbols.Symbol(id));
    for (std::size_t n = counts[id]; n > 0; --n, ++i) {
      run.Posting(sorted[i].booking, sorted[i].debit, sorted[i].amount);
    }
    run.CloseAccount();
  }
  *postings = sorted.size();
  return Pass::kDone;
}

}  // namespace

AuditOutcome AuditFrom(const AuditParams& p, RecordSource& source, OptionServices& window) {
  ChartTable& chart = p.chart ? *p.chart : Chart();
  AuditOutcome out;
  {
    AuditRun run(p, chart);
    run.Head();
    const Pass pass = ReadInOrder(run, source, p.path, window, &out.postings);
    if (pass == Pass::kAborted) return out;
    if (pass == Pass::kDone) {
      run.End();
      out.done = true;
      return out;
    }
  }
  // Not in account order: the rows written so far are dropped with the
  // report that the sorted pass starts again.
  out.order = AuditOrder::kSorted;
  out.postings = 0;
  AuditRun run(p, chart);
  run.Head();
  try {
    if (ReadSorted(run, source, p.path, window, &out.postings) == Pass::kAborted) return out;
  } catch (const std::bad_alloc&) {
    // The sorted copy holds every posting in memory; a file too large for
    // it is refused whole rather than audited in part.
    const std::string text = "Za mało pamięci na posortowanie "_w + p.path;
    ShowStatus(text, kWarning);
    window.FieldError(kFieldRobo, text);
    return out;
  }
  run.End();
  out.done = true;
  return out;
}

}  // namespace zel
