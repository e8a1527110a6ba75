// Private to the settlement statements: the reading they share. Postings of
// the accounts the masks select, from the first account a mask can select
// to the last, in file order; control records and (with a period end)
// records booked after it are left out. Progress goes to the window at each
// block, and the user's abort ends the data like the end of the file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fields/option_services.hpp"
#include "store/account_order.hpp"
#include "store/block_reader.hpp"

namespace zel {

// Stops a report over a file out of account order: the report is emptied,
// and the message naming the file and record goes to the status line and
// to the file field.
void RefuseOutOfOrder(const AccountOrderGuard& order, std::string_view file_name,
                      OptionServices& window);

class SettlementScan {
 public:
  SettlementScan(RecordSource& source, std::string_view file_name,
                 const std::vector<std::string>& short_masks, DayNo period_end,
                 OptionServices& window, std::string_view title,
                 std::size_t block_records = kJournalBlock);

  // The next posting, or nothing at the end (or after an abort).
  std::optional<JournalView> Next();
  // 1-based number of the mask that selected the current account (0 with
  // no masks).
  std::uint8_t MaskIndex() const { return mask_index_; }
  // A number that changes with the account of the postings: two postings
  // with the same number are of the same account. Cheaper than comparing
  // their account texts.
  std::uint32_t AccountSerial() const { return account_serial_; }
  bool Aborted() const { return aborted_; }
  // The file broke account order: the data ended there, the message is on
  // the status line and on the file field, and the report was emptied. The
  // caller builds nothing more from the file.
  bool OutOfOrder() const { return order_.Broken(); }

 private:
  bool Select(std::string_view account);
  void StopOutOfOrder();

  AccountOrderGuard order_;         // fed before the reader starts (the search)
  std::vector<std::string> masks_;  // expanded
  std::string last_prefix_;         // past every account starting with it: no more matches
  bool bounded_ = false;
  DayNo period_end_ = 0;
  BlockReader reader_;
  OptionServices& window_;
  std::string title_;
  std::string file_name_;
  std::uint64_t total_ = 0;
  std::string account_;
  bool have_account_ = false;
  bool account_fed_ = false;  // a posting of account_ passed the order check
  // The stored account field of that posting, for the quick comparison.
  std::array<std::uint8_t, 26> account_bytes_{};
  bool selected_ = false;
  std::uint8_t mask_index_ = 0;
  std::uint32_t account_serial_ = 0;
  bool aborted_ = false;
  bool ended_ = false;
};

}  // namespace zel
