// The document list of a journal file (kind 100).
//
// A working file of a million postings holds a few hundred thousand
// documents: they are found through an open-addressing table keyed by the
// 13 bytes of the number, the fields of a document's first posting are kept
// as stored, and an entry's text is written only when it is shown (or
// filtered).
#include <algorithm>
#include <cstring>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/hint_lists.hpp"
#include "fields/hint_lists_internal.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"
#include "store/block_reader.hpp"
#include "store/document_key.hpp"
#include "store/journal_file.hpp"

namespace zel {
namespace {

struct Document {
  NumberKey key;
  std::uint8_t number[13];       // length byte and up to 12 characters, as stored
  std::uint8_t invoice[21];      // transactionNo, DOS Mazovia
  std::uint8_t description[31];  // DOS Mazovia
  DayNo first_date = 0;
  DayNo due = 0;
  std::uint32_t entries = 0;
  Amount debit = 0;
  Amount credit = 0;
};

std::string_view Text(const std::uint8_t* field, std::size_t capacity) {
  return {reinterpret_cast<const char*>(field + 1), std::min<std::size_t>(field[0], capacity)};
}

class DocumentView final : public HintEntries {
 public:
  std::size_t Count() const override { return order_.size(); }
  std::string Text(std::size_t i) const override {
    if (i >= order_.size()) return "";
    const Document& d = docs_[order_[i]];
    return Entry(PadRight(zel::Text(d.number, 12), 12),
                 DayToText8(d.first_date) + IntText(d.entries, 5) + Amount15(d.debit) +
                     Amount15(d.credit) + "  " + PadRight(DosToWin(zel::Text(d.invoice, 20)), 20) +
                     " " + DayToText8(d.due) + " " + DosToWin(zel::Text(d.description, 30)));
  }
  std::size_t LowerBound(std::string_view typed) const override {
    // Entries are in number order and begin with the number padded to 12.
    std::size_t lo = 0, hi = order_.size();
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (Text(mid) < typed)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }

  std::vector<Document> docs_;
  std::vector<std::uint32_t> order_;
};

}  // namespace

std::unique_ptr<HintEntries> DocumentEntries(std::string_view file_name,
                                             std::string_view folded_filter, std::string* status,
                                             const std::function<bool()>& stop) {
  const std::string path = JournalPath(file_name);
  File f;
  // An empty list says why it is empty.
  if (file_name.empty()) {
    *status = "Nie podano nazwy zbioru z dekretami"_w;
    return nullptr;
  }
  if (!IsFile(path)) {
    *status = "Nie ma "_w + path;
    return nullptr;
  }
  if (!OpenShared(f, path, Share::kDenyWrite, "Lista")) {
    *status = "Nie odczytano "_w + path;
    return nullptr;
  }
  FileSource source(f);
  const std::size_t slash = path.find_last_of('\\');
  BlockReader reader(source, slash == std::string::npos ? path : path.substr(slash + 1));
  auto view = std::make_unique<DocumentView>();
  std::vector<Document>& docs = view->docs_;
  std::vector<std::uint32_t> table(1024, 0);  // document index + 1; 0 = empty
  docs.reserve(std::min<std::uint64_t>(RecordCount(source, kJournalRecordSize) / 4, 1u << 22));
  std::uint64_t records = 0;
  for (;;) {
    JournalView v = reader.NextView();
    if (reader.AtEnd()) break;
    if (v.IsControl()) continue;
    if (stop && reader.StartedBlock() && stop()) break;
    ++records;
    const std::uint8_t* p = v.bytes();
    const NumberKey key = KeyOf(p + 28);
    std::size_t mask = table.size() - 1;
    std::size_t at = HashOf(key) & mask;
    while (table[at] != 0 && !(docs[table[at] - 1].key == key)) at = (at + 1) & mask;
    if (table[at] == 0) {
      Document d;
      d.key = key;
      std::memcpy(d.number, p + 28, 13);
      std::memcpy(d.invoice, p + 101, 21);
      std::memcpy(d.description, p + 130, 31);
      d.first_date = v.bookingDate();
      d.due = static_cast<DayNo>(p[124] | (p[125] << 8));
      docs.push_back(d);
      table[at] = static_cast<std::uint32_t>(docs.size());
      if (docs.size() * 2 > table.size()) {
        // Grown to twice the size, every document placed again.
        std::vector<std::uint32_t> bigger(table.size() * 2, 0);
        mask = bigger.size() - 1;
        for (std::uint32_t i = 0; i < docs.size(); ++i) {
          std::size_t j = HashOf(docs[i].key) & mask;
          while (bigger[j] != 0) j = (j + 1) & mask;
          bigger[j] = i + 1;
        }
        table.swap(bigger);
      }
      Document& added = docs.back();
      ++added.entries;
      (v.IsDebit() ? added.debit : added.credit) += v.amount();
      continue;
    }
    Document& d = docs[table[at] - 1];
    ++d.entries;
    (v.IsDebit() ? d.debit : d.credit) += v.amount();
  }
  // Sorted by number through the keys: zero-padded characters keep the text
  // order, the length after them puts a number before its longer extensions.
  struct SortKey {
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t index;
  };
  std::vector<SortKey> keys(docs.size());
  for (std::uint32_t i = 0; i < docs.size(); ++i) {
    // Byte-swapped, the first character is the most significant.
    keys[i] = SortKey{__builtin_bswap64(docs[i].key.first), __builtin_bswap64(docs[i].key.rest), i};
  }
  std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
  });
  view->order_.resize(docs.size());
  for (std::size_t i = 0; i < keys.size(); ++i) view->order_[i] = keys[i].index;
  *status = "W zbiorze jest "_w + std::to_string(records) + " dekretów, "_w +
            std::to_string(docs.size()) + " dowodów"_w;
  if (folded_filter.empty()) return view;
  std::vector<std::uint32_t> kept;
  for (std::size_t i = 0; i < view->Count(); ++i) {
    if (ListFold(view->Text(i)).find(folded_filter) != std::string::npos) {
      kept.push_back(static_cast<std::uint32_t>(i));
    }
  }
  return std::make_unique<FilteredEntries>(std::move(view), std::move(kept));
}

}  // namespace zel
