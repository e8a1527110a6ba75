#include "books/journal_rewrite.hpp"

#include <cstring>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "platform/case_fold.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/local_copy.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// The registry refuses while another workstation works on the file; a
// moment later it may be free, so ask a few times with the pause of a
// locked open, never forever.
constexpr int kClaimAttempts = 20;

}  // namespace

RewriteClaims::~RewriteClaims() {
  for (auto it = held_.rbegin(); it != held_.rend(); ++it) RequestFileUse('-', *it);
}

bool RewriteClaims::Claim(std::string_view path) {
  for (const std::string& h : held_)
    if (FoldCase(h) == FoldCase(path)) return true;
  for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
    if (attempt > 0) RetryPauseOnce();
    if (RequestFileUse('#', path)) {
      held_.emplace_back(path);
      return true;
    }
  }
  ShowStatus(Concat({"Zbiór "_w, path, " jest używany na innym stanowisku"_w}), kWarning);
  return false;
}

NewJournal::NewJournal(std::string target)
    : target_(std::move(target)), beside_(target_ + ".tmp") {}

NewJournal::~NewJournal() {
  if (committed_) return;
  if (file_.IsOpen()) file_.Close();
  // Removing can fail too (an injected fault, a vanished folder); the old
  // target is whole either way, and a left-over ".tmp" is emptied next time.
  if (FileOrFolderExists(beside_)) RemoveFile(beside_);
}

bool NewJournal::Create() {
  buffer_.reserve(kRewriteChunk * kJournalRecordSize);
  ok_ = file_.Open(beside_, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
  return ok_;
}

bool NewJournal::Flush() {
  if (!ok_) return false;
  if (buffer_.empty()) return true;
  ok_ = file_.WriteAt(written_, buffer_.data(), buffer_.size());
  written_ += buffer_.size();
  buffer_.clear();
  return ok_;
}

bool NewJournal::Put(const std::uint8_t* records, std::size_t n) {
  if (!ok_) return false;
  const std::size_t bytes = n * kJournalRecordSize;
  records_ += n;
  if (buffer_.size() + bytes > kRewriteChunk * kJournalRecordSize) {
    if (!Flush()) return false;
    if (bytes >= kRewriteChunk * kJournalRecordSize) {
      // A large run goes straight to the file, without a copy.
      ok_ = file_.WriteAt(written_, records, bytes);
      written_ += bytes;
      return ok_;
    }
  }
  buffer_.insert(buffer_.end(), records, records + bytes);
  return true;
}

bool NewJournal::Finish() {
  if (!Flush()) return false;
  ok_ = file_.Sync();
  const bool closed = file_.Close();
  ok_ = ok_ && closed;
  return ok_;
}

bool NewJournal::Commit() {
  if (!ok_) return false;
  ok_ = ReplaceFile(beside_, target_);
  committed_ = ok_;
  return ok_;
}

std::string RewriteFailed(std::string_view target) {
  const std::string text = Concat({"Nie zapisano "_w, target, " (", IoErrorText(LastIoError()),
                                   "); stary zbiór bez zmian"_w});
  ShowStatus(text, kWarning);
  return text;
}

bool ValidJournalName(std::string_view name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x21 || std::strchr("\\/:.*?\"<>|", c) != nullptr) return false;
  }
  return true;
}

bool SameJournalName(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

bool ReadJournalBytes(File& file, std::string* bytes) {
  bytes->clear();
  std::uint64_t size = 0;
  if (!file.Size(&size)) return false;
  const std::uint64_t whole = size / kJournalRecordSize * kJournalRecordSize;
  bytes->resize(static_cast<std::size_t>(whole));
  std::uint64_t offset = 0;
  while (offset < whole) {
    std::size_t got = 0;
    if (!file.ReadAt(offset, bytes->data() + offset, static_cast<std::size_t>(whole - offset),
                     &got)) {
      return false;
    }
    if (got == 0) break;
    offset += got;
  }
  bytes->resize(static_cast<std::size_t>(offset / kJournalRecordSize * kJournalRecordSize));
  return true;
}

void PostingSums::Add(const JournalEntry& e) {
  if (e.IsControl() || e.AmountDamaged()) return;
  ++postings;
  (e.IsDebit() ? debit : credit) += e.amount;
}

void PostingSums::Add(const PostingSums& s) {
  postings += s.postings;
  debit += s.debit;
  credit += s.credit;
}

}  // namespace zel
