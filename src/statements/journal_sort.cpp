// The journal's sort: the selected records of the working file into document
// order, as a list of their file positions (and, on request, written once to
// a sorted file).
//
// One sequential pass builds a compact key per selected record (the fields
// of the document order as bytes that compare as words, the file position
// last, so equal records keep their file order); the keys are sorted once,
// by merging the file's ascending runs; the few records that share a
// document entry are then ordered by the rest of their fields, read back
// from the file. The records themselves are read in key order by
// SortedJournal, runs of adjacent records with one read each (a file already
// in document order is read sequentially).
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/status.hpp"
#include "statements/journal.hpp"
#include "store/block_reader.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

// Records per read of the first pass: 64,000 bytes stay in the processor's
// cache between the read and the keys taken from them.
constexpr std::size_t kReadRecords = 256;
// Records between two looks at the abort key and the progress bar.
constexpr std::uint64_t kProgressRecords = 4096;
constexpr std::size_t kCopyRecords = 4096;   // records per write of the sorted file
constexpr int kBarWidth = 30;

// A selected record is sorted in two parts. The head, 16 bytes compared as
// two big-endian words, holds the document number (12 text bytes
// zero-padded, then the length), the control flag (0 posting, 1 control
// record) and the entry number: it settles almost every comparison, so the
// one large sort moves 24-byte items of plain integers. The tail (the
// transaction number, the amount, the due date and the side) orders the few
// records of one document entry; it is built only for those, from the
// records read back.
// The file position comes last, so equal records keep their file order.
constexpr std::size_t kHeadDocument = 0;     // 12 text bytes, zero-padded, then the length
constexpr std::size_t kHeadControl = 13;
constexpr std::size_t kHeadEntry = 14;       // u16 big-endian
constexpr std::size_t kTailTransaction = 0;  // 20 text bytes, zero-padded, then the length
constexpr std::size_t kTailAmount = 21;      // 10 bytes, order-preserving
constexpr std::size_t kTailDue = 31;         // u16 big-endian
constexpr std::size_t kTailSide = 33;

struct Item {
  std::uint64_t high;      // head bytes 0..7, big-endian
  std::uint64_t low;       // head bytes 8..15, big-endian
  std::uint32_t position;  // in the source file, in records
  std::uint32_t ordinal;   // among the selected records
  bool operator<(const Item& o) const {
    if (high != o.high) return high < o.high;
    if (low != o.low) return low < o.low;
    return ordinal < o.ordinal;
  }
  bool SameHead(const Item& o) const { return high == o.high && low == o.low; }
  bool IsControl() const { return ((low >> 16) & 0xFFu) != 0; }
  // Document number and its length: the head's first 13 bytes.
  bool SameDocument(const Item& o) const { return high == o.high && (low >> 24) == (o.low >> 24); }
};
static_assert(sizeof(Item) == 24);

struct Tail {
  std::array<std::uint8_t, 34> b;
};
static_assert(sizeof(Tail) == 34);
// An item a record, and its file position in the order made from them.
static_assert(sizeof(Item) + sizeof(std::uint32_t) == kJournalSortBytes);

// A length-prefixed text as bytes that compare like CompareSymbols: the
// characters zero-padded to the capacity, then the length. A shorter text
// whose characters agree has zeros where the longer one has characters or,
// past those, a smaller length.
//
// The capacity is fixed, so the characters are copied in whole words and the
// bytes past the length cleared with a mask, without a call per field.
template <std::size_t kCapacity>
void PutText(std::uint8_t* out, const std::uint8_t* field) {
  static_assert(std::endian::native == std::endian::little);
  constexpr std::size_t kWords = (kCapacity + 7) / 8;
  const std::size_t n = std::min<std::size_t>(field[0], kCapacity);
  std::uint8_t text[kWords * 8] = {};
  std::memcpy(text, field + 1, kCapacity);
  for (std::size_t i = 0; i < kWords; ++i) {
    std::uint64_t w;
    std::memcpy(&w, text + 8 * i, sizeof w);
    // The word's first `keep` bytes (the low ones) are characters.
    const std::size_t keep = n > 8 * i ? std::min<std::size_t>(n - 8 * i, 8) : 0;
    w &= keep == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * keep)) - 1;
    std::memcpy(text + 8 * i, &w, sizeof w);
  }
  std::memcpy(out, text, kCapacity);
  out[kCapacity] = static_cast<std::uint8_t>(n);
}

void PutU16(std::uint8_t* out, const std::uint8_t* le) {
  out[0] = le[1];
  out[1] = le[0];
}

