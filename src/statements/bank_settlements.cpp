// RoBan and NatJP: per account, every invoice (debit posting) with the
// payments (credit postings) of its settlement key allocated to it in file
// order, and what remains unpaid. NatJP adds the net amount and VAT taken
// from the revenue postings ("7" and "8" accounts) of the invoice's document.
//
// Postings are bucketed by their key once per account, so allocation costs
// the postings of one key, not of the whole account; the buffer grows with
// the account and the revenue table with the file.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "statements/open_items.hpp"
#include "statements/row_cells.hpp"
#include "statements/settlement_scan.hpp"
#include "statements/trial_balance.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

// A posting of the current account: the fields the allocation reads, taken
// from the record once. The record's leading bytes are kept as read (in
// records_, at the same index) and read field by field for the rows it
// shows in.
struct Held {
  Amount amount = 0;  // what is left of it as the allocation goes on
  Amount booked = 0;  // the posted amount
  DayNo document_date = 0;
  bool debit = false;
};

// The bytes of a journal record that the rows read, from its start: the
// fields up to the file name (bytes 167 to 175). The rest is not kept.
constexpr std::size_t kKeptBytes = 176;

DayNo RecordDay(const std::uint8_t* p) { return static_cast<DayNo>(p[0] | (p[1] << 8)); }

// The text field of a record at byte `at` (its length, then at most `cap`
// characters), as decoding reads it.
std::string_view TextAt(const std::uint8_t* record, std::size_t at, std::size_t cap) {
  return {reinterpret_cast<const char*>(record + at + 1), std::min<std::size_t>(record[at], cap)};
}


constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHigh = 0x8080808080808080ull;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

// The transaction number of a journal record (its length at byte 101, at
// most 20 characters from byte 102) as three words, zero past its length:
// the record has room for all three. Returns the length.
std::size_t TransactionWords(const std::uint8_t* record, std::uint64_t* w) {
  static_assert(std::endian::native == std::endian::little);
  const std::size_t n = std::min<std::size_t>(record[101], kSettlementKeyCapacity);
  std::memcpy(w, record + 102, 24);
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t from = 8 * i;
    if (n <= from) {
      w[i] = 0;
    } else if (n < from + 8) {
      w[i] &= (std::uint64_t{1} << (8 * (n - from))) - 1;
    }
  }
  return n;
}

// The high bit of each byte of x that is exactly c, for words whose bytes
// are all below 0x80 (no false hits then).
std::uint64_t BytesEqual(std::uint64_t x, std::uint64_t c) {
  const std::uint64_t y = x ^ (c * kOnes);
  return ~(((y & kLow7) + kLow7) | y | kLow7);
}

// The invoice number of a record's transaction number as a row shows it
// (InvoiceNumberView, then from DOS to Windows letters), into `out` (room
// for 20 characters). Most numbers have no '*' or ';' and only bytes that
// the conversion keeps: they are copied as they are.
std::size_t InvoiceText(const std::uint8_t* record, char* out) {
  std::uint64_t w[3];
  const std::size_t n = TransactionWords(record, w);
  bool plain = ((w[0] | w[1] | w[2]) & kHigh) == 0;
  // 0x15 is the only byte below 0x80 that the conversion changes.
  for (std::size_t i = 0; i < 3 && plain; ++i) {
    plain = (BytesEqual(w[i], '*') | BytesEqual(w[i], ';') | BytesEqual(w[i], 0x15)) == 0;
  }
  if (plain) {
    std::memcpy(out, w, kSettlementKeyCapacity);  // the bytes past n are not read
    return n;
  }
  return DosToWinTo(InvoiceNumberView(TextAt(record, 101, 20)), out);
}

