#include "store/document_book.hpp"

#include <algorithm>
#include <cstring>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"
#include "store/record_source.hpp"

namespace zel {
namespace {

constexpr std::size_t kListBlock = 40;    // records per read of the list
constexpr std::size_t kCopyBlock = 4096;  // records per read of a rewrite
constexpr std::size_t kMaxLines = 30000;  // entry numbers are 16-bit
constexpr std::string_view kTag = "Dekre";

// An account column as stored: trimmed, upper case; the placeholder "wn" empty.
std::string AccountOf(std::string_view typed) {
  std::string s = UpperPl(TrimBlanks(typed));
  return s == "WN" ? std::string() : s;
}

// A length-prefixed text field as stored.
std::string_view FieldText(const std::uint8_t* field, std::size_t capacity) {
  return {reinterpret_cast<const char*>(field + 1), std::min<std::size_t>(field[0], capacity)};
}

std::string_view NumberField(const std::uint8_t* record) {
  return {reinterpret_cast<const char*>(record + 29), std::min<std::size_t>(record[28], 12)};
}

// "-1234,50": an amount in grosze for a message.
std::string GroszeText(std::int64_t g) {
  const std::uint64_t a = g < 0 ? 0 - static_cast<std::uint64_t>(g) : static_cast<std::uint64_t>(g);
  std::string cents = std::to_string(a % 100);
  if (cents.size() < 2) cents.insert(0, 1, '0');
  return Concat({g < 0 ? "-" : "", std::to_string(a / 100), ",", cents});
}

DocumentFault Cell(int row, int column, std::string message) {
  DocumentFault f;
  f.row = row;
  f.column = column;
  f.message = Concat({"Wiersz "_w, std::to_string(row + 1), ": ", message});
  return f;
}

DocumentFault Field(int field, std::string message) {
  DocumentFault f;
  f.field = field;
  f.message = std::move(message);
  return f;
}

bool Fail(DocumentFault* fault, DocumentFault f) {
  if (fault) *fault = std::move(f);
  return false;
}

// The analytic-account check of one account column.
bool CheckAccount(ChartTable& chart, const std::string& symbol, int row, int column,
                  DocumentFault* fault) {
  if (symbol.size() > 25)
    return Fail(fault, Cell(row, column, "Za długi symbol konta "_w + symbol));
  std::size_t slot = 0;
  if (!chart.Contains(symbol, &slot)) {
    return Fail(fault, Cell(row, column, Concat({"Nie ma konta ", symbol, " w planie kont"})));
  }
  const AccountSymbol next = chart.SymbolAt(slot + 1);
  if (next.size() > symbol.size() && next.view().substr(0, symbol.size()) == symbol) {
    return Fail(
        fault,
        Cell(row, column, Concat({"Konto ", symbol, " ma konta analityczne: księguj na nich"_w})));
  }
  return true;
}

std::string DateRange(DayNo first, DayNo last) {
  return Concat({DayToText10(first), "..", DayToText10(last)});
}

// The '#' claim of the workstation register on a file while it is written,
// asked a bounded number of times so that a workstation that never releases
// it cannot hang this one.
bool ClaimForWriting(std::string_view path) {
  ChartRegister& reg = CurrentChartRegister();
  for (int attempt = 0; attempt < 111; ++attempt) {
    if (attempt > 0) RetryPauseOnce();
    if (reg.Request('#', path)) return true;
  }
  return false;
}

class Claim {
 public:
  explicit Claim(std::string_view path) : path_(path), held_(ClaimForWriting(path)) {}
  ~Claim() {
    if (held_) CurrentChartRegister().Request('-', path_);
  }
  bool held() const { return held_; }

 private:
  std::string path_;
  bool held_;
};

std::vector<std::uint8_t> Bytes(const std::vector<JournalEntry>& records) {
  std::vector<std::uint8_t> out(records.size() * kJournalRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EncodeJournalEntry(records[i], out.data() + i * kJournalRecordSize);
  }
  return out;
}

}  // namespace

bool DocumentLine::Empty() const {
  return AccountOf(debit).empty() && AccountOf(credit).empty() && TrimBlanks(amount).empty() &&
         TrimBlanks(invoice).empty() && TrimBlanks(vat).empty() && TrimBlanks(due).empty() &&
         TrimBlanks(text).empty();
}

bool ParseLineAmount(std::string_view text, std::int64_t* grosze) {
  std::string s;
  for (char c : text) {
    if (c != ' ') s += c;
  }
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::int64_t whole = 0;
  int digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
    if (digits >= 13) return false;  // beyond any amount of the books
    whole = whole * 10 + (s[i] - '0');
  }
  std::int64_t cents = 0;
  int decimals = 0;
  if (i < s.size() && (s[i] == ',' || s[i] == '.')) {
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      if (++decimals > 2) return false;
      cents = cents * 10 + (s[i] - '0');
    }
  }
  if (i != s.size() || (digits == 0 && decimals == 0)) return false;
  if (decimals == 1) cents *= 10;
  const std::int64_t v = whole * 100 + cents;
  *grosze = negative ? -v : v;
  return true;
}

