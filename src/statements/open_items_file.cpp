// The open-items file ".AFX": the postings of the selected accounts, regrouped
// by settlement key, with each record's group date, settled flag and mask
// number. One account is processed whole at a time, so memory is bounded by
// the largest account and a settlement group is never split.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <memory>

#include "common/numbers.hpp"
#include "statements/open_items.hpp"
#include "statements/settlement_scan.hpp"

namespace zel {

namespace {

constexpr std::size_t kWriteChunk = 1u << 20;

// A kept posting: its record as read (normalized, see Normalize) and the
// fields the two orders compare, taken out once.
struct Item {
  // Made from the record's bytes, which it copies: the record is not
  // cleared first.
  explicit Item(const std::uint8_t* record) {
    std::memcpy(bytes.data(), record, kJournalRecordSize);
  }
  RecordBytes bytes;
  // The settlement key, without a string, zero-padded to its capacity.
  std::array<char, kSettlementKeyCapacity> key_text;
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
//
// `p` holds a copy of the record `source`. The tail of a text is cleared
// with a fixed run of zeros from the end of the text, which may reach past
// the field, and the bytes after the field are then copied back from the
// source: two moves of a fixed size, where a loop or a call per field would
// cost more than the field. The fields are done in order, so a later field
// is whole again when it is reached; the bytes are read from the source, as
// reading back bytes just written would wait for them to land.
constexpr std::size_t kTailRun = 32;

template <std::size_t at, std::size_t cap>
void ClearTextTail(const std::uint8_t* source, std::uint8_t* p) {
  static_assert(cap <= kTailRun && at + 1 + cap + kTailRun <= kJournalRecordSize);
  const std::size_t n = std::min<std::size_t>(source[at], cap);
  p[at] = static_cast<std::uint8_t>(n);
  std::memset(p + at + 1 + n, 0, kTailRun);
  std::memcpy(p + at + 1 + cap, source + at + 1 + cap, kTailRun);
}

void Normalize(const std::uint8_t* source, std::uint8_t* p) {
  ClearTextTail<0, 25>(source, p);
  ClearTextTail<28, 12>(source, p);
  ClearTextTail<45, 25>(source, p);
  ClearTextTail<83, 3>(source, p);
  ClearTextTail<101, 20>(source, p);
  ClearTextTail<130, 30>(source, p);
  ClearTextTail<161, 5>(source, p);
  ClearTextTail<167, 8>(source, p);
  p[44] = 0;
  std::memset(p + 126, 0, 4);
  std::memset(p + 176, 0, 12);
  std::memset(p + 190, 0, 2);
  std::memset(p + 192, 0, 42);
  std::memset(p + 234, 0, 16);
  if (!AmountUsable(source + 91)) std::memset(p + 91, 0, 10);
}

// The order of the records of an account in the file, as six words that
// compare as integers: the settlement key, the due date, the booking date, the document number, the entry number, debit
// before credit, and the index in the account's items last, so that ties
// keep file order and the file is the same on every run. Texts are
// zero-padded to their capacity and followed by their length, which orders
// them as CompareSymbols does.
struct OrderKey {
  std::array<std::uint64_t, 6> w;
  bool operator<(const OrderKey& o) const { return w < o.w; }
  std::uint32_t Index() const { return static_cast<std::uint32_t>(w[5]); }
  // The settlement key: the first 21 bytes.
  bool SameGroup(const OrderKey& o) const {
    return w[0] == o.w[0] && w[1] == o.w[1] && (w[2] >> 24) == (o.w[2] >> 24);
  }
};

constexpr std::size_t kOrderDate = 21;
constexpr std::size_t kOrderBooking = 23;
constexpr std::size_t kOrderDocument = 25;
constexpr std::size_t kOrderEntry = 38;
constexpr std::size_t kOrderCredit = 40;
constexpr std::size_t kOrderIndex = 44;

std::uint64_t BigEndianWord(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return __builtin_bswap64(v);
}

// The words of the layout above, made from the item's fields in registers:
// the key text and the document number are zero-padded to their capacity
// where they are kept (the item's key and the normalized record), so they
// are read as whole words.
OrderKey MakeOrderKey(const Item& it, std::uint32_t index) {
  static_assert(std::endian::native == std::endian::little);
  static_assert(kSettlementKeyCapacity == 20 && kOrderDocument == 25 && kOrderEntry == 38);
  const auto* key = reinterpret_cast<const std::uint8_t*>(it.key_text.data());
  const std::uint8_t* rec = it.bytes.data();
  std::uint32_t key_tail;
  std::memcpy(&key_tail, key + 16, sizeof key_tail);
  OrderKey k;
  k.w[0] = BigEndianWord(key);
  k.w[1] = BigEndianWord(key + 8);
  k.w[2] = (static_cast<std::uint64_t>(__builtin_bswap32(key_tail)) << 32) |
           (static_cast<std::uint64_t>(it.key_size) << 24) | (static_cast<std::uint64_t>(it.due) << 8) |
           (it.booking >> 8);
  // Record bytes 28..35: the document's length and its first 7 characters;
  // the length gives way to the low byte of the booking date.
  k.w[3] = (BigEndianWord(rec + 28) & 0x00FFFFFFFFFFFFFFull) |
           (static_cast<std::uint64_t>(it.booking & 0xFF) << 56);
  // Record bytes 36..40: the document's last 5 characters.
  k.w[4] = (BigEndianWord(rec + 36) & 0xFFFFFFFFFF000000ull) |
           (static_cast<std::uint64_t>(rec[28]) << 16) | it.entry;
  k.w[5] = (static_cast<std::uint64_t>(it.debit ? 0 : 1) << 56) | index;
  return k;
}
static_assert(kOrderDate == kSettlementKeyCapacity + 1 && kOrderBooking == 23 && kOrderCredit == 40 &&
              kOrderIndex == 44);

class Builder {
 public:
  Builder(File& out, OpenItemsFeed* feed) : out_(out), feed_(feed) {}