// An extended real (after Round4) as ten bytes in the order of the values:
// sign and exponent first, then the mantissa; a positive number gets its top
// bit set, a negative one has every bit inverted. Zero of either sign is one
// key.
void PutAmount(std::uint8_t* out, Amount x) {
  Amount r = Round4(x);
  if (r == 0) r = 0;  // -0 becomes +0
  std::uint8_t le[sizeof(Amount)] = {};
  std::memcpy(le, &r, sizeof(Amount));
  for (std::size_t i = 0; i < 10; ++i) out[i] = le[9 - i];
  if ((out[0] & 0x80u) != 0) {
    for (std::size_t i = 0; i < 10; ++i) out[i] = static_cast<std::uint8_t>(~out[i]);
  } else {
    out[0] |= 0x80u;
  }
}

// The amount key of the last record: the two sides of a posting line stand
// next to each other with the same amount, and rounding is the dear part.
struct AmountMemo {
  std::uint8_t raw[10] = {};
  std::uint8_t key[10] = {};
  bool valid = false;
};

// The low `n` bytes of a little-endian word (n up to 8).
std::uint64_t LowBytes(std::uint64_t w, std::size_t n) {
  return n >= 8 ? w : w & ((std::uint64_t{1} << (8 * n)) - 1);
}

// The head built straight in two words, with the same bytes as PutText and
// PutU16 would lay out (a head assembled in memory byte by byte and read
// back as words stalls the processor on every record).
Item MakeItem(const JournalView& v, std::uint32_t position, std::uint32_t ordinal) {
  static_assert(std::endian::native == std::endian::little);
  static_assert(kHeadDocument == 0 && kHeadControl == 13 && kHeadEntry == 14);
  const std::uint8_t* p = v.bytes();
  const std::size_t n = std::min<std::size_t>(p[28], 12);
  std::uint64_t first8;
  std::memcpy(&first8, p + 29, sizeof first8);
  std::uint32_t last4;
  std::memcpy(&last4, p + 37, sizeof last4);
  const std::uint64_t high = __builtin_bswap64(LowBytes(first8, n));
  const std::uint32_t rest =
      __builtin_bswap32(static_cast<std::uint32_t>(LowBytes(last4, n > 8 ? n - 8 : 0)));
  const std::uint64_t entry = std::uint64_t{p[41]} | (std::uint64_t{p[42]} << 8);
  const std::uint64_t low = (std::uint64_t{rest} << 32) | (std::uint64_t{n} << 24) |
                            (std::uint64_t{v.IsControl() ? 1u : 0u} << 16) | entry;
  return {high, low, position, ordinal};
}

Tail MakeTail(const JournalView& v, AmountMemo& memo) {
  const std::uint8_t* p = v.bytes();
  Tail t;
  PutText<20>(t.b.data() + kTailTransaction, p + 101);
  if (!memo.valid || std::memcmp(memo.raw, p + 73, 10) != 0) {
    PutAmount(memo.key, v.amount());
    std::memcpy(memo.raw, p + 73, 10);
    memo.valid = true;
  }
  std::memcpy(t.b.data() + kTailAmount, memo.key, 10);
  PutU16(t.b.data() + kTailDue, p + 124);
  t.b[kTailSide] = p[43];
  return t;
}

// Hands the items to `take` in head order (the ordinal breaks ties, so the
// order is stable). A working file is written in entry order, and each kind
// of document is numbered upwards through it: the file is a few hundred
// ascending runs that interleave. Those runs are merged in one pass straight
// into `take`, each step taking from the lowest run every item below the
// next run's head, so a stretch of one document kind costs one comparison
// an item and no second array. Too many runs to gain from that (a shuffled
// file) go to an ordinary sort in place.
constexpr std::size_t kMaxMergedRuns = 4096;

// `breaks` holds the indexes where an item is lower than the one before it,
// noted while the items were made (the noting may stop once there are more
// than kMaxMergedRuns).
template <class Take>
void InHeadOrder(std::vector<Item>& items, const std::vector<std::size_t>& breaks, Take&& take) {
  struct Run {
    std::size_t at, end;
  };
  std::vector<Run> runs;
  if (breaks.size() < kMaxMergedRuns) {
    std::size_t start = 0;
    for (const std::size_t at : breaks) {
      runs.push_back({start, at});
      start = at;
    }
    runs.push_back({start, items.size()});
  }
  if (runs.empty()) {
    std::sort(items.begin(), items.end());
    for (const Item& item : items) take(item);
    return;
  }
  // A heap of run numbers, the run with the lowest head on top.
  auto higher = [&](std::size_t a, std::size_t b) { return items[runs[b].at] < items[runs[a].at]; };
  std::vector<std::size_t> heap(runs.size());
  for (std::size_t r = 0; r < runs.size(); ++r) heap[r] = r;
  std::make_heap(heap.begin(), heap.end(), higher);
  while (!heap.empty()) {
    std::pop_heap(heap.begin(), heap.end(), higher);
    const std::size_t r = heap.back();
    heap.pop_back();
    Run& run = runs[r];
    if (heap.empty()) {
      for (std::size_t k = run.at; k < run.end; ++k) take(items[k]);
      break;
    }
    const Item& bound = items[runs[heap.front()].at];
    std::size_t k = run.at;
    do {
      take(items[k]);
      ++k;
    } while (k < run.end && items[k] < bound);
    run.at = k;
    if (run.at < run.end) {
      heap.push_back(r);
      std::push_heap(heap.begin(), heap.end(), higher);
    }
  }
}