bool CheckDocument(const Document& d, ChartTable& chart, DayNo first, DayNo last,
                   DocumentFault* fault) {
  const std::string number = TrimBlanks(d.number);
  if (number.empty()) return Fail(fault, Field(kFieldNumber, "Podaj numer dowodu"_w));
  if (number.size() > 12) return Fail(fault, Field(kFieldNumber, "Za długi numer dowodu"_w));
  if (d.booking == 0) return Fail(fault, Field(kFieldBooking, "Podaj datę dekretacji"_w));
  if (d.booking < first || d.booking > last) {
    return Fail(fault,
                Field(kFieldBooking, "Data dekretacji poza rokiem "_w + DateRange(first, last)));
  }
  if (d.document_date != 0 && (d.document_date < first || d.document_date > last)) {
    return Fail(fault, Field(kFieldDocDate, "Data dowodu poza rokiem "_w + DateRange(first, last)));
  }
  std::int64_t debit = 0, credit = 0;
  int last_row = -1;
  std::size_t lines = 0;
  for (std::size_t i = 0; i < d.lines.size(); ++i) {
    const DocumentLine& l = d.lines[i];
    if (l.Empty()) continue;
    const int row = static_cast<int>(i);
    if (++lines > kMaxLines) return Fail(fault, Cell(row, kColLine, "Za dużo pozycji dowodu"_w));
    const std::string dr = AccountOf(l.debit), cr = AccountOf(l.credit);
    if (dr.empty() && cr.empty()) {
      return Fail(fault, Cell(row, kColDebit, "Podaj konto winien lub ma"_w));
    }
    if (!dr.empty() && !CheckAccount(chart, dr, row, kColDebit, fault)) return false;
    if (!cr.empty() && !CheckAccount(chart, cr, row, kColCredit, fault)) return false;
    std::int64_t g = 0;
    if (!ParseLineAmount(l.amount, &g)) {
      return Fail(fault, Cell(row, kColAmount, "Kwota nie jest liczbą: "_w + TrimBlanks(l.amount)));
    }
    if (g == 0) return Fail(fault, Cell(row, kColAmount, "Kwota pozycji jest zerowa"_w));
    const std::string due = TrimBlanks(l.due);
    if (!due.empty() && DayToDdMmYy(DayFromDdMmYy(due)) != due) {
      return Fail(fault, Cell(row, kColDue, "Błędna data terminu: "_w + due));
    }
    if (!dr.empty()) debit += g;
    if (!cr.empty()) credit += g;
    last_row = row;
  }
  if (lines == 0) return Fail(fault, Cell(0, kColDebit, "Dowód nie ma pozycji"_w));
  if (debit != credit) {
    return Fail(
        fault,
        Cell(last_row, kColAmount,
             Concat({"Winien "_w, GroszeText(debit), " różni się od Ma "_w, GroszeText(credit)})));
  }
  return true;
}

std::vector<JournalEntry> DocumentRecords(const Document& d, std::string_view source_file) {
  std::vector<JournalEntry> out;
  JournalEntry base;
  base.bookingDate = d.booking;
  base.documentNo = TrimBlanks(d.number);
  base.documentDate = d.document_date != 0 ? d.document_date : d.booking;
  base.sourceFile = source_file;
  std::uint16_t entry = 0;
  std::int64_t debit_total = 0;
  std::string first_account;
  for (const DocumentLine& l : d.lines) {
    if (l.Empty()) continue;
    const std::string dr = AccountOf(l.debit), cr = AccountOf(l.credit);
    std::int64_t g = 0;
    ParseLineAmount(l.amount, &g);
    JournalEntry e = base;
    e.entryNo = ++entry;
    e.amount = static_cast<Amount>(g) / 100;
    e.transactionNo = WinToDos(TrimBlanks(l.invoice));
    e.extraCode = TrimBlanks(l.vat);
    e.dueDate = DayFromDdMmYy(TrimBlanks(l.due));
    e.description = WinToDos(TrimBlanks(l.text));
    if (!dr.empty()) {
      e.account = dr;
      e.side = 1;
      e.counterAccount = cr;
      out.push_back(e);
      debit_total += g;
    }
    if (!cr.empty()) {
      e.account = cr;
      e.side = 0;
      e.counterAccount = dr;
      out.push_back(e);
    }
    if (first_account.empty()) first_account = dr.empty() ? cr : dr;
  }
  if (entry == 0) return out;
  JournalEntry c = base;
  c.account = first_account;
  c.entryNo = ++entry;
  c.side = 1;
  c.journalNo = -1;
  c.amount = static_cast<Amount>(debit_total) / 100;
  c.description = WinToDos("suma kontrolna"_w);
  out.push_back(c);
  return out;
}

