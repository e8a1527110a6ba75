// The open-items file ".AFX": the postings of the selected accounts, regrouped
// by settlement key, with each record's group date, settled flag and mask
// number. One account is processed whole at a time, so memory is bounded by
// the largest account and a settlement group is never split.
#include <algorithm>
#include <numeric>

#include "common/numbers.hpp"
#include "statements/open_items.hpp"
#include "statements/settlement_scan.hpp"

namespace zel {

namespace {

// The builder reads in small blocks, as the other account-range readers do
// for files that are mostly skipped.
constexpr std::size_t kBuilderBlock = 50;
constexpr std::size_t kWriteChunk = 1u << 20;

struct Item {
  JournalEntry e;
  std::string key;
  DayNo due = 0;  // with the receivables default applied
};

// The comparison shared by both orders: the group, then `date`, then the
// booking date, document number, entry number and debit before credit.
// Ties keep file order (the indices), so the file is the same on every run.
template <class DateOf>
bool ItemLess(const std::vector<Item>& items, std::uint32_t ia, std::uint32_t ib, DateOf date) {
  const Item& a = items[ia];
  const Item& b = items[ib];
  if (int c = a.key.compare(b.key); c != 0) return c < 0;
  if (date(a) != date(b)) return date(a) < date(b);
  if (a.e.bookingDate != b.e.bookingDate) return a.e.bookingDate < b.e.bookingDate;
  if (int c = CompareSymbols(a.e.documentNo.view(), b.e.documentNo.view()); c != 0) return c < 0;
  if (a.e.entryNo != b.e.entryNo) return a.e.entryNo < b.e.entryNo;
  if (a.e.IsDebit() != b.e.IsDebit()) return a.e.IsDebit();
  return ia < ib;
}

class Builder {
 public:
  explicit Builder(File& out) : out_(out) {}

  bool Account(std::vector<Item>& items) {
    if (items.empty()) return true;
    order_.resize(items.size());
    std::iota(order_.begin(), order_.end(), 0u);
    std::sort(order_.begin(), order_.end(), [&items](std::uint32_t a, std::uint32_t b) {
      return ItemLess(items, a, b, [](const Item&) { return 0; });
    });
    // Groups: a run of one key; the date of its first (earliest) booking and
    // whether its debits and credits net to zero.
    for (std::size_t first = 0; first < order_.size();) {
      std::size_t end = first;
      const std::string& key = items[order_[first]].key;
      const DayNo group_date = items[order_[first]].e.bookingDate;
      Amount balance = 0;
      while (end < order_.size() && items[order_[end]].key == key) {
        Item& it = items[order_[end]];
        it.e.groupDate = group_date;
        balance += it.e.IsDebit() ? it.e.amount : -it.e.amount;
        ++end;
      }
      const std::uint8_t settled = AmountsDiffer(balance, 0) ? 0 : 255;
      for (std::size_t i = first; i < end; ++i) items[order_[i]].e.settledFlag = settled;
      first = end;
    }
    std::sort(order_.begin(), order_.end(), [&items](std::uint32_t a, std::uint32_t b) {
      return ItemLess(items, a, b, [](const Item& i) { return i.due; });
    });
    for (std::uint32_t i : order_) {
      const std::size_t at = buffer_.size();
      buffer_.resize(at + kJournalRecordSize);
      EncodeJournalEntry(items[i].e, reinterpret_cast<std::uint8_t*>(buffer_.data() + at));
      ++written_;
    }
    items.clear();
    return buffer_.size() < kWriteChunk || Flush();
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    if (!out_.WriteAt(offset_, buffer_.data(), buffer_.size())) return false;
    offset_ += buffer_.size();
    buffer_.clear();
    return true;
  }

  std::uint64_t written() const { return written_; }

 private:
  File& out_;
  std::vector<std::uint32_t> order_;
  std::string buffer_;
  std::uint64_t offset_ = 0;
  std::uint64_t written_ = 0;
};

}  // namespace

OpenItemsBuild BuildOpenItems(const SettlementParams& p, RecordSource& source,
                              std::string_view file_name, File& out, OptionServices& window) {
  OpenItemsBuild result;
  SettlementScan scan(source, file_name, p.masks, p.to, window, "RoNie", kBuilderBlock);
  Builder builder(out);
  std::vector<Item> items;
  std::string account;
  while (const std::optional<JournalView> v = scan.Next()) {
    if (v->account() != account) {
      if (!builder.Account(items)) {
        result.write_failed = true;
        return result;
      }
      account = v->account();
    }
    Item it;
    v->Decode(&it.e);
    if (!p.currency.empty()) {
      if (it.e.currencyCode.view() != p.currency) continue;
      if (!ApplyCurrency(it.e, p.currency)) continue;
    }
    it.e.maskIndex = scan.MaskIndex();
    it.e.groupDate = 0;
    it.e.settledFlag = 0;
    it.key = SettlementKey(it.e.transactionNo.view());
    it.due = EffectiveDueDate(it.e, true);
    items.push_back(std::move(it));
  }
  if (!builder.Account(items) || !builder.Flush()) {
    result.write_failed = true;
    return result;
  }
  result.records = builder.written();
  return result;
}

}  // namespace zel
