// Reading journal files: the block reader with its end-of-data sentinel, the
// binary search for the first record of an account, and the account-range
// reader the statements use.
//
// A block reader reads a fixed number of records per read (200 by default)
// and hands them out one by one; after the last whole record it hands out
// the sentinel (account = one byte 254) on every further call, so an
// account-ordered scan ends by comparison. A file whose size is not a
// multiple of 250 is read to its last whole record; a failed read ends the
// data like the end of the file. A record whose amount cannot be read is
// counted as damaged and skipped; the first one is reported in the status
// line (colour 0) with the file name and its record number. The reader does
// not own the source; the entry Next() returns stays valid until the next call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "store/account_order.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace zel {

inline constexpr std::size_t kJournalBlock = 200;

// A record in the reader's buffer, read field by field on demand: the fast
// way to scan when only a few fields matter. Valid until the reader's next
// call. The amount was checked by the reader (0 when damaged).
class JournalView {
 public:
  JournalView(const std::uint8_t* bytes, bool damaged) : p_(bytes), damaged_(damaged) {}

  std::string_view account() const {
    return {reinterpret_cast<const char*>(p_ + 1), p_[0] < 25 ? p_[0] : std::size_t{25}};
  }
  DayNo bookingDate() const { return static_cast<DayNo>(p_[26] | (p_[27] << 8)); }
  std::uint8_t side() const { return p_[43]; }
  bool IsDebit() const { return p_[43] != 0; }
  std::int16_t journalNo() const { return static_cast<std::int16_t>(p_[71] | (p_[72] << 8)); }
  bool IsControl() const { return journalNo() == -1; }
  Amount amount() const {
    Amount x = 0;
    if (!damaged_) std::memcpy(&x, p_ + 73, 10);  // checked by the reader
    return x;
  }
  bool AmountDamaged() const { return damaged_; }
  bool IsSentinel() const { return account() == kSentinelSymbol; }
  const std::uint8_t* bytes() const { return p_; }
  // The whole record.
  void Decode(JournalEntry* e) const { DecodeJournalEntry(p_, e); }

 private:
  const std::uint8_t* p_;
  bool damaged_;
};

class BlockReader {
 public:
  // Starts at record number `first_record` (0-based).
  BlockReader(RecordSource& source, std::string_view file_name,
              std::size_t block_records = kJournalBlock, std::uint64_t first_record = 0);

  // The next record, or the sentinel once the data has ended.
  const JournalEntry& Next();
  // The same without decoding the whole record.
  JournalView NextView() {
    // The common case inline: a sound record of the current block.
    if (index_ < in_buffer_) {
      const std::uint8_t* p = buffer_.data() + index_ * kJournalRecordSize;
      if (AmountUsable(p + 73)) {
        ++index_;
        current_number_ = next_number_++;
        started_block_ = false;
        return JournalView(p, false);
      }
    }
    return NextViewSlow();
  }

  bool AtEnd() const { return at_end_; }
  // Record number (0-based) of the record Next() returned last.
  std::uint64_t RecordNumber() const { return current_number_; }
  // Records brought in from the file so far (whole records), counting from
  // the first record of the file: the file position in records.
  std::uint64_t Position() const { return next_number_; }
  // True when the last Next() had to read a new block (for progress lines).
  bool StartedBlock() const { return started_block_; }
  std::uint64_t DamagedCount() const { return damaged_; }
  // Damaged records are handed out (with amount 0 and their damage bits)
  // instead of skipped.
  void KeepDamaged(bool keep) { keep_damaged_ = keep; }

 private:
  bool ReadBlock();
  JournalView NextViewSlow();

  RecordSource& source_;
  std::string file_name_;
  std::size_t block_records_;
  std::vector<std::uint8_t> buffer_;
  std::size_t in_buffer_ = 0;  // whole records in buffer_
  std::size_t index_ = 0;      // next record of buffer_ to hand out
  std::uint64_t next_number_;  // file record number of buffer_[in_buffer_]
  std::uint64_t current_number_ = 0;
  std::uint64_t damaged_ = 0;
  bool at_end_ = false;
  bool started_block_ = false;
  bool keep_damaged_ = false;
  JournalEntry current_;
};

// First record (0-based) whose account is not less than `symbol` (cut to 25),
// by binary search reading one record at a time; a position at or past the
// end reads as the sentinel, so a symbol past the last account gives the
// record count.
//
// With a guard, the records the search reads are also checked against each
// other (control records aside): one that lies between two others must not
// be lower than the one before it nor higher than the one after it. The search sees only a few
// records, so this catches a file out of order only where it looks; on a
// break the guard says which record, and the answer is the record count
// (nothing to read).
std::uint64_t SeekFirstAccount(RecordSource& source, std::string_view symbol,
                               AccountOrderGuard* order = nullptr);

// The accounts a statement reads from an annual file.
struct AccountRange {
  std::string first;            // empty: from the first record
  std::string last;             // empty: to the end of the file
  bool last_is_prefix = false;  // also take accounts that begin with `last`
  DayNo period_end = 0;         // records booked after it are skipped; 0: no limit
};

// Seeks to the range's first account and hands out its records in file
// order, skipping control records, damaged records and records booked after
// the period end; the first account above the range ends the data (the
// sentinel from then on). Records booked before the period start are kept:
// the reports count them as opening or cumulative values.
//
// The order is checked as the records come (control records aside, which no
// total reads): the search's probes and then every record read. A record
// lower than the one before it ends the data at once; OutOfOrder() then
// holds and the caller must refuse to report, with order().Message(name).
class AccountRangeReader {
 public:
  AccountRangeReader(RecordSource& source, std::string_view file_name, const AccountRange& range,
                     std::size_t block_records = kJournalBlock);
  const JournalEntry& Next();
  bool AtEnd() const { return at_end_; }
  bool OutOfOrder() const { return order_.Broken(); }
  const AccountOrderGuard& order() const { return order_; }
  const BlockReader& reader() const { return reader_; }

 private:
  bool AboveRange(std::string_view account) const;

  AccountRange range_;
  AccountOrderGuard order_;  // before reader_: the search in its start feeds it
  BlockReader reader_;
  bool at_end_ = false;
  JournalEntry current_;
};

}  // namespace zel