// A settlement key (at most 20 bytes) packed with its length into three
// words, for hashing and comparing without strings.
struct PackedKey {
  std::array<std::uint64_t, 3> w{};
  // The settlement key of a transaction number.
  static PackedKey Of(std::string_view transaction_no) {
    PackedKey key;
    unsigned char bytes[24] = {};
    bytes[23] = static_cast<unsigned char>(
        SettlementKeyTo(transaction_no, reinterpret_cast<char*>(bytes)));
    std::memcpy(key.w.data(), bytes, sizeof bytes);
    return key;
  }
  // The settlement key of the transaction number of a journal record (its
  // length at byte 101, at most 20 characters from byte 102), the same as
  // Of gives, worked out a word at a time from the field with zeros past
  // its length.
  static PackedKey OfRecord(const std::uint8_t* record) {
    std::uint64_t words[3];
    std::uint8_t field[1 + sizeof words];
    field[0] = static_cast<std::uint8_t>(TransactionWords(record, words));
    std::memcpy(field + 1, words, sizeof words);
    unsigned char bytes[24] = {};
    bytes[23] = static_cast<unsigned char>(
        SettlementKeyOfField(field, reinterpret_cast<char*>(bytes)));
    PackedKey key;
    std::memcpy(key.w.data(), bytes, sizeof bytes);
    return key;
  }
  bool operator==(const PackedKey& o) const {
    return w[0] == o.w[0] && w[1] == o.w[1] && w[2] == o.w[2];
  }
  std::size_t Hash() const {
    std::uint64_t h = w[0] * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29) ^ w[1]) * 0xBF58476D1CE4E5B9ull;
    h = (h ^ (h >> 31) ^ w[2]) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

// Net revenue by document number (at most 12 characters), in an
// open-addressing table whose slots hold the key and the amount together:
// the table holds more documents than the processor's cache, so a lookup
// should touch one slot, and lookups and additions come in runs where the
// slot of a later one is fetched while an earlier one is served. The few
// revenue accounts are kept once, by number.
class RevenueTable {
 public:
  struct Found {
    const std::string* account = nullptr;
    Amount net = 0;
  };

  // A revenue posting to be added, as credit minus debit: Gather collects
  // them in file order, AddGathered then adds them in that order (the sums
  // and the account that names a document are as if each were added as it
  // came).
  void Gather(const JournalView& v, std::string_view account) {
    Pending& e = pending_.emplace_back();
    e.key = Packed(v.bytes());
    e.hash = e.key.Hash();
    // The amount's bytes, read as a number only when added: loading the
    // number just stored in parts would wait for the stores.
    if (!v.AmountDamaged()) std::memcpy(e.amount, v.bytes() + 73, sizeof e.amount);
    e.debit = v.IsDebit();
    e.account = AccountNumber(account);
  }