  bool Account(std::vector<Item>& items) {
    if (items.empty()) return true;
    order_.clear();
    for (std::uint32_t i = 0; i < items.size(); ++i) {
      order_.push_back(MakeOrderKey(items[i], i));
    }
    std::sort(order_.begin(), order_.end());
    const std::size_t needed = used_ + order_.size() * kJournalRecordSize;
    if (needed > capacity_) {
      // Not zeroed: every byte up to `used_` is written before it is read.
      capacity_ = std::max(needed, 2 * capacity_);
      auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);
      std::memcpy(larger.get(), buffer_.get(), used_);
      buffer_ = std::move(larger);
    }
    // The order begins with the settlement key, so each group is a run of
    // it: its date is its earliest booking, and it is settled when its
    // debits and credits net to zero. Both go into the records as they are
    // copied out.
    std::uint8_t* out = buffer_.get() + used_;
    for (std::size_t first = 0; first < order_.size();) {
      std::size_t end = first;
      DayNo group_date = items[order_[first].Index()].booking;
      Amount balance = 0;
      while (end < order_.size() && order_[end].SameGroup(order_[first])) {
        const Item& it = items[order_[end].Index()];
        group_date = std::min(group_date, it.booking);
        balance += it.debit ? it.amount : -it.amount;
        ++end;
      }
      const std::uint8_t settled = AmountsDiffer(balance, 0) ? 0 : 255;
      for (std::size_t i = first; i < end; ++i) {
        std::memcpy(out, items[order_[i].Index()].bytes.data(), kJournalRecordSize);
        PutDay(out + 128, group_date);
        out[192] = settled;
        out += kJournalRecordSize;
      }
      first = end;
    }
    if (feed_ != nullptr) feed_->Records(buffer_.get() + used_, order_.size());
    used_ = needed;
    written_ += order_.size();
    items.clear();
    return used_ < kWriteChunk || Flush();
  }

  bool Flush() {
    if (used_ == 0) return true;
    if (!out_.WriteAt(offset_, buffer_.get(), used_)) return false;
    offset_ += used_;
    used_ = 0;
    return true;
  }

  std::uint64_t written() const { return written_; }

 private:
  File& out_;
  OpenItemsFeed* feed_;
  std::vector<OrderKey> order_;
  std::size_t capacity_ = 2 * kWriteChunk;
  std::unique_ptr<std::uint8_t[]> buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);
  std::size_t used_ = 0;  // bytes of buffer_ waiting to be written
  std::uint64_t offset_ = 0;
  std::uint64_t written_ = 0;
};

}  // namespace

OpenItemsBuild BuildOpenItems(const SettlementParams& p, RecordSource& source,
                              std::string_view file_name, File& out, OptionServices& window,
                              OpenItemsFeed* feed) {
  OpenItemsBuild result;
  const std::string& p_currency = p.currency;
  SettlementScan scan(source, file_name, p.masks, p.to, window, "RoNie");
  Builder builder(out, feed);
  std::vector<Item> items;
  std::uint32_t account = 0;  // the scan's serials start at 1
  while (const std::optional<JournalView> v = scan.Next()) {
    if (scan.AccountSerial() != account) {
      if (!builder.Account(items)) {
        result.write_failed = true;
        return result;
      }
      account = scan.AccountSerial();
    }
    Item& it = items.emplace_back(v->bytes());
    std::uint8_t* p = it.bytes.data();
    Normalize(v->bytes(), p);
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
    it.key_size = static_cast<std::uint8_t>(SettlementKeyOfField(p + 101, it.key_text.data()));
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