// ---- the book ----

void DocumentBook::Clear() {
  docs_.clear();
  table_.assign(1024, 0);
  postings_ = 0;
  scanned_ = 0;
}

void DocumentBook::Remember() {
  FileInfo info;
  seen_exists_ = GetFileInfo(path_, &info) && info.exists;
  seen_id_ = info.file_id;
  seen_size_ = info.size;
  seen_modified_ = info.modified_ns;
  seen_changed_ = info.changed_ns;
}

bool DocumentBook::Stale() const {
  if (path_.empty()) return true;
  FileInfo info;
  const bool exists = GetFileInfo(path_, &info) && info.exists;
  if (exists != seen_exists_) return true;
  return exists && (info.file_id != seen_id_ || info.size != seen_size_ ||
                    info.modified_ns != seen_modified_ || info.changed_ns != seen_changed_);
}

const DocumentBook::Info* DocumentBook::Find(std::string_view number) const {
  if (table_.empty()) return nullptr;
  const NumberKey key = KeyOfText(TrimBlanks(number));
  const std::size_t mask = table_.size() - 1;
  for (std::size_t at = HashOf(key) & mask; table_[at] != 0; at = (at + 1) & mask) {
    if (docs_[table_[at] - 1].key == key) return &docs_[table_[at] - 1];
  }
  return nullptr;
}

void DocumentBook::Note(const std::uint8_t* p, std::uint64_t number) {
  const std::int16_t journal_no = static_cast<std::int16_t>(p[71] | (p[72] << 8));
  if (journal_no != -1) ++postings_;
  if (table_.empty()) table_.assign(1024, 0);
  const NumberKey key = KeyOf(p + 28);
  std::size_t mask = table_.size() - 1;
  std::size_t at = HashOf(key) & mask;
  while (table_[at] != 0 && !(docs_[table_[at] - 1].key == key)) at = (at + 1) & mask;
  if (table_[at] != 0) {
    docs_[table_[at] - 1].last = number;
    return;
  }
  Info info;
  info.key = key;
  info.first = info.last = number;
  info.booking = static_cast<DayNo>(p[26] | (p[27] << 8));
  std::memcpy(info.number, p + 28, sizeof info.number);
  std::memcpy(info.invoice, p + 101, sizeof info.invoice);
  docs_.push_back(info);
  table_[at] = static_cast<std::uint32_t>(docs_.size());
  if (docs_.size() * 2 > table_.size()) {
    // Grown to twice the size, every document placed again.
    std::vector<std::uint32_t> bigger(table_.size() * 2, 0);
    mask = bigger.size() - 1;
    for (std::uint32_t i = 0; i < docs_.size(); ++i) {
      std::size_t j = HashOf(docs_[i].key) & mask;
      while (bigger[j] != 0) j = (j + 1) & mask;
      bigger[j] = i + 1;
    }
    table_.swap(bigger);
  }
}

// Brings the list up to `end_record` from where it stopped.
bool DocumentBook::CatchUp(RecordSource& source, std::uint64_t end_record) {
  if (end_record <= scanned_) return true;
  BlockReader reader(source, name_, kListBlock, scanned_);
  reader.KeepDamaged(true);  // a damaged amount still belongs to its document
  for (;;) {
    JournalView v = reader.NextView();
    if (reader.AtEnd() || reader.RecordNumber() >= end_record) break;
    Note(v.bytes(), reader.RecordNumber());
  }
  scanned_ = std::max(scanned_, std::min(end_record, reader.Position()));
  return true;
}

