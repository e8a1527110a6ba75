// Sales and purchase invoices with their VAT register entries: the kinds of
// supply and purchase by qualification letter, their rates and deduction
// rules, and the journal postings each invoice makes.
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/demo_steps.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel::demo {
namespace {

struct SaleType {
  char letter;
  int rate;  // percent
  const char* account;
  const char* reg;
  const char* text;
  bool foreign;
};
constexpr std::array<SaleType, 12> kSales = {{
    {'A', 23, "730-01", "SPR", "sprzedaż towarów", false},
    {'A', 23, "700-01", "SPR", "sprzedaż produktów", false},
    {'A', 23, "700-02", "USL", "usługi serwisowe", false},
    {'B', 8, "700-02", "USL", "usługi budowlane", false},
    {'C', 5, "730-01", "SPR", "sprzedaż wydawnictw", false},
    {'D', 0, "730-01", "SPR", "sprzedaż krajowa 0%", false},
    {'E', 0, "730-01", "SPR", "sprzedaż 0% art. 129", false},
    {'F', 0, "700-02", "USL", "usługi poza krajem", false},
    {'G', 0, "730-02", "SPR", "dostawa poza krajem", false},
    {'H', 0, "700-02", "USL", "szkolenia zwolnione", false},
    {'K', 0, "730-02", "SPR", "eksport towarów", false},
    {'L', 0, "730-02", "SPR", "dostawa wewnątrzwspólnotowa", true},
}};
enum class Deduct { kFull, kHalf, kHalf46, k46, kNone };

struct PurchaseType {
  char letter;
  int rate;
  const char* account;
  const char* reg;
  Deduct deduct;
  const char* text;
  bool self_charged;  // the firm charges the output VAT itself
  bool foreign;       // from the foreign supplier, in EUR
  bool negative;      // a correction invoice
  int min_zl, max_zl;
};
constexpr std::array<PurchaseType, 30> kPurchases = {{
    {'A', 23, "330", "ZAK", Deduct::kFull, "zakup towarów", false, false, false, 1000, 9000},
    {'A', 23, "310", "ZAK", Deduct::kFull, "zakup materiałów", false, false, false, 800, 7000},
    {'A', 23, "402", "KOS", Deduct::kFull, "usługi obce", false, false, false, 300, 4000},
    {'A', 23, "401", "KOS", Deduct::kFull, "energia elektryczna", false, false, false, 500, 3000},
    // The rarer letters, one or two of them each month.
    {'B', 8, "310", "ZAK", Deduct::kFull, "materiały 8%", false, false, false, 300, 3000},
    {'C', 5, "310", "ZAK", Deduct::kFull, "materiały 5%", false, false, false, 200, 2000},
    {'D', 0, "409", "KOS", Deduct::kFull, "zakup 0%", false, false, false, 100, 1500},
    {'E', 23, "409", "KOS", Deduct::k46, "wydatki mieszane 23%", false, false, false, 200, 2000},
    {'F', 8, "409", "KOS", Deduct::k46, "wydatki mieszane 8%", false, false, false, 200, 1500},
    {'G', 5, "409", "KOS", Deduct::k46, "wydatki mieszane 5%", false, false, false, 100, 1200},
    {'H', 0, "409", "KOS", Deduct::k46, "wydatki mieszane 0%", false, false, false, 100, 1000},
    {'I', 23, "409", "KOS", Deduct::kNone, "reprezentacja", false, false, false, 200, 1500},
    {'J', 8, "409", "KOS", Deduct::kNone, "usługi gastronomiczne", false, false, false, 100, 900},
    {'K', 5, "409", "KOS", Deduct::kNone, "zakup bez odliczenia 5%", false, false, false, 100, 700},
    {'L', 0, "403", "KOS", Deduct::kNone, "opłaty zwolnione", false, false, false, 100, 900},
    {'M', 23, "010-2", "ZAK", Deduct::kFull, "zakup maszyny", false, false, false, 8000, 40000},
    {'N', 8, "010-4", "ZAK", Deduct::kFull, "środek trwały 8%", false, false, false, 3000, 12000},
    {'O', 23, "010-3", "ZAK", Deduct::kHalf, "zakup samochodu", false, false, false, 60000, 90000},
    {'P', 23, "010-4", "ZAK", Deduct::k46, "środek trwały - odlicz. 46%", false, false, false, 3000,
     9000},
    {'Q', 23, "010-3", "ZAK", Deduct::kHalf46, "samochód - 46% z połowy", false, false, false,
     40000, 70000},
    {'R', 23, "010-2", "ZAK", Deduct::k46, "urządzenie - odlicz. 46%", false, false, false, 4000,
     15000},
    {'S', 23, "010-4", "ZAK", Deduct::kNone, "wyposażenie bez odliczenia", false, false, false,
     3000, 8000},
    {'T', 0, "020", "ZAK", Deduct::kNone, "licencja zwolniona", false, false, false, 2000, 9000},
    {'U', 23, "401", "KOS", Deduct::kHalf, "paliwo do samochodu", false, false, false, 200, 1200},
    {'V', 23, "402", "KOS", Deduct::kHalf46, "serwis samochodu", false, false, false, 300, 2500},
    {'W', 23, "409", "KOS", Deduct::kFull, "zakupy wewnętrzne", false, false, false, 100, 800},
    {'X', 23, "402", "KOS", Deduct::kFull, "import usług", true, false, false, 1000, 6000},
    {'Y', 23, "010-2", "ZAK", Deduct::kFull, "import środka trwałego", false, false, false, 5000,
     25000},
    {'Z', 23, "409", "KOS", Deduct::kFull, "korekta zakupu", false, false, true, 100, 1500},
    {'A', 23, "330", "\"WN", Deduct::kFull, "nabycie wewnątrzwspólnotowe", true, true, false, 2000,
     8000},
}};
static_assert(kSales.size() == kSaleKinds && kPurchases.size() == kPurchaseKinds);

// VAT the firm may deduct from `vat` under the letter's rule (Round2 of the
// adjusted amount, done in whole grosze).
std::int64_t Deductible(std::int64_t vat, Deduct d) {
  switch (d) {
    case Deduct::kFull:
      return vat;
    case Deduct::kHalf:
      return RoundDiv(vat, 2);
    case Deduct::kHalf46:
      return RoundDiv(vat * 23, 100);
    case Deduct::k46:
      return RoundDiv(vat * 46, 100);
    case Deduct::kNone:
      return 0;
  }
  return vat;
}

}  // namespace

void YearSteps::Sale(const Month& m, int day, int type, bool two_rates, bool cash) {
  const SaleType& t = kSales[type];
  const std::size_t domestic = b_.customers.size() - 2;
  const std::size_t c = t.foreign ? domestic + static_cast<std::size_t>(b_.rng.Range(0, 1))
                                  : static_cast<std::size_t>(b_.rng.Range(0, domestic - 1));
  const Counterparty& party = b_.customers[c];
  const DayNo date = InMonth(m, day);
  Document d;
  d.kind = "FV";
  d.document_date = date;
  d.booking = static_cast<DayNo>(std::min<int>(m.last, date + (b_.rng.Chance(20) ? 2 : 0)));
  d.operation_date = b_.rng.Chance(15) && day > 3 ? static_cast<DayNo>(date - 2) : date;
  const std::string key =
      "FS " + std::to_string(++sales_in_month_) + "/" + Two(m.mm) + "/" + Two(y_);

  struct Part {
    const SaleType* type;
    std::int64_t net, vat;
  };
  std::vector<Part> parts;
  std::int64_t euro = 0;
  std::int32_t rate = 0;
  if (t.foreign) {
    euro = b_.rng.Range(300000, 900000);
    rate = static_cast<std::int32_t>(b_.rng.Range(42000, 44000));
    parts.push_back({&t, RoundDiv(euro * rate, 10000), 0});
  } else {
    const std::int64_t net = cash ? Zl(700, 1300) : Zl(2000, 20000);
    parts.push_back({&t, net, RoundDiv(net * t.rate, 100)});
    if (two_rates) {
      const std::int64_t net2 = Zl(300, 3000);
      parts.push_back({&kSales[3], net2, RoundDiv(net2 * kSales[3].rate, 100)});
    }
  }
  std::int64_t gross = 0;
  for (const Part& p : parts) gross += p.net + p.vat;

  const DayNo due = cash || b_.rng.Chance(12) ? 0 : static_cast<DayNo>(date + party.term_days);
  const std::string text = Utf8ToWin(t.text);
  Line receivable = L(party.account, true, gross, parts.front().type->account, text, key, due);
  receivable.euro_cents = euro;
  receivable.rate = rate;
  d.lines.push_back(receivable);
  for (const Part& p : parts) {
    Line revenue = L(p.type->account, false, p.net, party.account, Utf8ToWin(p.type->text), key);
    if (t.foreign) {
      revenue.euro_cents = euro;
      revenue.rate = rate;
    }
    d.lines.push_back(revenue);
    if (p.vat != 0)
      d.lines.push_back(L("221-1", false, p.vat, party.account, "VAT należny"_w, key));
    vat_out_ += p.vat;
    if (p.type->account[1] == '3') month_sales_goods_ += p.net;
  }
  d.control = (++sale_count_ % 4) == 0;
  if (b_.scale.deliberate_faults && m.mm == 4 && !wrong_control_done_) {
    d.control = true;
    d.control_delta = 10000;
    wrong_control_done_ = true;
  }
  const std::string no = b_.Emit(d);
  if (d.control_delta != 0) b_.year.wrong_control_document = no;

  VatEntry e = Entry(no, d.booking, date, party, key, text, t.reg);
  if (d.operation_date != date) e.vat_date = d.operation_date;
  if (b_.rng.Chance(10)) e.vat_date = 0;
  if (m.mm == 11 && sales_in_month_ == 1) e.month_flag = 13;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    e.lines[i].letter = parts[i].type->letter;
    e.lines[i].net = parts[i].net / 100.0L;
    e.lines[i].vat = parts[i].vat / 100.0L;
  }
  if (!t.foreign && parts.size() == 1 && b_.rng.Chance(30))
    e.reference = "zam. " + std::to_string(b_.rng.Range(1, 400));
  Register(t.reg).entries.push_back(e);

  OpenItem item;
  item.party = c;
  item.key = key;
  item.open = gross;
  item.euro = euro;
  item.rate = rate;
  item.date = date;
  item.due = due;
  item.cash = cash;
  receivables_.push_back(item);
}