  void AddGathered() {
    // Room for every posting as a document of its own, at most half full.
    std::size_t size = 1024;
    while (size < 2 * (used_ + pending_.size() + 1)) size *= 2;
    if (size > slots_.size()) Resize(size);
    // Far enough ahead for a slot to come from memory while the additions
    // between are made.
    constexpr std::size_t kAhead = 24;
    const std::size_t n = pending_.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (i + kAhead < n) {
        __builtin_prefetch(&slots_[pending_[i + kAhead].hash & (slots_.size() - 1)]);
      }
      Add(pending_[i]);
    }
    pending_.clear();
    pending_.shrink_to_fit();
  }

  // The key of the document number of a journal record (250 bytes at
  // `record`) and its place in the table, for Find.
  struct Key {
    std::array<std::uint64_t, 2> w;
    std::size_t hash;
  };
  static Key KeyOf(const std::uint8_t* record) {
    const Packed p(record);
    return {p.w, p.Hash()};
  }
  // Brings the slot of a key towards the processor's cache, for a Find a
  // little later.
  void Prefetch(const Key& key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[key.hash & (slots_.size() - 1)]);
  }

  bool Find(const Key& k, Found* found) const {
    if (slots_.empty()) return false;
    Packed key;
    key.w = k.w;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = k.hash & mask;; at = (at + 1) & mask) {
      const Slot& s = slots_[at];
      if (s.account == kEmpty) return false;
      if (s.key == key.w) {
        found->account = &accounts_[s.account - 1];
        found->net = s.Net();
        return true;
      }
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = 0;

  struct Packed {
    std::array<std::uint64_t, 2> w{};
    Packed() = default;
    // The document number of a record (its length at byte 28, at most 12
    // characters from byte 29) zero-padded, its length in the last byte.
    // Read as two words and masked: the record has room for both.
    explicit Packed(const std::uint8_t* record) {
      static_assert(std::endian::native == std::endian::little);
      const std::size_t n = std::min<std::size_t>(record[28], 12);
      std::memcpy(w.data(), record + 29, sizeof w);
      w[0] &= n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
      w[1] &= n <= 8 ? 0 : (std::uint64_t{1} << (8 * (n - 8))) - 1;
      w[1] |= static_cast<std::uint64_t>(n) << 56;
    }
    bool operator==(const Packed& o) const { return w[0] == o.w[0] && w[1] == o.w[1]; }
    std::size_t Hash() const { return HashOf(w); }
    static std::size_t HashOf(const std::array<std::uint64_t, 2>& w) {
      // Every byte reaches the low bits that pick the slot: document numbers
      // often share their first characters.
      std::uint64_t h = w[0] * 0x9E3779B97F4A7C15ull + w[1];
      h = (h ^ (h >> 32)) * 0xBF58476D1CE4E5B9ull;
      h = (h ^ (h >> 29)) * 0x94D049BB133111EBull;
      return static_cast<std::size_t>(h ^ (h >> 32));
    }
  };

  // 32 bytes, two to a cache line; all bytes zero is an empty slot, so a
  // new table is cleared as memory, and its net amount starts at 0.
  struct alignas(32) Slot {
    std::array<std::uint64_t, 2> key;
    unsigned char net[10];  // the net amount's bytes
    std::uint32_t account;  // 1 + the number of the document's revenue account
    Amount Net() const {
      Amount x = 0;
      std::memcpy(&x, net, sizeof net);
      return x;
    }
    void SetNet(Amount x) { std::memcpy(net, &x, sizeof net); }
  };
  static_assert(sizeof(Slot) == 32);

  struct Pending {
    Packed key;
    std::size_t hash = 0;
    unsigned char amount[10] = {};  // the posting's amount, as stored
    bool debit = false;
    std::uint32_t account = 0;
    Amount Net() const {
      Amount x = 0;
      std::memcpy(&x, amount, sizeof amount);
      return debit ? -x : x;
    }
  };

  void Add(const Pending& e) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = e.hash & mask;
    while (slots_[at].account != kEmpty && !(slots_[at].key == e.key.w)) at = (at + 1) & mask;
    Slot& s = slots_[at];
    if (s.account == kEmpty) {
      s.key = e.key.w;
      s.account = e.account + 1;
      ++used_;
    }
    s.SetNet(s.Net() + e.Net());
  }

  // Revenue postings come account by account: the last one is tried first.
  std::uint32_t AccountNumber(std::string_view account) {
    if (!accounts_.empty() && accounts_[last_account_] == account) return last_account_;
    for (std::uint32_t i = 0; i < accounts_.size(); ++i) {
      if (accounts_[i] == account) return last_account_ = i;
    }
    accounts_.emplace_back(account);
    return last_account_ = static_cast<std::uint32_t>(accounts_.size() - 1);
  }

  void Resize(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.account == kEmpty) continue;
      std::size_t at = Packed::HashOf(s.key) & mask;
      while (slots_[at].account != kEmpty) at = (at + 1) & mask;
      slots_[at] = s;
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::vector<Pending> pending_;
  std::vector<std::string> accounts_;
  std::uint32_t last_account_ = 0;
};

// "YYYY-MM-DD", 10 spaces for 0.
std::string IsoDate(DayNo d) {
  const std::string t = DayToText10(d);
  if (d == 0 || t.size() != 10) return std::string(10, ' ');
  return {t[6], t[7], t[8], t[9], '-', t[3], t[4], '-', t[0], t[1]};
}


// a - b compared after rounding both to 4 decimals, as AmountsDiffer does;
// amounts clearly apart are told without rounding (the common case).
int Compare4(Amount a, Amount b) {
  const Amount d = a - b;
  if (d == 0) return 0;  // equal amounts round alike (the common zero left)
  if (d > 0.001L) return 1;
  if (d < -0.001L) return -1;
  const Amount ra = Round4(a), rb = Round4(b);
  return ra > rb ? 1 : ra < rb ? -1 : 0;
}

bool IsZero(Amount x) { return Compare4(x, 0) == 0; }
bool Negative(Amount x) { return Compare4(x, 0) < 0; }
Amount Abs(Amount x) { return x < 0 ? -x : x; }


class Allocation {
 public:
  Allocation(const SettlementParams& p, OptionServices& w)
      : p_(p), w_(w), chart_(p.chart ? *p.chart : Chart()), natjp_(p.kind == SettlementKind::NatJP) {}