bool DocumentBook::Open(std::string_view name) {
  Clear();
  name_ = std::string(name);
  path_ = JournalPath(name);
  message_.clear();
  if (name.empty()) {
    message_ = "Podaj nazwę zbioru na dowody"_w;
    return true;
  }
  if (!IsFile(path_)) {
    message_ = Concat({"Nie ma ", path_, " - pierwszy zapisany dowód go założy"_w});
    Remember();
    return true;
  }
  File f;
  if (!OpenShared(f, path_, Share::kDenyWrite, kTag)) {
    message_ = "Nie odczytano listy dowodów z "_w + path_;
    return false;
  }
  FileSource source(f);
  Remember();  // before reading: a write meanwhile makes the list stale
  CatchUp(source, RecordCount(source, kJournalRecordSize));
  if (docs_.size() > kListLimit) {
    message_ = Concat({"W zbiorze jest ", std::to_string(docs_.size()),
                       " dowodów; lista pokazuje pierwsze "_w, std::to_string(kListLimit)});
  }
  return true;
}

bool DocumentBook::Contains(std::string_view number) const {
  return Find(number) != nullptr;
}

std::vector<std::string> DocumentBook::Entries() const {
  std::vector<const Info*> all;
  all.reserve(docs_.size());
  for (const Info& d : docs_) all.push_back(&d);
  const std::size_t n = std::min(all.size(), kListLimit);
  std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), all.end(),
                    [](const Info* a, const Info* b) { return NumberKeyLess(a->key, b->key); });
  std::vector<std::string> out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Info& d = *all[i];
    std::string e = PadRight(FieldText(d.number, 12), 12);
    e += "\xD7 ";
    e += DayToText10(d.booking);
    e += "  ";
    e += DosToWin(FieldText(d.invoice, 20));
    if (e.size() > 70) e.resize(70);
    out.push_back(std::move(e));
  }
  return out;
}

std::string DocumentBook::FirstNumber() const {
  const Info* first = nullptr;
  for (const Info& d : docs_) {
    if (!first || NumberKeyLess(d.key, first->key)) first = &d;
  }
  return first ? std::string(FieldText(first->number, 12)) : std::string();
}

int DocumentBook::FreePercent() const {
  if (docs_.size() >= kListLimit) return 0;
  return static_cast<int>((kListLimit - docs_.size()) * 100 / kListLimit);
}

bool DocumentBook::Load(std::string_view number_typed, Document* out, bool* editable,
                        std::string* raw) {
  const std::string number = TrimBlanks(number_typed);
  *out = Document{};
  *editable = false;
  raw->clear();
  const Info* found = Find(number);
  if (found == nullptr) return false;
  const std::uint64_t first = found->first, last = found->last;
  File f;
  if (!OpenShared(f, path_, Share::kDenyWrite, kTag)) return false;
  FileSource source(f);
  BlockReader reader(source, name_, kListBlock, first);
  reader.KeepDamaged(true);
  std::vector<JournalEntry> records;
  for (;;) {
    JournalView v = reader.NextView();
    if (reader.AtEnd() || reader.RecordNumber() > last) break;
    if (NumberField(v.bytes()) != number) continue;
    raw->append(reinterpret_cast<const char*>(v.bytes()), kJournalRecordSize);
    JournalEntry e;
    DecodeJournalEntry(v.bytes(), &e);
    records.push_back(e);
  }
  if (records.empty()) return false;
  out->number = number;
  out->booking = records.front().bookingDate;
  out->document_date = records.front().documentDate;
  // Lines: a debit record and the credit record of the same entry number
  // that names it back form one line; any other record is a one-sided line.
  std::vector<bool> used(records.size(), false);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const JournalEntry& e = records[i];
    if (used[i] || e.IsControl()) continue;
    used[i] = true;
    DocumentLine l;
    (e.IsDebit() ? l.debit : l.credit) = e.account.str();
    for (std::size_t j = i + 1; j < records.size() && !e.counterAccount.empty(); ++j) {
      const JournalEntry& o = records[j];
      if (used[j] || o.IsControl() || o.entryNo != e.entryNo || o.IsDebit() == e.IsDebit())
        continue;
      if (o.account.view() != e.counterAccount.view() ||
          o.counterAccount.view() != e.account.view())
        continue;
      used[j] = true;
      (o.IsDebit() ? l.debit : l.credit) = o.account.str();
      break;
    }
    l.amount = NumberText(e.amount, 2);
    for (char& c : l.amount) {
      if (c == '.') c = ',';
    }
    l.invoice = DosToWin(e.transactionNo.view());
    l.vat = e.extraCode.str();
    l.due = DayToDdMmYy(e.dueDate);
    l.text = DosToWin(e.description.view());
    out->lines.push_back(std::move(l));
  }
  // Editable when the lines give back exactly the records the file holds.
  const std::vector<std::uint8_t> again = Bytes(DocumentRecords(*out, name_));
  *editable =
      again.size() == raw->size() && std::memcmp(again.data(), raw->data(), raw->size()) == 0;
  return true;
}