// A correction invoice: negative amounts on the same sides, under the key
// of the invoice it corrects (which thereby owes less).
void YearSteps::SaleCorrection(const Month& m, int day) {
  OpenItem* target = nullptr;
  for (OpenItem& item : receivables_) {
    if (item.open > 40000 && item.euro == 0 && !item.cash && item.date >= m.first) target = &item;
  }
  if (target == nullptr) return;
  const Counterparty& party = b_.customers[target->party];
  const std::int64_t net = RoundDiv(target->open / 10 * 100, 123);
  const std::int64_t vat = RoundDiv(net * 23, 100);
  Document d;
  d.kind = "FV";
  d.booking = d.document_date = d.operation_date = InMonth(m, day);
  const std::string text = "korekta - rabat"_w;
  d.lines.push_back(L(party.account, true, -(net + vat), "730-01", text, target->key));
  d.lines.push_back(L("730-01", false, -net, party.account, text, target->key));
  d.lines.push_back(L("221-1", false, -vat, party.account, "VAT należny - korekta"_w, target->key));
  vat_out_ -= vat;
  month_sales_goods_ -= net;
  target->open -= net + vat;
  const std::string no = b_.Emit(d);
  VatEntry e =
      Entry(no, d.booking, d.document_date, party, "KOR/" + target->key.substr(3), text, "SPR");
  e.lines[0] = {'A', -net / 100.0L, -vat / 100.0L, {}};
  e.reference = target->key;
  Register("SPR").entries.push_back(e);
}

