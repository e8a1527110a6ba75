// The common ground of the options that make new journal files out of old
// ones (posting working files into the annual file, splitting a file in two,
// changing documents of a working file, the annual file as a workbook).
//
// Nothing here rewrites a file in place. A new file is written beside its
// target (target + ".tmp"), forced to disk, and renamed over the target in
// one step, so readers see the old file or the new one and a failure at any
// step leaves the old file whole. While the options work, the files they
// read or replace are claimed with '#' in the workstation registry, and the
// files they replace are held open exclusively (with the retries of every
// shared open), so no other workstation reads half a change or writes into
// a file being replaced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "platform/file.hpp"
#include "store/journal_entry.hpp"

namespace zel {

// The '#' claims of one run; released when the object goes. A workstation's
// registry record keeps its three latest objects, so a run claims at most
// three files (those it replaces first of all).
class RewriteClaims {
 public:
  RewriteClaims() = default;
  RewriteClaims(const RewriteClaims&) = delete;
  RewriteClaims& operator=(const RewriteClaims&) = delete;
  ~RewriteClaims();
  // Claims the path ('#'), asking the registry a bounded number of times. On
  // a refusal shows "Zbiór ... jest używany na innym stanowisku" (colour 0)
  // and answers false.
  bool Claim(std::string_view path);

 private:
  std::vector<std::string> held_;
};

// A journal file written beside its target and renamed over it.
class NewJournal {
 public:
  explicit NewJournal(std::string target);
  NewJournal(const NewJournal&) = delete;
  NewJournal& operator=(const NewJournal&) = delete;
  // Removes the file beside the target unless it was committed.
  ~NewJournal();

  // Creates the file beside the target (emptied when one was left there).
  bool Create();
  // Appends whole records (n records of 250 bytes), buffered.
  bool Put(const std::uint8_t* records, std::size_t n = 1);
  // Writes the rest of the buffer, forces the file to disk and closes it.
  bool Finish();
  // Renames the finished file over the target.
  bool Commit();

  const std::string& target() const { return target_; }
  const std::string& beside() const { return beside_; }
  std::uint64_t records() const { return records_; }

 private:
  bool Flush();

  std::string target_;
  std::string beside_;
  File file_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t written_ = 0;  // bytes in the file
  std::uint64_t records_ = 0;
  bool ok_ = true;
  bool committed_ = false;
};

// Shows "Nie zapisano NAME (reason); stary zbiór bez zmian" in colour 0 for
// the last file error, and returns that text.
std::string RewriteFailed(std::string_view target);

// A journal name as typed in a field: 1 to 8 characters, no folder, no
// extension, no wildcard.
bool ValidJournalName(std::string_view name);
// Names compare without regard to letter case (the year folder may lie on a
// file system that ignores it).
bool SameJournalName(std::string_view a, std::string_view b);

// Reads the whole file open in `file` (a working file: small enough to hold)
// into bytes, whole records only. False on a read error.
bool ReadJournalBytes(File& file, std::string* bytes);

// Calls fn(records, n) for the file's records in chunks of up to 4000,
// reading from the start; false on a read error or when fn answers false.
template <class Fn>
bool ForEachRecordChunk(File& file, Fn&& fn);

// The sums of postings (control records and damaged amounts left out).
struct PostingSums {
  std::int64_t postings = 0;
  Amount debit = 0;
  Amount credit = 0;
  void Add(const JournalEntry& e);
  void Add(const PostingSums& s);
};

// ---- template definitions ----

inline constexpr std::size_t kRewriteChunk = 4000;  // records per read or write

template <class Fn>
bool ForEachRecordChunk(File& file, Fn&& fn) {
  std::vector<std::uint8_t> chunk(kRewriteChunk * kJournalRecordSize);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!file.ReadAt(offset, chunk.data(), chunk.size(), &got)) return false;
    const std::size_t n = got / kJournalRecordSize;
    if (n == 0) return true;
    if (!fn(static_cast<const std::uint8_t*>(chunk.data()), n)) return false;
    offset += n * kJournalRecordSize;
    if (got < chunk.size()) return true;
  }
}

}  // namespace zel