bool DocumentBook::Append(const Document& d, DocumentFault* fault) {
  const std::string number = TrimBlanks(d.number);
  const std::vector<std::uint8_t> bytes = Bytes(DocumentRecords(d, name_));
  if (bytes.empty()) return Fail(fault, Cell(0, kColDebit, "Dowód nie ma pozycji"_w));
  if (Contains(number)) {
    return Fail(fault, Field(kFieldNumber, Concat({"Dowód "_w, number, " już jest w zbiorze"_w})));
  }
  Claim claim(path_);
  if (!claim.held()) {
    return Fail(fault, Field(kFieldWorkFile, "Zbiór zapisuje inne stanowisko: "_w + path_));
  }
  File f;
  if (!ProtectedOpen(f, path_, Access::kReadWrite, Share::kExclusive, Disposition::kOpenAlways,
                     kTag)) {
    return Fail(fault, Field(kFieldWorkFile, Concat({"Nie zapisano dowodu do ", path_})));
  }
  FileSource source(f);
  std::uint64_t size = 0;
  if (!f.Size(&size)) return Fail(fault, Field(kFieldWorkFile, "Nie odczytano "_w + path_));
  const std::uint64_t whole = size / kJournalRecordSize;
  // Documents other workstations stored since the list was read.
  if (whole < scanned_) {
    // The file was rewritten shorter meanwhile: read the list afresh.
    Clear();
  }
  CatchUp(source, whole);
  if (Contains(number)) {
    return Fail(fault, Field(kFieldNumber, Concat({"Dowód "_w, number, " już jest w zbiorze"_w})));
  }
  const std::uint64_t end = whole * kJournalRecordSize;
  bool ok = f.WriteAt(end, bytes.data(), bytes.size());
  // A torn record left by a failed write elsewhere is overwritten, never kept
  // after the new records.
  if (ok && end + bytes.size() < size) ok = f.Truncate(end + bytes.size());
  if (!f.Close()) ok = false;
  if (!ok) {
    return Fail(fault, Field(kFieldWorkFile, Concat({"Nie zapisano dowodu do ", path_, ": ",
                                                     IoErrorText(LastIoError())})));
  }
  for (std::size_t i = 0; i < bytes.size() / kJournalRecordSize; ++i) {
    Note(bytes.data() + i * kJournalRecordSize, whole + i);
  }
  scanned_ = whole + bytes.size() / kJournalRecordSize;
  Remember();
  message_.clear();
  return true;
}

bool DocumentBook::Replace(const Document& d, std::string_view expected, DocumentFault* fault) {
  const std::vector<std::uint8_t> bytes = Bytes(DocumentRecords(d, name_));
  if (bytes.empty()) return Fail(fault, Cell(0, kColDebit, "Dowód nie ma pozycji"_w));
  return Rewrite(TrimBlanks(d.number), &bytes, expected, fault);
}

bool DocumentBook::Delete(std::string_view number, std::string_view expected,
                          DocumentFault* fault) {
  return Rewrite(TrimBlanks(number), nullptr, expected, fault);
}

