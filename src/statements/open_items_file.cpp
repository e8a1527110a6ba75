// The open-items file ".AFX": the postings of the selected accounts, regrouped
// by settlement key, with each record's group date, settled flag and mask
// number. One account is processed whole at a time, so memory is bounded by
// the largest account and a settlement group is never split.
#include <algorithm>
#include <array>
#include <cstring>
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

// A kept posting: its record as read (normalized, see Normalize) and the
// fields the two orders compare, taken out once.
struct Item {
  RecordBytes bytes;  // filled by a copy of the record as soon as the item is made
  std::array<char, kSettlementKeyCapacity> key_text;  // the settlement key, without a string
  std::uint8_t key_size = 0;
  DayNo booking = 0;
  DayNo due = 0;  // with the receivables default applied
  std::uint16_t entry = 0;
  bool debit = false;
  Amount amount = 0;

  std::string_view key() const { return {key_text.data(), key_size}; }
  std::string_view document() const {
    return {reinterpret_cast<const char*>(bytes.data() + 29), std::min<std::size_t>(bytes[28], 12)};
  }
};

void PutDay(std::uint8_t* p, DayNo d) {
  p[0] = static_cast<std::uint8_t>(d & 0xFF);
  p[1] = static_cast<std::uint8_t>(d >> 8);
}

// A record as the encoder would write it: text lengths clamped to their
// capacity, the bytes after each text and the reserved ranges zero, and an
// unreadable currency amount written as 0. The builder's own fields (group
// date, settled flag, mask number) are cleared for the builder to set.
void Normalize(std::uint8_t* p) {
  static constexpr std::pair<std::size_t, std::size_t> kTexts[] = {
      {0, 25}, {28, 12}, {45, 25}, {83, 3}, {101, 20}, {130, 30}, {161, 5}, {167, 8}};
  for (const auto& [at, cap] : kTexts) {
    if (p[at] > cap) p[at] = static_cast<std::uint8_t>(cap);
    std::memset(p + at + 1 + p[at], 0, cap - p[at]);
  }
  static constexpr std::pair<std::size_t, std::size_t> kZero[] = {
      {44, 1}, {126, 4}, {176, 12}, {190, 2}, {192, 42}, {234, 16}};
  for (const auto& [at, n] : kZero) std::memset(p + at, 0, n);
  if (!AmountUsable(p + 91)) std::memset(p + 91, 0, 10);
}

// The comparison shared by both orders: the group, then `date`, then the
// booking date, document number, entry number and debit before credit.
// Ties keep file order (the indices), so the file is the same on every run.
template <class DateOf>
bool ItemLess(const std::vector<Item>& items, std::uint32_t ia, std::uint32_t ib, DateOf date) {
  const Item& a = items[ia];
  const Item& b = items[ib];
  if (int c = a.key().compare(b.key()); c != 0) return c < 0;
  if (date(a) != date(b)) return date(a) < date(b);
  if (a.booking != b.booking) return a.booking < b.booking;
  if (int c = CompareSymbols(a.document(), b.document()); c != 0) return c < 0;
  if (a.entry != b.entry) return a.entry < b.entry;
  if (a.debit != b.debit) return a.debit;
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
      const std::string_view key = items[order_[first]].key();
      const DayNo group_date = items[order_[first]].booking;
      Amount balance = 0;
      while (end < order_.size() && items[order_[end]].key() == key) {
        Item& it = items[order_[end]];
        PutDay(it.bytes.data() + 128, group_date);
        balance += it.debit ? it.amount : -it.amount;
        ++end;
      }
      const std::uint8_t settled = AmountsDiffer(balance, 0) ? 0 : 255;
      for (std::size_t i = first; i < end; ++i) items[order_[i]].bytes[192] = settled;
      first = end;
    }
    std::sort(order_.begin(), order_.end(), [&items](std::uint32_t a, std::uint32_t b) {
      return ItemLess(items, a, b, [](const Item& i) { return i.due; });
    });
    for (std::uint32_t i : order_) {
      buffer_.append(reinterpret_cast<const char*>(items[i].bytes.data()), kJournalRecordSize);
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
  const std::string& p_currency = p.currency;
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
    Item& it = items.emplace_back();
    std::uint8_t* p = it.bytes.data();
    std::memcpy(p, v->bytes(), kJournalRecordSize);
    Normalize(p);
    it.amount = v->amount();
    if (!p_currency.empty()) {
      // Only postings in that currency, with their currency amounts.
      const std::string_view code(reinterpret_cast<const char*>(p + 84), p[83]);
      if (code != p_currency || !DecodeAmount(p + 91, &it.amount)) {
        items.pop_back();
        continue;
      }
      EncodeAmount(it.amount, p + 73);
    }
    p[234] = scan.MaskIndex();
    it.debit = p[43] != 0;
    it.booking = v->bookingDate();
    it.entry = static_cast<std::uint16_t>(p[41] | (p[42] << 8));
    const DayNo due = static_cast<DayNo>(p[124] | (p[125] << 8));
    it.due = due != 0 ? due
                      : static_cast<DayNo>(std::min<int>(it.booking + (it.debit ? 14 : 0), 0xFFFF));
    it.key_size = static_cast<std::uint8_t>(
        SettlementKeyTo(std::string_view(reinterpret_cast<const char*>(p + 102), p[101]), it.key_text.data()));
  }
  if (scan.OutOfOrder()) {
    result.out_of_order = true;
    return result;
  }
  if (!builder.Account(items) || !builder.Flush()) {
    result.write_failed = true;
    return result;
  }
  result.records = builder.written();
  return result;
}

}  // namespace zel
