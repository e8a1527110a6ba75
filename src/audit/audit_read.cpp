// Reading for the audit: the file as it stands while its symbols do not go
// down, and otherwise a copy of its postings sorted by account.
//
// The sorted copy holds only what the checks read (account, booking date,
// side, amount) and is ordered by a counting sort over the accounts' ranks,
// which is stable: within an account the postings keep file order, exactly
// as in an annual file made from the same postings, so every sum is added in
// the same order and the findings are the same.
#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "audit/annual_audit.hpp"
#include "audit/audit_run.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace zel {

namespace {

// Blocks of 50 records, as the audit has always read.
constexpr std::size_t kAuditBlock = 50;
constexpr std::string_view kProgressTitle = "KonZR";

enum class Pass : std::uint8_t { kDone, kAborted, kUnsorted };

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
Pass ReadInOrder(AuditRun& run, RecordSource& source, std::string_view name,
                 OptionServices& window, std::uint64_t* postings) {
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
Pass ReadSorted(AuditRun& run, RecordSource& source, std::string_view name,
                OptionServices& window, std::uint64_t* postings) {
  const std::uint64_t total = RecordCount(source, kJournalRecordSize);
  std::vector<std::string> symbols;
  std::unordered_map<std::string, std::uint32_t> ids;
  std::vector<Posting> copy;
  copy.reserve(static_cast<std::size_t>(total));
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
      auto [it, added] = ids.try_emplace(std::string(account),
                                         static_cast<std::uint32_t>(symbols.size()));
      if (added) {
        symbols.emplace_back(account);
        counts.push_back(0);
      }
      last.assign(account);
      last_id = it->second;
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
    return CompareSymbols(symbols[a], symbols[b]) < 0;
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
    run.OpenAccount(symbols[id]);
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
  if (ReadSorted(run, source, p.path, window, &out.postings) == Pass::kAborted) return out;
  run.End();
  out.done = true;
  return out;
}

}  // namespace zel