// Records of the source by position, read in blocks: the records of one
// head are read back for their tails in file order. A read that goes on
// where the last one ended doubles the block (a file in document order is
// read in long stretches); one elsewhere starts again with a small block, so
// the records of a shuffled file cost a page each, not a long block each.
class RecordCache {
 public:
  explicit RecordCache(RecordSource& source)
      : source_(source), buffer_(kMaxBlock * kJournalRecordSize) {}
  // The record at `position`, or nullptr when it cannot be read.
  const std::uint8_t* At(std::uint32_t position) {
    if (position < first_ || position - first_ >= count_) {
      block_ = position == first_ + count_ ? std::min(2 * block_, kMaxBlock) : kMinBlock;
      std::size_t got = 0;
      if (!source_.ReadAt(std::uint64_t{position} * kJournalRecordSize, buffer_.data(),
                          block_ * kJournalRecordSize, &got)) {
        got = 0;
      }
      first_ = position;
      count_ = got / kJournalRecordSize;
      if (count_ == 0) return nullptr;
    }
    return buffer_.data() + std::size_t{position - first_} * kJournalRecordSize;
  }

 private:
  static constexpr std::size_t kMinBlock = 16;
  static constexpr std::size_t kMaxBlock = 256;
  RecordSource& source_;
  std::vector<std::uint8_t> buffer_;
  std::uint32_t first_ = 0;
  std::size_t count_ = 0;
  std::size_t block_ = kMinBlock;
};

// Orders the records of one document entry (items of one head) by their
// tails, the file position last. The tails are built only here, from the
// records read back, as entries of more than one record are few.
class TailSorter {
 public:
  explicit TailSorter(RecordSource& source) : cache_(source) {}
  // Orders the file positions of one entry, given in file order; false when
  // a record cannot be read back.
  bool Sort(std::vector<std::uint32_t>& positions) {
    group_.clear();
    AmountMemo memo;
    for (const std::uint32_t position : positions) {
      const std::uint8_t* record = cache_.At(position);
      if (record == nullptr) return false;
      group_.push_back({MakeTail(JournalView(record, false), memo), position});
    }
    if (std::is_sorted(group_.begin(), group_.end())) return true;
    std::sort(group_.begin(), group_.end());
    for (std::size_t k = 0; k < group_.size(); ++k) positions[k] = group_[k].position;
    return true;
  }

 private:
  struct Tailed {
    Tail tail;
    std::uint32_t position;
    bool operator<(const Tailed& o) const {
      const int c = std::memcmp(tail.b.data(), o.tail.b.data(), sizeof(Tail));
      return c != 0 ? c < 0 : position < o.position;
    }
  };
  RecordCache cache_;
  std::vector<Tailed> group_;
};

std::string_view DocumentOf(const JournalView& v) {
  const std::uint8_t* p = v.bytes() + 28;
  return {reinterpret_cast<const char*>(p + 1), std::min<std::size_t>(p[0], 12)};
}

// "[>>>>   ] KP24/000012" in the status line, colour 2.
void ShowBar(std::uint64_t done, std::uint64_t total, std::string_view document) {
  const int k = total == 0 ? kBarWidth
                           : static_cast<int>((done * kBarWidth + total / 2) / total);
  std::string bar = "[";
  bar.append(static_cast<std::size_t>(std::min(k, kBarWidth)), '>');
  bar.append(static_cast<std::size_t>(kBarWidth - std::min(k, kBarWidth)), ' ');
  bar.append("] ").append(document);
  ShowStatus(bar, kInfo);
}

// The sorted file's first record: documentNo is the single byte 255.
RecordBytes HeaderRecord() {
  RecordBytes r{};
  r[28] = 1;
  r[29] = 0xFF;
  return r;
}

}  // namespace

