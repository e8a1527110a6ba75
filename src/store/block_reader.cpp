#include "store/block_reader.hpp"

#include <algorithm>

#include "common/cp1250.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// The record the reader hands out after the data: account = one byte 254.
const std::uint8_t kSentinelBytes[kJournalRecordSize] = {1, 0xFE};

// Reads the account of record n; the sentinel at or past the end or when the
// read fails. `control` tells whether the record is a control record.
AccountSymbol AccountAt(RecordSource& source, std::uint64_t n, bool* control = nullptr) {
  std::uint8_t bytes[kJournalRecordSize];
  std::size_t got = 0;
  if (control) *control = false;
  if (!source.ReadAt(n * kJournalRecordSize, bytes, sizeof bytes, &got) || got < sizeof bytes)
    return AccountSymbol(kSentinelSymbol);
  if (control) *control = bytes[71] == 0xFF && bytes[72] == 0xFF;
  return AccountSymbol::Decode(bytes);
}

}  // namespace

BlockReader::BlockReader(RecordSource& source, std::string_view file_name,
                         std::size_t block_records, std::uint64_t first_record)
    : source_(source),
      file_name_(file_name),
      block_records_(std::max<std::size_t>(block_records, 1)),
      buffer_(block_records_ * kJournalRecordSize),
      next_number_(first_record) {}

bool BlockReader::ReadBlock() {
  std::size_t got = 0;
  if (!source_.ReadAt(next_number_ * kJournalRecordSize, buffer_.data(), buffer_.size(), &got))
    got = 0;
  in_buffer_ = got / kJournalRecordSize;
  index_ = 0;
  return in_buffer_ != 0;
}

JournalView BlockReader::NextViewSlow() {
  started_block_ = false;
  while (!at_end_) {
    if (index_ == in_buffer_) {
      // The previous block was short: the data ended there.
      if (in_buffer_ != 0 && in_buffer_ < block_records_) {
        at_end_ = true;
        break;
      }
      started_block_ = true;
      if (!ReadBlock()) {
        at_end_ = true;
        break;
      }
    }
    const std::uint8_t* p = buffer_.data() + index_ * kJournalRecordSize;
    ++index_;
    current_number_ = next_number_++;
    if (AmountUsable(p + 73)) return JournalView(p, false);
    if (damaged_++ == 0) {
      ShowStatus(
          "Uszkodzony zapis nr "_w + std::to_string(current_number_ + 1) + " w "_w + file_name_,
          kWarning);
    }
    if (keep_damaged_) return JournalView(p, true);
  }
  return JournalView(kSentinelBytes, false);
}

const JournalEntry& BlockReader::Next() {
  const JournalView view = NextView();
  if (view.bytes() == kSentinelBytes) return SentinelEntry();
  view.Decode(&current_);
  return current_;
}

std::uint64_t SeekFirstAccount(RecordSource& source, std::string_view symbol,
                               AccountOrderGuard* order) {
  const AccountSymbol wanted(symbol);
  const std::uint64_t count = RecordCount(source, kJournalRecordSize);
  // Signed bounds: high may drop to -1 when every record is not less.
  std::int64_t low = 0;
  std::int64_t high = static_cast<std::int64_t>(count) - 1;
  // The nearest postings read so far on either side of the bounds: `below`
  // is below the wanted symbol (empty at first, which is not above any
  // symbol), `above` is not.
  AccountSymbol below, above;
  bool have_above = false;
  std::uint64_t above_record = 0;
  while (low <= high) {
    const std::int64_t mid = low + (high - low) / 2;
    bool control = false;
    const AccountSymbol at = AccountAt(source, static_cast<std::uint64_t>(mid), &control);
    // A record that cannot be read stands as the sentinel: no order to
    // check. Nor for a control record, which no reader adds up.
    const bool real = at.view() != kSentinelSymbol && !control;
    if (CompareSymbols(at, wanted) < 0) {
      if (order && real && CompareSymbols(at, below) < 0) {
        order->Break(static_cast<std::uint64_t>(mid));
        return count;
      }
      if (real) below = at;
      low = mid + 1;
    } else {
      if (order && real && have_above && CompareSymbols(above, at) < 0) {
        // A record after this one is lower: that one breaks the order.
        order->Break(above_record);
        return count;
      }
      if (real) {
        above = at;
        have_above = true;
        above_record = static_cast<std::uint64_t>(mid);
      }
      high = mid - 1;
    }
  }
  return static_cast<std::uint64_t>(low);
}

namespace {

std::uint64_t RangeStart(RecordSource& source, const AccountRange& range,
                         AccountOrderGuard* order) {
  return range.first.empty() ? 0 : SeekFirstAccount(source, range.first, order);
}

}  // namespace

AccountRangeReader::AccountRangeReader(RecordSource& source, std::string_view file_name,
                                       const AccountRange& range, std::size_t block_records)
    : range_(range), reader_(source, file_name, block_records, RangeStart(source, range, &order_)) {
  at_end_ = order_.Broken();
}

bool AccountRangeReader::AboveRange(std::string_view account) const {
  if (range_.last.empty()) return false;
  if (CompareSymbols(account, range_.last) <= 0) return false;
  return !(range_.last_is_prefix && account.substr(0, range_.last.size()) == range_.last);
}

const JournalEntry& AccountRangeReader::Next() {
  while (!at_end_) {
    const JournalView v = reader_.NextView();
    if (reader_.AtEnd() || v.IsSentinel()) {
      at_end_ = true;
      break;
    }
    if (v.IsControl()) continue;
    if (!order_.Feed(v.account(), reader_.RecordNumber()) || AboveRange(v.account())) {
      at_end_ = true;
      break;
    }
    if (range_.period_end != 0 && v.bookingDate() > range_.period_end) continue;
    v.Decode(&current_);
    return current_;
  }
  return SentinelEntry();
}

}  // namespace zel