// Copies the file beside itself without the document's records (and with
// the replacement where its first record stood), then renames the copy over
// the file, all under the exclusive lock and the '#' claim. The list is
// rebuilt from the records as they are copied.
bool DocumentBook::Rewrite(std::string_view number, const std::vector<std::uint8_t>* replacement,
                           std::string_view expected, DocumentFault* fault) {
  const std::string number_s(number);
  Claim claim(path_);
  if (!claim.held()) {
    return Fail(fault, Field(kFieldWorkFile, "Zbiór zapisuje inne stanowisko: "_w + path_));
  }
  File in;
  if (!ProtectedOpen(in, path_, Access::kReadWrite, Share::kExclusive, Disposition::kOpenExisting,
                     kTag)) {
    return Fail(fault, Field(kFieldWorkFile, "Nie otwarto "_w + path_));
  }
  const std::string temp = path_.substr(0, path_.size() - 4) + ".DF$";
  File out;
  if (!out.Open(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
    // Nobody else writes the file while this workstation holds it, so a
    // copy left half-made (by this failure or an earlier crash) can go.
    const IoError why = LastIoError();
    RemoveFile(temp);
    return Fail(fault, Field(kFieldWorkFile, Concat({"Nie założono pliku roboczego "_w, temp, ": ",
                                                     IoErrorText(why)})));
  }
  bool rebuilding = false;
  std::vector<Info> saved_docs;
  std::vector<std::uint32_t> saved_table;
  std::uint64_t saved_postings = 0, saved_scanned = 0;
  auto abandon = [&](std::string message) {
    if (rebuilding) {
      docs_.swap(saved_docs);
      table_.swap(saved_table);
      postings_ = saved_postings;
      scanned_ = saved_scanned;
    }
    out.Close();
    RemoveFile(temp);
    return Fail(fault, Field(kFieldWorkFile, std::move(message)));
  };
  std::uint64_t size = 0;
  if (!in.Size(&size)) return abandon("Nie odczytano "_w + path_);
  const std::uint64_t total = size / kJournalRecordSize;

  // The list is rebuilt as the records are copied; a failure brings the
  // old one back.
  saved_docs.swap(docs_);
  saved_table.swap(table_);
  saved_postings = postings_;
  saved_scanned = scanned_;
  Clear();
  // Sized for the documents the file held, so the table is not grown again
  // and again while a million records are placed.
  docs_.reserve(saved_docs.size() + 1);
  std::size_t slots = 1024;
  while (slots < 2 * (saved_docs.size() + 1)) slots *= 2;
  table_.assign(slots, 0);
  rebuilding = true;
  std::vector<std::uint8_t> buffer(kCopyBlock * kJournalRecordSize);
  std::string old;
  std::uint64_t written = 0;  // records of the new file
  bool placed = false;
  // Writes n records at p to the new file and notes them in the list.
  auto put = [&](const std::uint8_t* p, std::size_t n) {
    if (n == 0) return true;
    for (std::size_t i = 0; i < n; ++i) Note(p + i * kJournalRecordSize, written + i);
    if (!out.WriteAt(written * kJournalRecordSize, p, n * kJournalRecordSize)) return false;
    written += n;
    return true;
  };
  const std::string write_failed = Concat({"Nie zapisano ", temp, ": "});
  for (std::uint64_t at = 0; at < total;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBlock, total - at));
    std::size_t got = 0;
    if (!in.ReadAt(at * kJournalRecordSize, buffer.data(), want * kJournalRecordSize, &got) ||
        got != want * kJournalRecordSize) {
      return abandon("Nie odczytano "_w + path_);
    }
    // Runs of other documents' records go out straight from the buffer.
    std::size_t run = 0;
    for (std::size_t i = 0; i < want; ++i) {
      const std::uint8_t* p = buffer.data() + i * kJournalRecordSize;
      if (NumberField(p) != number) continue;
      if (!put(buffer.data() + run * kJournalRecordSize, i - run)) {
        return abandon(write_failed + IoErrorText(LastIoError()));
      }
      run = i + 1;
      old.append(reinterpret_cast<const char*>(p), kJournalRecordSize);
      if (replacement && !placed) {
        if (!put(replacement->data(), replacement->size() / kJournalRecordSize)) {
          return abandon(write_failed + IoErrorText(LastIoError()));
        }
        placed = true;
      }
    }
    if (!put(buffer.data() + run * kJournalRecordSize, want - run)) {
      return abandon(write_failed + IoErrorText(LastIoError()));
    }
    at += want;
  }
  if (old.empty()) {
    return abandon(Concat({"Nie ma dowodu ", number_s, " w zbiorze ", path_}));
  }
  if (old != expected) {
    return abandon(
        Concat({"Dowód "_w, number_s, " zmieniony na innym stanowisku: wczytaj go ponownie"_w}));
  }
  if (!out.Sync() || !out.Close()) {
    return abandon(Concat({"Nie zapisano ", temp, ": ", IoErrorText(LastIoError())}));
  }
  if (!ReplaceFile(temp, path_)) {
    return abandon(Concat({"Nie zastąpiono "_w, path_, ": ", IoErrorText(LastIoError())}));
  }
  in.Close();
  scanned_ = written;
  Remember();
  message_.clear();
  return true;
}

DocumentBook& WorkingBook() {
  static DocumentBook book;
  return book;
}

}  // namespace zel
