// The account-order guard: the one check that a file read in account order
// (an annual journal file, an ".AFX" file) really is in that order.
//
// Readers that rely on the order (sums per account, the binary search for
// the first wanted account, the stop at the first account past a range)
// give silently wrong results on a file that is not sorted: an account read
// in several pieces, a range cut short. So each such reader feeds the guard
// the account symbol and record number of every record it uses, in file
// order; the first record whose symbol is lower than the one fed before it
// breaks the order, and the guard keeps that record's number. Once broken it
// stays broken (feeding answers false), and the reader stops and reports
// nothing, showing Message() on the field that names the file.
//
// The same symbol again is the common case and costs one comparison. The
// guard owns a copy of the last symbol; nothing it is fed must outlive the call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zel {

class AccountOrderGuard {
 public:
  // True while the order holds. `record_number` is 0-based.
  bool Feed(std::string_view account, std::uint64_t record_number) {
    if (account == last_) return !broken_;
    return FeedNew(account, record_number);
  }
  // For a reader that sees records out of sequence (the binary search): the
  // record `record_number` (0-based) was found lower than a record before it.
  // The first break found is kept.
  void Break(std::uint64_t record_number);

  bool Broken() const { return broken_; }
  // 0-based number of the record that broke the order (when Broken()).
  std::uint64_t BrokenRecord() const { return broken_record_; }
  // The user's message for the file named `file_name` (when Broken()).
  std::string Message(std::string_view file_name) const;

 private:
  bool FeedNew(std::string_view account, std::uint64_t record_number);

  std::string last_;  // the highest symbol fed so far; empty before the first
  bool broken_ = false;
  std::uint64_t broken_record_ = 0;
};

// "Zbiór NAME nie jest uporządkowany według kont (zapis N)", N counted from 1
// (`record_number` is 0-based). Windows-1250.
std::string AccountOrderMessage(std::string_view file_name, std::uint64_t record_number);

}  // namespace zel