  bool Run(RecordSource& source, std::string_view file_name) {
    Head();
    if (natjp_ && !ReadRevenue(source, file_name)) return false;
    SettlementScan scan(source, file_name, p_.masks, 0, w_, SettlementCode(p_.kind));
    std::uint32_t account = 0;  // the scan's serials start at 1
    while (const std::optional<JournalView> v = scan.Next()) {
      if (scan.AccountSerial() != account) {
        Account();
        account = scan.AccountSerial();
      }
      const std::uint8_t* bytes = v->bytes();
      // The amount's bytes are copied as bytes: loading the number just
      // stored in parts would wait for the stores.
      Held& h = buffer_.emplace_back();
      if (!v->AmountDamaged()) {
        std::memcpy(&h.amount, bytes + 73, 10);
        std::memcpy(&h.booked, bytes + 73, 10);
      }
      h.document_date = RecordDay(bytes + 122);
      h.debit = v->IsDebit();
      // NatJP looks up the revenue of the account's invoices once the
      // account is read: their slots are fetched now, while the rest of it
      // is read.
      if (natjp_ && h.debit) revenue_.Prefetch(RevenueTable::KeyOf(bytes));
      // Appended as copied: a resize would first clear the bytes.
      records_.insert(records_.end(), bytes, bytes + kKeptBytes);
      // The settlement key, while the record is at hand.
      const PackedKey key = PackedKey::OfRecord(bytes);
      keys_.push_back({key, key.Hash()});
    }
    if (scan.OutOfOrder()) return false;
    Account();
    End();
    return true;
  }

 private:
  void Head() {
    const std::string title = natjp_ ? "JEDNOSTKI POWIĄZANE"_w : "ROZRACHUNKI BANKOWE";
    RapStart(p_.annual_name, title + std::string(w_.PeriodText()), 2);
    if (natjp_) {
      RapKol1('p', 3, "Lp.");
      RapKol('l', 12, "Konto", "\"2\"");
      RapKol('l', 50, "Nazwa", "kontrahenta");
      RapKol('l', 12, "Identyfikator", "NIP");
      RapKol('c', 10, "Data", "księgowa"_w);
      RapKol('l', 9, "Numer", "dowodu");
      RapKol('c', 10, "Data", "dokumentu");
      RapKol('l', 14, "Numer", "faktury");
      RapKol('l', 11, "Konto", "\"7\"");
      // Amount columns wide enough for a total in the millions and a rate
      // column for "---": a cut cell would read as another number.
      RapKol('p', 14, "Kwota", "netto");
      RapKol('p', 13, "Kwota", "vat");
      RapKol('c', 3, "vat", "[%]");  // three characters: "---" and rates to 100
      RapKol('p', 14, "Kwota", "brutto");
      RapKol('c', 10, "Data", "zapłaty"_w);
      RapKol1('c', 3, "Ośrodek"_w);
      RapKol('l', 8, "zbiór"_w, "dokumentu");
      RapKol('l', 8, "zbiór"_w, "zapłaty"_w);
    } else {
      RapKol1('p', 4, "Lp.");
      RapKol('l', 50, "Nazwa", "kontrahenta");
      RapKol('l', 20, "Numer", "faktury");
      RapKol('c', 16, "Data wystawienia", "fakt.(YYYY-MM-DD)");
      RapKol('p', 10, "Term.płatności"_w, "(liczba dni)");
      RapKol('p', 16, "Kwota", "(płatna do)"_w);
      RapKol('c', 16, "Data płatności"_w, "fakt.(YYYY-MM-DD)");
      RapKol('c', 16, "Faktyczna data", "zapł.(YYYY-MM-DD)"_w);
      RapKol('c', 1, "K", "w");
      RapKol('p', 8, "Liczba dni", "opóźnienia"_w);
    }
    RapNag(SettlementSubtitle(p_));
  }

