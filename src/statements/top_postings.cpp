// Trans: the 900 largest debit (or credit) postings of the period, largest
// first, the later posting first on equal amounts. A bounded heap keeps the
// best 900 seen so far, so any amount (zero, negative, or above any bound)
// takes its place by value alone.
#include <algorithm>
#include <array>
#include <cstring>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "statements/open_items.hpp"
#include "statements/settlement_scan.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr std::size_t kTopCount = 900;

// A kept posting in the heap: small, so that the heap moves little; its
// record stays in its slot of the record store.
struct Taken {
  Amount rounded = 0;   // Round4 of the amount: the order
  std::uint64_t seq = 0;  // reading order: later first on equal amounts
  std::uint32_t slot = 0;
};

// True when a stands before b in the list.
bool Before(const Taken& a, const Taken& b) {
  if (a.rounded != b.rounded) return a.rounded > b.rounded;
  return a.seq > b.seq;
}

}  // namespace

bool TopPostingsFrom(const SettlementParams& p, RecordSource& source, std::string_view file_name,
                     OptionServices& window) {
  ChartTable& chart = p.chart ? *p.chart : Chart();
  RapStart(p.annual_name, "TRANSAKCJE" + std::string(window.PeriodText()), 9);
  // Three characters for the rank: a list of 900 rows has three-digit ranks.
  RapKol1('p', 3, "Lp");
  RapKol('l', 25, "Symbol", "konta");
  RapKol('c', 10, "Data", "księgowania"_w);
  RapKol('l', 12, "Numer", "dowodu");
  RapKol1('l', 3, "Lp");
  RapKol1('p', 14, "Kwota");
  RapKol('l', 20, "Numer", "transakcji");
  RapKol('l', 30, "Opis", "transakcji");
  RapKol1('l', 50, "Nazwa konta");
  RapNag(SettlementSubtitle(p));

  // A heap whose front is the posting that leaves first: the one that
  // stands last in the list.
  std::vector<Taken> heap;
  heap.reserve(kTopCount);
  std::vector<RecordBytes> records(kTopCount);
  std::uint64_t seq = 0;
  // Below this an amount cannot enter the full heap (its front less a margin
  // for rounding), kept as one number while the front stays.
  Amount floor = 0;
  SettlementScan scan(source, file_name, p.masks, p.to, window, "Trans");
  while (const std::optional<JournalView> v = scan.Next()) {
    if (v->bookingDate() < p.from || v->IsDebit() != p.debit_postings) continue;
    const Amount amount = v->amount();
    // Most postings are well below the smallest one kept: they are passed
    // over before any rounding.
    if (heap.size() == kTopCount && amount < floor) continue;
    Taken t;
    t.rounded = Round4(amount);
    t.seq = seq++;
    t.slot = static_cast<std::uint32_t>(heap.size());
    if (heap.size() == kTopCount) {
      if (!Before(t, heap.front())) continue;
      std::pop_heap(heap.begin(), heap.end(), Before);
      t.slot = heap.back().slot;  // the record leaving gives its slot
      heap.pop_back();
    }
    std::memcpy(records[t.slot].data(), v->bytes(), kJournalRecordSize);
    heap.push_back(t);
    std::push_heap(heap.begin(), heap.end(), Before);
    if (heap.size() == kTopCount) floor = heap.front().rounded - 0.001L;
  }
  if (scan.OutOfOrder()) return false;
  std::sort(heap.begin(), heap.end(), Before);

  JournalEntry e;
  int slot = 0;
  for (const Taken& t : heap) {
    DecodeJournalEntry(records[t.slot].data(), &e);
    RapWiersz(IntText(++slot, 3), e.account.view(), DayToText10(e.bookingDate),
              e.documentNo.view(), std::to_string(e.entryNo), Concat({" ", Amount15(e.amount)}),
              DosToWin(e.transactionNo.view()), DosToWin(e.description.view()),
              chart.Description(e.account.view(), p.mode));
  }
  return true;
}

bool TopPostings(const SettlementParams& p, OptionServices& window) {
  return RunOnAnnualFile(p, window, "bZe:2459", TopPostingsFrom);
}

}  // namespace zel
