// Test fixtures: builders of the few journal and chart records a test case
// needs, as the bytes of a ".DFX" or ".PFX" file.
//
// JournalBuilder collects JournalEntry records (texts exactly as they are to
// stand in the file; transactionNo and description are DOS Mazovia there, so
// pass them through WinToDos when they hold Polish letters). ChartBuilder
// takes Windows-1250 texts and writes them in the file's DOS Mazovia. Both
// write with the store's own encoders, so every byte not set is zero.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/account_record.hpp"
#include "store/journal_entry.hpp"

namespace zel::test {

// A posting: account, booking date, amount, debit or credit.
JournalEntry Posting(std::string_view account, DayNo booking, Amount amount, bool debit,
                     std::string_view document = "PK 1", std::uint16_t entry = 1);

class JournalBuilder {
 public:
  // Appends a record and returns it for further fields.
  JournalEntry& Add(const JournalEntry& e);
  JournalEntry& Post(std::string_view account, DayNo booking, Amount amount, bool debit,
                     std::string_view document = "PK 1", std::uint16_t entry = 1);
  // The control record of a document: journalNo -1, the control total.
  JournalEntry& Control(std::string_view account, std::string_view document, Amount total);
  // Ten raw amount bytes put over the record's `amount` after encoding
  // (NaN patterns and other damage).
  void SetRawAmount(std::size_t index, const std::uint8_t (&bytes)[10]);

  std::size_t size() const { return entries_.size(); }
  JournalEntry& operator[](std::size_t i) { return entries_[i]; }
  std::string Bytes() const;
  // Writes the file at a Zel path (platform layer) or a native path.
  bool WriteTo(std::string_view spec_path) const;
  bool WriteToNative(const std::string& native_path) const;

 private:
  std::vector<JournalEntry> entries_;
  std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> raw_amounts_;
};

class ChartBuilder {
 public:
  // An account version (Windows-1250 texts).
  AccountRecord& Add(std::string_view symbol, std::string_view name, std::string_view address = "",
                     std::string_view nip = "", std::string_view short_name = "");
  // A deletion record: the symbol and nothing else.
  AccountRecord& Delete(std::string_view symbol);

  std::size_t size() const { return records_.size(); }
  std::string Bytes() const;
  bool WriteTo(std::string_view spec_path) const;
  bool WriteToNative(const std::string& native_path) const;

 private:
  std::vector<AccountRecord> records_;
};

// Writes bytes to a Zel path or a native path, replacing the file.
bool WriteBytes(std::string_view spec_path, std::string_view bytes);
bool WriteBytesNative(const std::string& native_path, std::string_view bytes);

}  // namespace zel::test