void YearSteps::Purchase(const Month& m, int day, int type) {
  const PurchaseType& t = kPurchases[type];
  const std::size_t domestic = b_.suppliers.size() - 1;
  const std::size_t s =
      t.foreign ? domestic : static_cast<std::size_t>(b_.rng.Range(0, domestic - 1));
  const Counterparty& party = b_.suppliers[s];
  const DayNo date = InMonth(m, day);
  Document d;
  d.kind = "FZ";
  d.document_date = d.operation_date = date;
  d.booking = static_cast<DayNo>(std::min<int>(m.last, date + b_.rng.Range(0, 3)));
  const std::string key = "F/" + std::to_string(++purchase_count_) + "/" + Two(y_);
  const std::string text = Utf8ToWin(t.text);

  std::int64_t euro = 0;
  std::int32_t rate = 0;
  std::int64_t net = Zl(t.min_zl, t.max_zl);
  if (t.foreign) {
    euro = b_.rng.Range(static_cast<std::int64_t>(t.min_zl) * 100 / 4,
                        static_cast<std::int64_t>(t.max_zl) * 100 / 4);
    rate = static_cast<std::int32_t>(b_.rng.Range(42000, 44000));
    net = RoundDiv(euro * rate, 10000);
  }
  if (t.negative) net = -net;
  const std::int64_t vat = RoundDiv(net * t.rate, 100);
  const std::int64_t deductible = Deductible(vat, t.deduct);
  const std::int64_t cost = net + vat - deductible;
  const std::int64_t payable = t.self_charged ? net : net + vat;
  const DayNo due = b_.rng.Chance(10) ? 0 : static_cast<DayNo>(date + party.term_days);

  Line debit = L(t.account, true, cost, party.account, text, key);
  Line credit = L(party.account, false, payable, t.account, text, key, due);
  if (t.foreign) {
    debit.euro_cents = credit.euro_cents = euro;
    debit.rate = credit.rate = rate;
  }
  d.lines.push_back(debit);
  if (deductible != 0) {
    d.lines.push_back(L("221-2", true, deductible, party.account, "VAT naliczony"_w, key));
    vat_in_ += deductible;
  }
  if (t.self_charged) {
    // The output side of VAT the firm charges itself; the non-deductible
    // part of it is already in the cost.
    d.lines.push_back(L("221-1", false, vat, "221-2", "VAT należny - samonaliczenie"_w, key));
    vat_out_ += vat;
  }
  d.lines.push_back(credit);
  if (IsCostType(t.account)) Mirror(d, t.account, cost, text);
  if (std::string(t.account) == "310") {
    month_materials_ += cost;
    stock_materials_ += cost;
  }
  if (std::string(t.account) == "330") stock_goods_ += cost;
  d.control = (++purchase_docs_ % 5) == 0;
  const std::string no = b_.Emit(d);

  VatEntry e = Entry(no, d.booking, date, party, key, text, t.reg);
  e.lines[0] = {t.letter, net / 100.0L, vat / 100.0L, {}};
  if (b_.rng.Chance(8)) e.vat_date = 0;
  if (day <= 3 && m.mm > 1) e.month_flag = static_cast<std::uint8_t>(m.mm - 1);
  Register(t.reg).entries.push_back(e);

  OpenItem item;
  item.party = s;
  item.key = key;
  item.open = payable;
  item.euro = euro;
  item.rate = rate;
  item.date = date;
  item.due = due;
  if (payable > 0) payables_.push_back(item);
}

}  // namespace zel::demo