SortResult SortJournalOrder(RecordSource& source, std::string_view source_path,
                            const JournalParams& p, OptionServices& window,
                            std::vector<std::uint32_t>* order) {
  order->clear();
  ShowStatus("Proszę czekać"_w, kInfo);
  const std::uint64_t total = RecordCount(source, kJournalRecordSize);
  if (total == 0) {
    ShowStatus("Nic nie ma", kWarning);
    return SortResult::kEmptyFile;
  }
  if (total > std::numeric_limits<std::uint32_t>::max()) {
    ShowStatus("Za duży zbiór "_w + std::string(source_path), kWarning);
    return SortResult::kFailed;
  }

  // An empty last number sets no upper limit.
  const std::string_view first = p.first_document;
  const bool no_last = p.last_document.empty();
  std::vector<Item> keys;
  std::vector<std::size_t> breaks;  // where the file's ascending runs of keys break
  // Reserved once: no doubling past one item a record. A file too large for
  // the memory is refused, not a crash.
  try {
    keys.reserve(static_cast<std::size_t>(total));
  } catch (const std::bad_alloc&) {
    ShowStatus("Za mało pamięci na sortowanie "_w + std::string(source_path), kWarning);
    return SortResult::kFailed;
  }
  {
    // A damaged record is reported under the working file's name, which the
    // user knows, not the local copy's.
    const std::string_view shown = p.working_path.empty() ? source_path : p.working_path;
    BlockReader reader(source, shown, kReadRecords);
    for (;;) {
      const JournalView v = reader.NextView();
      if (reader.AtEnd()) break;
      if (reader.StartedBlock() && reader.RecordNumber() % kProgressRecords == 0) {
        if (window.AbortRequested()) {
          ShowStatus("Przerwanie", kInfo);
          return SortResult::kAborted;
        }
        ShowBar(reader.RecordNumber(), total, DocumentOf(v));
      }
      const std::string_view doc = DocumentOf(v);
      if (!first.empty() && CompareSymbols(doc, first) < 0) continue;
      if (!no_last && CompareSymbols(doc, p.last_document) > 0) continue;
      // Control records are kept whatever their date: they belong to their
      // document, and a document without a selected posting drops them below.
      if (!v.IsControl() && (v.bookingDate() < p.from || v.bookingDate() > p.to)) continue;
      const Item item = MakeItem(v, static_cast<std::uint32_t>(reader.RecordNumber()),
                                 static_cast<std::uint32_t>(keys.size()));
      if (!keys.empty() && item < keys.back() && breaks.size() <= kMaxMergedRuns) {
        breaks.push_back(keys.size());
      }
      keys.push_back(item);
    }
  }
  // Every item is distinct (the ordinal follows the file position), so the
  // order is stable. The items come in head order to one walk: the records
  // of one document entry are gathered and ordered by their tails, control
  // records of documents without a selected posting go, and the rest leave
  // their file positions.
  try {
    order->reserve(keys.size());
  } catch (const std::bad_alloc&) {
    ShowStatus("Za mało pamięci na sortowanie "_w + std::string(source_path), kWarning);
    return SortResult::kFailed;
  }
  TailSorter tails(source);
  Item head{};  // the first item of the entry being gathered
  bool have_head = false;
  std::vector<std::uint32_t> entry;  // the entry's positions when it has several, in file order
  bool document_has_posting = false;
  bool read_back = true;
  auto close_entry = [&]() {
    // The items of one head share the document and the control flag.
    if (!head.IsControl()) document_has_posting = true;
    if (entry.empty()) {
      if (document_has_posting) order->push_back(head.position);
      return;
    }
    if (!tails.Sort(entry)) read_back = false;
    if (document_has_posting) order->insert(order->end(), entry.begin(), entry.end());
    entry.clear();
  };
  InHeadOrder(keys, breaks, [&](const Item& item) {
    if (have_head) {
      if (item.SameHead(head)) {
        if (entry.empty()) entry.push_back(head.position);
        entry.push_back(item.position);
        return;
      }
      close_entry();
      if (!item.SameDocument(head)) document_has_posting = false;
    }
    head = item;
    have_head = true;
  });
  if (have_head) close_entry();
  if (!read_back) {
    ShowStatus("Błąd odczytu "_w + std::string(source_path), kWarning);
    return SortResult::kFailed;
  }
  if (order->empty()) {
    ShowStatus("Brak dekretów"_w, kWarning);
    return SortResult::kNothingSelected;
  }
  return SortResult::kSorted;
}

SortedJournal::SortedJournal(RecordSource& source, const std::vector<std::uint32_t>& order)
    : source_(source), order_(order), header_(HeaderRecord()) {}