  // Net revenue by document: credits minus debits of the "7" and "8"
  // accounts; the first revenue account of a document names it.
  bool ReadRevenue(RecordSource& source, std::string_view file_name) {
    for (std::string_view prefix : {"7", "8"}) {
      AccountOrderGuard order;
      BlockReader reader(source, file_name, kJournalBlock, SeekFirstAccount(source, prefix, &order));
      for (;;) {
        const JournalView v = reader.NextView();
        if (reader.AtEnd() || v.IsSentinel()) break;
        if (v.IsControl()) continue;
        if (order.Broken() || !order.Feed(v.account(), reader.RecordNumber())) {
          RefuseOutOfOrder(order, file_name, w_);
          return false;
        }
        if (v.account().substr(0, 1) != prefix) break;
        revenue_.Gather(v, v.account());
      }
    }
    revenue_.AddGathered();
    return true;
  }

  void Account() {
    // An account with a single posting has nothing to pair.
    if (buffer_.size() >= 2) Allocate();
    buffer_.clear();
    records_.clear();
    keys_.clear();
  }

  // Groups the buffer by settlement key: each key is computed once and
  // found in an open-addressing table, so an account costs a pass over its
  // postings whatever the number of its keys.
  void Bucket() {
    const std::size_t n = buffer_.size();
    std::size_t size = 16;
    while (size < 2 * n) size *= 2;
    slots_.assign(size, -1);
    group_keys_.clear();
    group_of_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      const PackedKey& key = keys_[i].key;
      std::size_t at = keys_[i].hash & (size - 1);
      while (slots_[at] >= 0 && !(group_keys_[static_cast<std::size_t>(slots_[at])] == key)) {
        at = (at + 1) & (size - 1);
      }
      if (slots_[at] < 0) {
        slots_[at] = static_cast<std::int32_t>(group_keys_.size());
        group_keys_.push_back(key);
      }
      group_of_[i] = static_cast<std::uint32_t>(slots_[at]);
    }
    const std::size_t groups = group_keys_.size();
    group_start_.assign(groups + 1, 0);
    for (std::uint32_t g : group_of_) ++group_start_[g + 1];
    for (std::size_t g = 0; g < groups; ++g) group_start_[g + 1] += group_start_[g];
    members_.resize(n);
    std::vector<std::uint32_t>& next = slot_fill_;
    next.assign(group_start_.begin(), group_start_.end() - 1);
    for (std::uint32_t i = 0; i < n; ++i) members_[next[group_of_[i]]++] = i;
  }

  bool InPeriod(DayNo d) const { return d >= p_.from && d <= p_.to; }

  void Allocate() {
    Bucket();
    rows_in_account_ = false;
    doubtful_ = false;
    if (natjp_) FindRevenue();
    for (std::uint32_t i = 0; i < buffer_.size(); ++i) {
      Held& inv = buffer_[i];
      // A debit with a negative amount is a correction of an invoice, taken
      // up by the invoice of its key; as an invoice of its own it would
      // count the same reduction a second time.
      if (!inv.debit || Negative(inv.booked)) continue;
      Amount open = inv.amount;
      const bool shown = InPeriod(inv.document_date);
      const std::uint32_t group = group_of_[i];
      for (std::uint32_t m = group_start_[group]; m < group_start_[group + 1]; ++m) {
        const std::uint32_t j = members_[m];
        if (j == i) continue;
        Held& other = buffer_[j];
        if (natjp_ && (IsZero(open) || IsZero(other.amount))) continue;
        const bool negative = Negative(other.amount);
        if (other.debit) {
          if (negative) {  // a correction of the invoice
            open += other.amount;
            other.amount = 0;
          }
        } else if (!negative) {  // a payment
          // Never a negative payment: an invoice already paid (or reduced
          // below zero) takes nothing from it.
          Amount paid = other.amount < open ? other.amount : open;
          if (paid < 0) paid = 0;
          // NatJP lists only money that changed hands.
          if (shown && !(natjp_ && IsZero(paid))) Row(i, j, paid);
          open -= paid;
          if (natjp_ && open != 0) open = Round4(open);  // 0 rounds to itself
          inv.amount = open;
          other.amount -= paid;
        } else {  // a returned payment
          open -= other.amount;
          other.amount = 0;
        }
      }
      if (shown && !IsZero(open)) Row(i, kNoPayment, open);
    }
    if (rows_in_account_ && natjp_) AccountSum();
  }

  // The revenue of the document of every invoice of the account that can
  // show rows, looked up in one run: the table is larger than the
  // processor's cache, and in a run the slots of the next lookups are
  // fetched while one is served.
  void FindRevenue() {
    invoices_.clear();
    for (std::uint32_t i = 0; i < buffer_.size(); ++i) {
      const Held& h = buffer_[i];
      if (h.debit && !Negative(h.booked) && InPeriod(h.document_date)) {
        invoices_.push_back({RevenueTable::KeyOf(Record(i)), i});
      }
    }
    revenue_of_.resize(buffer_.size());
    constexpr std::size_t kAhead = 24;
    const std::size_t n = invoices_.size();
    for (std::size_t k = 0; k < std::min(kAhead, n); ++k) revenue_.Prefetch(invoices_[k].key);
    for (std::size_t k = 0; k < n; ++k) {
      if (k + kAhead < n) revenue_.Prefetch(invoices_[k + kAhead].key);
      RevenueTable::Found& f = revenue_of_[invoices_[k].posting];
      f = RevenueTable::Found();
      revenue_.Find(invoices_[k].key, &f);
    }
  }

  void StartRow() {
    if (!rows_in_account_ && rows_before_) RapLinia('.');
    rows_in_account_ = true;
    rows_before_ = true;
  }

  void AccountTexts(std::string_view account) {
    if (account == description_account_ && !description_account_.empty()) return;
    description_account_ = account;
    description_ = chart_.Description(account, natjp_ ? 'n' : 'N');
    nip_.clear();
    std::size_t slot = 0;
    if (natjp_ && chart_.Contains(account, &slot)) nip_ = chart_.At(slot).nip.str();
  }

  const std::uint8_t* Record(std::uint32_t i) const {
    return records_.data() + std::size_t{i} * kKeptBytes;
  }

  static constexpr std::uint32_t kNoPayment = 0xFFFFFFFFu;

  // A row of invoice `i`: paid by posting `payment` (or kNoPayment for what
  // remains open) with `amount`.
  void Row(std::uint32_t i, std::uint32_t payment, Amount amount) {
    StartRow();
    // The cells are read from the record's bytes and written into buffers
    // of this call: a row makes no strings of its own.
    const std::uint8_t* rec = Record(i);
    const std::string_view account = TextAt(rec, 0, 25);
    AccountTexts(account);
    const DayNo booking = RecordDay(rec + 26);
    const DayNo document_date = RecordDay(rec + 122);
    const DayNo doc = document_date != 0 ? document_date : booking;
    DayNo due = RecordDay(rec + 124);
    if (due < doc) due = static_cast<DayNo>(std::min<int>(doc + 14, 0xFFFF));
    const bool pay = payment != kNoPayment;
    DayNo paid_on = 0;
    std::string_view pay_file;
    if (pay) {
      const std::uint8_t* p = Record(payment);
      const DayNo pay_due = RecordDay(p + 124);
      paid_on = pay_due != 0 ? pay_due : RecordDay(p + 26);
      pay_file = TextAt(p, 167, 8);
    }
    const IntCell number(++row_number_);
    char invoice_text[kSettlementKeyCapacity];
    const std::string_view invoice(invoice_text, InvoiceText(rec, invoice_text));
    if (!natjp_) {
      const IntCell term(static_cast<int>(due) - static_cast<int>(doc), 5);
      const int days = pay ? static_cast<int>(due) - static_cast<int>(paid_on)
                           : static_cast<int>(due) - static_cast<int>(p_.today);
      RapWiersz(number.view(), description_, invoice, iso_doc_.Of(doc), term.view(),
                AmountCell(amount).view(), iso_due_.Of(due), pay ? iso_paid_.Of(paid_on) : std::string_view(), "",
                IntCell(days).view());
      return;
    }
    std::string_view revenue_account;
    Amount net = 0;
    if (const RevenueTable::Found& r = revenue_of_[i]; r.account != nullptr) {
      revenue_account = *r.account;
      net = r.net;
    }
    const Amount gross = amount;
    const Amount vat = gross - net;
    const bool doubtful =
        Compare4(Abs(net), Abs(gross)) > 0 || Compare4(gross, Abs(net) * 1.23L) > 0;
    if (doubtful) doubtful_ = true;
    // A doubtful row shows no rate.
    IntCell rate;
    if (!doubtful && !IsZero(net)) {
      rate = IntCell(static_cast<std::int64_t>(std::llround(static_cast<double>(vat * 100 / net))), 3);
    }
    const std::string_view centre =
        revenue_account.size() > 4 ? revenue_account.substr(4, 3) : std::string_view();
    // "document;entry": at most 12 characters, ';' and five digits.
    const std::string_view document_no = TextAt(rec, 28, 12);
    char document_entry[24];
    std::memcpy(document_entry, document_no.data(), document_no.size());
    document_entry[document_no.size()] = ';';
    const IntCell entry(static_cast<std::uint16_t>(rec[41] | (rec[42] << 8)));
    const std::string_view entry_text = entry.size() == 0 ? std::string_view("0") : entry.view();
    std::memcpy(document_entry + document_no.size() + 1, entry_text.data(), entry_text.size());
    const std::string_view dash = "---";
    RapWiersz(number.view(), account, description_, nip_, dmy_booking_.Of(booking),
              std::string_view(document_entry, document_no.size() + 1 + entry_text.size()),
              dmy_document_.Of(document_date), invoice, revenue_account,
              doubtful ? dash : AmountCell(net).view(), doubtful ? dash : AmountCell(vat).view(),
              doubtful ? dash : rate.view(), AmountCell(gross).view(),
              pay ? dmy_paid_.Of(paid_on) : std::string_view(), centre, TextAt(rec, 167, 8),
              pay ? pay_file : std::string_view("-"));
    account_net_ += net;
    account_gross_ += gross;
  }

  void AccountSum() {
    const AmountCell net(account_net_), vat(account_gross_ - account_net_);
    RapWiersz("", "", "", "", "", "", "", "", "SUMA", doubtful_ ? std::string_view() : net.view(),
              doubtful_ ? std::string_view() : vat.view(), "", AmountCell(account_gross_).view());
    report_gross_ += account_gross_;
    account_net_ = 0;
    account_gross_ = 0;
  }

  void End() {
    if (!natjp_) return;
    RapLinia('-');
    RapWiersz("", "", "", "", "", "", "", "", "RAZEM", "", "", "", AmountCell(report_gross_).view());
  }

  const SettlementParams& p_;
  OptionServices& w_;
  ChartTable& chart_;
  const bool natjp_;
  std::vector<Held> buffer_;
  std::vector<std::uint8_t> records_;  // of each posting of buffer_, kKeptBytes as read
  DayTextCache iso_doc_{IsoDate}, iso_due_{IsoDate}, iso_paid_{IsoDate};
  DayTextCache dmy_booking_{DayToText10}, dmy_document_{DayToText10}, dmy_paid_{DayToText10};
  // The account's postings grouped by key (reused between accounts): the
  // group of each posting, and the members of group g, in buffer order, at
  // members_[group_start_[g] .. group_start_[g + 1]).
  std::vector<std::uint32_t> group_of_, group_start_, members_;
  std::vector<PackedKey> group_keys_;
  // The settlement key of each posting of buffer_ and its hash.
  struct KeyOfPosting {
    PackedKey key;
    std::size_t hash;
  };
  std::vector<KeyOfPosting> keys_;
  std::vector<std::int32_t> slots_;
  std::vector<std::uint32_t> slot_fill_;
  RevenueTable revenue_;
  // NatJP: the invoices of the account that can show rows, and the revenue
  // of each (by posting; set for those invoices only).
  struct Invoice {
    RevenueTable::Key key;
    std::uint32_t posting;
  };
  std::vector<Invoice> invoices_;
  std::vector<RevenueTable::Found> revenue_of_;
  // The account's texts, looked up once per account.
  std::string description_account_;
  std::string description_, nip_;
  std::int64_t row_number_ = 0;
  bool rows_in_account_ = false;
  bool rows_before_ = false;
  bool doubtful_ = false;
  Amount account_net_ = 0, account_gross_ = 0, report_gross_ = 0;
};

}  // namespace

bool BankSettlementsFrom(const SettlementParams& p, RecordSource& source,
                         std::string_view file_name, OptionServices& window) {
  Allocation run(p, window);
  return run.Run(source, file_name);
}

bool BankSettlements(const SettlementParams& p, OptionServices& window) {
  const char* tag = p.kind == SettlementKind::NatJP ? "bZe:2812" : "bZe:2459";
  return RunOnAnnualFile(p, window, tag, BankSettlementsFrom);
}

}  // namespace zel
