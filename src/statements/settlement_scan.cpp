#include "statements/settlement_scan.hpp"

#include <algorithm>
#include <cstring>

#include "output/report_document.hpp"
#include "shell/status.hpp"
#include "statements/trial_balance.hpp"

namespace zel {

namespace {

std::string LiteralPrefix(const std::string& expanded_mask) {
  return expanded_mask.substr(0, expanded_mask.find('?'));
}

std::uint64_t FirstRecord(RecordSource& source, const std::vector<std::string>& masks,
                          AccountOrderGuard* order) {
  if (masks.empty()) return 0;
  std::string first = LiteralPrefix(masks[0]);
  for (const std::string& m : masks) {
    std::string prefix = LiteralPrefix(m);
    if (SymbolLess(prefix, first)) first = prefix;
  }
  return first.empty() ? 0 : SeekFirstAccount(source, first, order);
}

// The account field as stored (the length byte and 25 characters) compared
// as words: equal bytes are surely the same account. Bytes past the length
// may differ in a file not written by this program; such records go to the
// comparison of the texts.
bool SameAccountBytes(const std::uint8_t* a, const std::uint8_t* b) {
  std::uint64_t x[3], y[3];
  std::uint16_t x3, y3;
  std::memcpy(x, a, sizeof x);
  std::memcpy(y, b, sizeof y);
  std::memcpy(&x3, a + 24, sizeof x3);
  std::memcpy(&y3, b + 24, sizeof y3);
  return ((x[0] ^ y[0]) | (x[1] ^ y[1]) | (x[2] ^ y[2]) | static_cast<std::uint64_t>(x3 ^ y3)) == 0;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

SettlementScan::SettlementScan(RecordSource& source, std::string_view file_name,
                               const std::vector<std::string>& short_masks, DayNo period_end,
                               OptionServices& window, std::string_view title,
                               std::size_t block_records)
    : masks_(ExpandMasks(short_masks)),
      reader_(source, file_name, block_records, FirstRecord(source, masks_, &order_)),
      window_(window),
      title_(title),
      total_(RecordCount(source, kJournalRecordSize)) {
  period_end_ = period_end;
  file_name_ = std::string(file_name);
  if (order_.Broken()) StopOutOfOrder();
  // Every mask starts with a fixed text: in account order, an account above
  // the greatest of them that does not start with it is above them all.
  bounded_ = !masks_.empty();
  for (const std::string& m : masks_) {
    const std::string prefix = LiteralPrefix(m);
    if (prefix.empty()) bounded_ = false;
    if (SymbolLess(last_prefix_, prefix)) last_prefix_ = prefix;
  }
}

bool SettlementScan::Select(std::string_view account) {
  mask_index_ = 0;
  if (masks_.empty()) return true;
  for (std::size_t i = 0; i < masks_.size(); ++i) {
    if (SymbolMatchesMask(masks_[i], account)) {
      mask_index_ = static_cast<std::uint8_t>(std::min<std::size_t>(i + 1, 255));
      return true;
    }
  }
  return false;
}

std::optional<JournalView> SettlementScan::Next() {
  while (!ended_) {
    const JournalView v = reader_.NextView();
    if (reader_.StartedBlock()) {
      if (window_.AbortRequested()) {
        aborted_ = true;
        ended_ = true;
        break;
      }
      window_.Progress(have_account_ ? std::string_view(account_) : std::string_view(title_),
                       static_cast<std::int64_t>(reader_.Position()),
                       static_cast<std::int64_t>(total_));
    }
    if (reader_.AtEnd() || v.IsSentinel()) {
      ended_ = true;
      break;
    }
    // Most records are further postings of the current account, already
    // checked for order and selection: their account bytes match those of
    // the account's first posting.
    if (account_fed_ && SameAccountBytes(v.bytes(), account_bytes_.data())) {
      if (!selected_ || v.IsControl()) continue;
      if (period_end_ != 0 && v.bookingDate() > period_end_) continue;
      return v;
    }
    const std::string_view account = v.account();
    // Most records are further postings of the account just checked for
    // order: the one comparison with the current account then does for both.
    const bool same = have_account_ && account == account_;
    if (!v.IsControl() && !(same && account_fed_) &&
        !order_.Feed(account, reader_.RecordNumber())) {
      StopOutOfOrder();
      break;
    }
    if (!same) {
      if (bounded_ && SymbolLess(last_prefix_, account) && !StartsWith(account, last_prefix_)) {
        ended_ = true;
        break;
      }
      account_ = account;
      ++account_serial_;
      have_account_ = true;
      account_fed_ = false;
      selected_ = Select(account);
    }
    if (!v.IsControl() && !account_fed_) {
      account_fed_ = true;
      std::memcpy(account_bytes_.data(), v.bytes(), account_bytes_.size());
    }
    if (!selected_ || v.IsControl()) continue;
    if (period_end_ != 0 && v.bookingDate() > period_end_) continue;
    return v;
  }
  return std::nullopt;
}

void RefuseOutOfOrder(const AccountOrderGuard& order, std::string_view file_name,
                      OptionServices& window) {
  const std::string text = order.Message(file_name);
  RapStart("", "", 1);
  ShowStatus(text, kWarning);
  window.FieldError(kFieldRocz, text);
}

// Totals per account need the file in account order; a file out of order
// would split accounts and give wrong figures, so nothing is reported.
void SettlementScan::StopOutOfOrder() {
  ended_ = true;
  RefuseOutOfOrder(order_, file_name_, window_);
}

}  // namespace zel