bool SortedJournal::Size(std::uint64_t* size) {
  *size = (std::uint64_t{order_.size()} + 1) * kJournalRecordSize;
  return true;
}

bool SortedJournal::ReadAt(std::uint64_t offset, void* buffer, std::size_t n, std::size_t* got) {
  *got = 0;
  std::uint64_t size = 0;
  Size(&size);
  if (offset >= size) return true;
  const std::uint64_t end = std::min<std::uint64_t>(offset + n, size);
  auto* out = static_cast<std::uint8_t*>(buffer);
  while (offset < end) {
    const std::uint64_t index = offset / kJournalRecordSize;
    const std::size_t within = static_cast<std::size_t>(offset % kJournalRecordSize);
    const std::size_t whole = static_cast<std::size_t>((end - offset) / kJournalRecordSize);
    if (index == 0 || within != 0 || whole == 0) {
      // The header or a part of one record.
      RecordBytes record = header_;
      if (index != 0) {
        std::size_t one = 0;
        if (!source_.ReadAt(std::uint64_t{order_[index - 1]} * kJournalRecordSize, record.data(),
                            record.size(), &one) ||
            one != record.size()) {
          return false;
        }
      }
      const std::size_t take = static_cast<std::size_t>(
          std::min<std::uint64_t>(kJournalRecordSize - within, end - offset));
      std::memcpy(out, record.data() + within, take);
      out += take;
      offset += take;
      *got += take;
      continue;
    }
    // Whole records: a run of records adjacent in the source, read at once.
    const std::size_t k = static_cast<std::size_t>(index - 1);
    const std::uint32_t start = order_[k];
    std::size_t run = 1;
    while (run < whole && order_[k + run] == start + run) ++run;
    const std::size_t want = run * kJournalRecordSize;
    std::size_t read = 0;
    if (!source_.ReadAt(std::uint64_t{start} * kJournalRecordSize, out, want, &read) ||
        read != want) {
      return false;
    }
    out += want;
    offset += want;
    *got += want;
  }
  return true;
}

SortResult SortJournal(std::string_view source_path, std::string_view sorted_path,
                       const JournalParams& p, OptionServices& window, std::uint64_t* records) {
  *records = 0;
  File in;
  if (!OpenShared(in, source_path, Share::kDenyWrite, "bZestaw")) return SortResult::kFailed;
  FileSource source(in);
  std::vector<std::uint32_t> order;
  const SortResult sorted = SortJournalOrder(source, source_path, p, window, &order);
  if (sorted != SortResult::kSorted) return sorted;

  const std::string part = std::string(sorted_path) + "~";
  // Made new rather than emptied: a file truncated and written again is
  // flushed to disk on close by some file systems (ext4), a cost a work file
  // of one run does not need.
  if (FileOrFolderExists(part)) RemoveFile(part);
  File out;
  if (!out.Open(part, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew)) {
    ShowStatus("Nie mogę założyć "_w + part, kWarning);
    return SortResult::kFailed;
  }
  auto fail = [&](const std::string& text) {
    out.Close();
    RemoveFile(part);
    ShowStatus(text, kWarning);
    return SortResult::kFailed;
  };
  SortedJournal records_in_order(source, order);
  std::uint64_t size = 0;
  records_in_order.Size(&size);
  std::vector<std::uint8_t> buffer(kCopyRecords * kJournalRecordSize);
  for (std::uint64_t at = 0; at < size;) {
    if (at != 0 && window.AbortRequested()) {
      out.Close();
      RemoveFile(part);
      ShowStatus("Przerwanie", kInfo);
      return SortResult::kAborted;
    }
    std::size_t got = 0;
    if (!records_in_order.ReadAt(at, buffer.data(), buffer.size(), &got) || got == 0) {
      return fail("Błąd odczytu "_w + std::string(source_path));
    }
    if (!out.WriteAt(at, buffer.data(), got)) return fail("Nie zapisano "_w + part);
    at += got;
  }
  if (!out.Close()) return fail("Nie zapisano "_w + part);
  // The sorted file is this workstation's own and lives for one run: a stale
  // one of an interrupted run goes, and the new one takes its name without
  // the folder sync a replaced shared file needs.
  if (FileOrFolderExists(sorted_path)) RemoveFile(sorted_path);
  if (!RenameFile(part, sorted_path)) {
    RemoveFile(part);
    ShowStatus("Nie zapisano "_w + std::string(sorted_path), kWarning);
    return SortResult::kFailed;
  }
  *records = order.size();
  return SortResult::kSorted;
}

}  // namespace zel
