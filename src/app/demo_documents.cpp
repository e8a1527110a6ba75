// The sample year's documents, month by month in date order: opening
// balances, sales and purchase invoices with their VAT register entries,
// weekly bank statements that settle them (in full, in part, too much),
// cash documents and the month-end general notes (payroll, depreciation,
// stock consumption, VAT settlement). Every cost posted to group 4 is
// mirrored in the same document on group 5 (cost centre + cost type)
// against 490, so the two groups agree in every month and every document.
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

#include "app/demo_build.hpp"
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
constexpr int kSaleSpecialFirst = 3;  // kSales[3..] are the rarer kinds

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
    {'P', 23, "010-4", "ZAK", Deduct::k46, "środek trwały - odlicz. 46%", false, false, false, 3000, 9000},
    {'Q', 23, "010-3", "ZAK", Deduct::kHalf46, "samochód - 46% z połowy", false, false, false, 40000, 70000},
    {'R', 23, "010-2", "ZAK", Deduct::k46, "urządzenie - odlicz. 46%", false, false, false, 4000, 15000},
    {'S', 23, "010-4", "ZAK", Deduct::kNone, "wyposażenie bez odliczenia", false, false, false, 3000, 8000},
    {'T', 0, "020", "ZAK", Deduct::kNone, "licencja zwolniona", false, false, false, 2000, 9000},
    {'U', 23, "401", "KOS", Deduct::kHalf, "paliwo do samochodu", false, false, false, 200, 1200},
    {'V', 23, "402", "KOS", Deduct::kHalf46, "serwis samochodu", false, false, false, 300, 2500},
    {'W', 23, "409", "KOS", Deduct::kFull, "zakupy wewnętrzne", false, false, false, 100, 800},
    {'X', 23, "402", "KOS", Deduct::kFull, "import usług", true, false, false, 1000, 6000},
    {'Y', 23, "010-2", "ZAK", Deduct::kFull, "import środka trwałego", false, false, false, 5000, 25000},
    {'Z', 23, "409", "KOS", Deduct::kFull, "korekta zakupu", false, false, true, 100, 1500},
    {'A', 23, "330", "\"WN", Deduct::kFull, "nabycie wewnątrzwspólnotowe", true, true, false, 2000, 8000},
}};
constexpr int kPurchaseSpecialFirst = 4;
constexpr int kPurchaseSpecialLast = 28;  // the letters B..Z
constexpr int kIntraCommunity = 29;

std::int64_t RoundDiv(std::int64_t a, std::int64_t b) {  // a / b, halves away from zero
  const std::int64_t q = (2 * (a < 0 ? -a : a) + b) / (2 * b);
  return a < 0 ? -q : q;
}

// VAT the firm may deduct from `vat` under the letter's rule (Round2 of the
// adjusted amount, done in whole grosze).
std::int64_t Deductible(std::int64_t vat, Deduct d) {
  switch (d) {
    case Deduct::kFull: return vat;
    case Deduct::kHalf: return RoundDiv(vat, 2);
    case Deduct::kHalf46: return RoundDiv(vat * 23, 100);
    case Deduct::k46: return RoundDiv(vat * 46, 100);
    case Deduct::kNone: return 0;
  }
  return vat;
}

std::string Two(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

struct OpenItem {
  std::size_t party = 0;
  std::string key;
  std::int64_t open = 0;   // grosze still to settle
  std::int64_t euro = 0;   // cents, for a foreign invoice
  std::int32_t rate = 0;
  DayNo date = 0;
  DayNo due = 0;
  bool cash = false;
};

// A payment's transaction number: the key as it stands, or written the ways
// banks and clerks write it ("prefix*key", "prefix;key", lower case), all of
// which settle on the same key.
std::string PaymentText(const std::string& key, int form) {
  auto fit = [&key](std::string prefix) {
    const std::size_t room = key.size() >= 20 ? 0 : 20 - key.size();
    if (prefix.size() > room) prefix.resize(room);
    return prefix + key;
  };
  switch (form % 6) {
    case 1: return fit("przelew*");
    case 2: return fit("zapł.;"_w);
    case 3: {
      std::string low = key;
      for (char& ch : low) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
      }
      return low;
    }
    case 4: return fit("WB*");
    default: return key;
  }
}

struct Month {
  int mm = 1;
  DayNo first = 0;
  DayNo last = 0;
};

struct Event {
  int day;
  int order;
  std::function<void()> run;
};

class YearSteps {
 public:
  explicit YearSteps(Builder& b) : b_(b), y_(b.options.year) {
    for (const char* code : {"SPR", "USL"}) b_.year.registers.push_back({code, 'S', {}});
    for (const char* code : {"ZAK", "KOS", "\"WN"}) b_.year.registers.push_back({code, 'Z', {}});
    for (const DemoAccount& a : b_.year.accounts) {
      if (a.short_name == "^K") centres_.push_back(a.symbol);
    }
  }

  void Run() {
    OpeningBalances();
    for (int mm = 1; mm <= 12; ++mm) RunMonth(mm);
  }

 private:
  // -- helpers ------------------------------------------------------------

  Line L(const std::string& account, bool debit, std::int64_t grosze, const std::string& counter,
         const std::string& text, const std::string& transaction = {}, DayNo due = 0) {
    Line l;
    l.account = account;
    l.debit = debit;
    l.grosze = grosze;
    l.counter = counter;
    l.text = text;
    l.transaction = transaction;
    l.due = due;
    return l;
  }

  // A debit on `a` and a credit on `c` of the same amount.
  void Pair(Document& d, const std::string& a, const std::string& c, std::int64_t grosze,
            const std::string& text, const std::string& transaction = {}) {
    d.lines.push_back(L(a, true, grosze, c, text, transaction));
    d.lines.push_back(L(c, false, grosze, a, text, transaction));
  }

  // The group-5 mirror of a group-4 cost: centre + "-" + cost type against 490.
  void Mirror(Document& d, const std::string& cost_type, std::int64_t grosze, const std::string& text,
              int centre = -1) {
    if (centre < 0) centre = static_cast<int>(b_.rng.Range(0, centres_.size() - 1));
    const std::string account = centres_[centre] + "-" + cost_type;
    Pair(d, account, "490", grosze, text);
  }

  // A group-4 cost debited against `credit` with its mirror.
  void Cost(Document& d, const std::string& cost_type, std::int64_t grosze, const std::string& credit,
            const std::string& text, int centre = -1) {
    Pair(d, cost_type, credit, grosze, text);
    Mirror(d, cost_type, grosze, text, centre);
  }

  DayNo InMonth(const Month& m, int day) const {
    return static_cast<DayNo>(std::min<int>(m.last, m.first + day - 1));
  }

  std::int64_t Zl(int lo, int hi) {  // a random amount in grosze
    return b_.rng.Range(static_cast<std::int64_t>(lo) * 100, static_cast<std::int64_t>(hi) * 100);
  }

  std::int64_t Scaled(std::int64_t grosze) const {
    return static_cast<std::int64_t>(static_cast<double>(grosze) * b_.scale.factor);
  }

  DemoRegister& Register(const std::string& code) {
    for (DemoRegister& r : b_.year.registers) {
      if (r.code == code) return r;
    }
    return b_.year.registers.front();
  }

  VatEntry Entry(const std::string& key, DayNo registered, DayNo invoiced, const Counterparty& c,
                 const std::string& invoice_no, const std::string& text, const std::string& code) {
    VatEntry e;
    e.key = key;
    e.number = 1;
    e.registration_date = registered;
    e.invoice_date = invoiced;
    e.vat_date = invoiced;
    e.nip = c.nip;
    e.name = c.name;
    e.address = c.address;
    e.document_no = invoice_no;
    e.description = text;
    e.register_code = code;
    return e;
  }

  bool IsCostType(const std::string& account) const { return account.size() == 3 && account[0] == '4'; }

  // -- opening balances -----------------------------------------------------

  void OpeningBalances() {
    const DayNo bo = b_.year.bo_date;
    const std::string bo_text = "bilans otwarcia"_w;
    auto plug = [&](Document& d) {
      std::int64_t debit = 0, credit = 0;
      for (const Line& l : d.lines) (l.debit ? debit : credit) += l.grosze;
      const std::int64_t diff = debit - credit;
      if (diff != 0) d.lines.push_back(L("820", diff < 0, diff < 0 ? -diff : diff, {}, bo_text));
    };
    auto doc = [&]() {
      Document d;
      d.kind = "BO";
      d.booking = d.document_date = d.operation_date = bo;
      return d;
    };

    // Fixed assets, their depreciation and the capital.
    Document fixed = doc();
    struct Asset {
      const char* gross;
      const char* depreciation;
      std::int64_t value;
      std::int64_t written_off;
      int rate_permille;  // a year's depreciation
    };
    const Asset assets[] = {{"010-1", "070-1", 45000000, 9000000, 25},
                            {"010-2", "070-2", 18600000, 7440000, 140},
                            {"010-3", "070-3", 9500000, 3800000, 200},
                            {"010-4", "070-4", 4200000, 2100000, 200},
                            {"020", "079", 1800000, 900000, 200}};
    for (const Asset& a : assets) {
      fixed.lines.push_back(L(a.gross, true, Scaled(a.value), {}, bo_text));
      fixed.lines.push_back(L(a.depreciation, false, Scaled(a.written_off), {}, bo_text));
      monthly_depreciation_.push_back(
          {a.gross, a.depreciation, RoundDiv(Scaled(a.value) * a.rate_permille, 12000)});
    }
    fixed.lines.push_back(L("800", false, Scaled(30000000), {}, bo_text));
    std::int64_t debit = 0, credit = 0;
    for (const Line& l : fixed.lines) (l.debit ? debit : credit) += l.grosze;
    fixed.lines.push_back(L("810", false, debit - credit, {}, bo_text));
    fixed.control = true;
    b_.Emit(fixed);

    // Money and stocks.
    Document money = doc();
    money.lines.push_back(L("100", true, 485000, {}, bo_text));
    money.lines.push_back(L("130", true, Scaled(18642055), {}, bo_text));
    Line eur = L("131", true, 0, {}, bo_text);
    eur.euro_cents = Scaled(520000);
    eur.rate = 43480;
    eur.grosze = RoundDiv(eur.euro_cents * eur.rate, 10000);
    money.lines.push_back(eur);
    euro_balance_ = eur.euro_cents;
    euro_pln_ = eur.grosze;
    cash_ = 485000;
    stock_materials_ = Scaled(3850000);
    stock_goods_ = Scaled(6420000);
    money.lines.push_back(L("310", true, stock_materials_, {}, bo_text));
    money.lines.push_back(L("330", true, stock_goods_, {}, bo_text));
    plug(money);
    b_.Emit(money);

    // Open items of the previous year and the December liabilities.
    Document open = doc();
    const std::string yy_prev = Two(y_ - 1);
    const int receivables = std::max<int>(5, static_cast<int>(b_.customers.size()) / 3);
    for (int i = 0; i < receivables; ++i) {
      const std::size_t c = static_cast<std::size_t>(i) % (b_.customers.size() - 2);
      OpenItem item;
      item.party = c;
      item.key = "FS " + std::to_string(140 + i) + "/12/" + yy_prev;
      item.open = Zl(800, 12000);
      item.date = static_cast<DayNo>(bo - b_.rng.Range(3, 25));
      item.due = static_cast<DayNo>(bo + b_.rng.Range(5, 25));
      open.lines.push_back(L(b_.customers[c].account, true, item.open, {}, bo_text, item.key, item.due));
      receivables_.push_back(item);
    }
    const int payables = std::max<int>(4, static_cast<int>(b_.suppliers.size()) / 3);
    for (int i = 0; i < payables; ++i) {
      const std::size_t s = static_cast<std::size_t>(i) % (b_.suppliers.size() - 1);
      OpenItem item;
      item.party = s;
      item.key = "F/" + std::to_string(900 + i) + "/" + yy_prev;
      item.open = Zl(500, 8000);
      item.date = static_cast<DayNo>(bo - b_.rng.Range(3, 25));
      item.due = static_cast<DayNo>(bo + b_.rng.Range(3, 20));
      open.lines.push_back(L(b_.suppliers[s].account, false, item.open, {}, bo_text, item.key, item.due));
      payables_.push_back(item);
    }
    vat_to_pay_ = Scaled(1845000);
    payroll_net_ = Scaled(2410000);
    zus_to_pay_ = Scaled(1395000);
    pit_to_pay_ = Scaled(265000);
    open.lines.push_back(L("221-3", false, vat_to_pay_, {}, bo_text));
    open.lines.push_back(L("231", false, payroll_net_, {}, bo_text));
    open.lines.push_back(L("225", false, zus_to_pay_, {}, bo_text));
    open.lines.push_back(L("222", false, pit_to_pay_, {}, bo_text));
    plug(open);
    b_.Emit(open);
  }

  // -- one month ------------------------------------------------------------

  void RunMonth(int mm) {
    Month m;
    m.mm = mm;
    m.first = Day(1, mm, y_);
    m.last = static_cast<DayNo>(m.first + DaysInMonth(mm, y_) - 1);
    const int days = DaysInMonth(mm, y_);
    const int first_day = mm == 1 ? 2 : 1;  // 1 January is the opening-balance day
    month_sales_goods_ = 0;
    month_materials_ = 0;
    sales_in_month_ = 0;

    std::vector<Event> events;
    auto at = [&](int day, int order, std::function<void()> f) { events.push_back({day, order, std::move(f)}); };

    // Sales invoices: mostly the common kinds, one rarer kind and one invoice
    // with two rates every month, a foreign one every other month, a cash
    // sale, and corrections in three months.
    const int sales = std::max(1, b_.scale.sales_per_month);
    for (int i = 0; i < sales; ++i) {
      int type = static_cast<int>(b_.rng.Range(0, 2));
      bool two_rates = false;
      if (i == 0) type = kSaleSpecialFirst + (mm - 1) % (static_cast<int>(kSales.size()) - 1 - kSaleSpecialFirst);
      if (i == 1) two_rates = true;
      if (i == 2 && mm % 2 == 0) type = static_cast<int>(kSales.size()) - 1;
      const bool cash = i == 3;
      const int day = static_cast<int>(b_.rng.Range(first_day, days));
      at(day, 1, [this, m, type, two_rates, cash, day] { Sale(m, day, type, two_rates, cash); });
    }
    if (mm == 3 || mm == 7 || mm == 10) at(days - 2, 2, [this, m, days] { SaleCorrection(m, days - 2); });

    // Purchase invoices: the common kinds and three rarer letters a month, so
    // that every letter turns up in the year; an intra-community purchase
    // every quarter.
    const int purchases = std::max(1, b_.scale.purchases_per_month);
    const int specials = kPurchaseSpecialLast - kPurchaseSpecialFirst + 1;
    for (int i = 0; i < purchases; ++i) {
      int type = static_cast<int>(b_.rng.Range(0, kPurchaseSpecialFirst - 1));
      if (i < 3) type = kPurchaseSpecialFirst + ((mm - 1) * 3 + i) % specials;
      if (i == 3 && mm % 3 == 2) type = kIntraCommunity;
      const int day = static_cast<int>(b_.rng.Range(first_day, days));
      at(day, 1, [this, m, type, day] { Purchase(m, day, type); });
    }

    // Bank statements every week; cash documents; the month-end notes.
    for (int day : {5, 12, 19, 26}) at(day, 5, [this, m, day] { Statement(m, day); });
    at(3, 3, [this, m] { CashAdvance(m, 3); });
    at(15, 3, [this, m] { PettyCash(m, 15); });
    at(20, 3, [this, m] { AdvanceReturn(m, 20); });
    if (mm == 9) at(22, 4, [this, m] { CostStorno(m, 22); });
    if (mm == 6 && b_.scale.deliberate_faults) at(24, 4, [this, m] { UnbalancedNote(m, 24); });
    at(days, 6, [this, m] { MonthEnd(m); });

    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
      return a.day != b.day ? a.day < b.day : a.order < b.order;
    });
    for (Event& e : events) e.run();
  }

  // -- sales ----------------------------------------------------------------

  void Sale(const Month& m, int day, int type, bool two_rates, bool cash) {
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
    const std::string key = "FS " + std::to_string(++sales_in_month_) + "/" + Two(m.mm) + "/" + Two(y_);

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
      if (p.vat != 0) d.lines.push_back(L("221-1", false, p.vat, party.account, "VAT należny"_w, key));
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
    if (!t.foreign && parts.size() == 1 && b_.rng.Chance(30)) e.reference = "zam. " + std::to_string(b_.rng.Range(1, 400));
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
  void SaleCorrection(const Month& m, int day) {
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
    VatEntry e = Entry(no, d.booking, d.document_date, party, "KOR/" + target->key.substr(3), text, "SPR");
    e.lines[0] = {'A', -net / 100.0L, -vat / 100.0L, {}};
    e.reference = target->key;
    Register("SPR").entries.push_back(e);
  }

  // -- purchases ------------------------------------------------------------

  void Purchase(const Month& m, int day, int type) {
    const PurchaseType& t = kPurchases[type];
    const std::size_t domestic = b_.suppliers.size() - 1;
    const std::size_t s = t.foreign ? domestic : static_cast<std::size_t>(b_.rng.Range(0, domestic - 1));
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
      euro = b_.rng.Range(static_cast<std::int64_t>(t.min_zl) * 100 / 4, static_cast<std::int64_t>(t.max_zl) * 100 / 4);
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

  // -- bank -----------------------------------------------------------------

  void Statement(const Month& m, int day) {
    const DayNo date = InMonth(m, day);
    Document d;
    auto start = [&] {
      d = Document();
      d.kind = "WB";
      d.booking = d.document_date = d.operation_date = date;
      d.numbered = true;
    };
    auto flush = [&] {
      const std::int64_t fee = b_.rng.Range(500, 4000);
      Cost(d, "402", fee, "130", "prowizja bankowa"_w);
      d.control = (++statement_count_ % 3) == 0;
      b_.Emit(d);
      start();
    };
    start();
    int lines = 0;
    auto count_line = [&] {
      if (++lines >= b_.scale.statement_lines_max) {
        flush();
        lines = 0;
      }
    };

    if (day == 5) {  // last month's wages, social insurance, income tax and VAT
      const std::string period = Two(m.mm == 1 ? 12 : m.mm - 1) + "/" + std::to_string(m.mm == 1 ? y_ - 1 : y_);
      if (payroll_net_ > 0) Pair(d, "231", "130", payroll_net_, "wynagrodzenia " + period, "LP " + period);
      if (zus_to_pay_ > 0) Pair(d, "225", "130", zus_to_pay_, "składki ZUS "_w + period);
      if (pit_to_pay_ > 0) Pair(d, "222", "130", pit_to_pay_, "zaliczka PIT-4 " + period);
      if (vat_to_pay_ > 0) Pair(d, "221-3", "130", vat_to_pay_, "VAT-7 za " + period);
      payroll_net_ = zus_to_pay_ = pit_to_pay_ = vat_to_pay_ = 0;
    }

    for (OpenItem& item : receivables_) {
      if (item.open <= 0 || item.cash || item.date >= date) continue;
      const bool due_soon = item.due == 0 || item.due <= date + 7;
      if (!due_soon && !b_.rng.Chance(25)) continue;
      if (b_.rng.Chance(10)) continue;  // paid late
      const Counterparty& party = b_.customers[item.party];
      std::int64_t paid = item.open;
      if (!partial_done_ && m.mm >= 3) {
        paid = RoundDiv(item.open * 6, 10);
        partial_done_ = true;
      } else if (!over_done_ && m.mm >= 5 && item.euro == 0) {
        paid = item.open + 5000;
        over_done_ = true;
      } else if (b_.rng.Chance(8)) {
        paid = RoundDiv(item.open * b_.rng.Range(30, 80), 100);
      } else if (b_.rng.Chance(3) && item.euro == 0) {
        paid = item.open + b_.rng.Range(100, 10000);
      }
      const std::string trans = PaymentText(item.key, payment_form_++);
      if (item.euro != 0) {
        // A foreign customer pays the whole invoice in EUR; the rate of the
        // day differs from the invoice's and the difference is a financial
        // revenue or cost.
        const std::int32_t rate = item.rate + static_cast<std::int32_t>(b_.rng.Range(-600, 600));
        const std::int64_t pln = RoundDiv(item.euro * rate, 10000);
        Line in = L("131", true, pln, party.account, "wpłata w EUR"_w, trans);
        in.euro_cents = item.euro;
        in.rate = rate;
        Line out = L(party.account, false, item.open, "131", "wpłata w EUR"_w, trans);
        out.euro_cents = item.euro;
        out.rate = item.rate;
        d.lines.push_back(in);
        d.lines.push_back(out);
        if (pln > item.open) d.lines.push_back(L("750", false, pln - item.open, "131", "różnice kursowe dodatnie"_w));
        if (pln < item.open) d.lines.push_back(L("751", true, item.open - pln, "131", "różnice kursowe ujemne"_w));
        euro_balance_ += item.euro;
        euro_pln_ += pln;
        item.open = 0;
      } else {
        Pair(d, "130", party.account, paid, "zapłata za fakturę"_w, trans);
        item.open -= paid;
      }
      count_line();
    }

    for (OpenItem& item : payables_) {
      if (item.open <= 0 || item.date >= date) continue;
      const bool due_soon = item.due == 0 || item.due <= date + 3;
      if (!due_soon) continue;
      const Counterparty& party = b_.suppliers[item.party];
      const std::string trans = PaymentText(item.key, payment_form_++);
      if (item.euro != 0 && euro_balance_ >= item.euro) {
        const std::int32_t rate = item.rate + static_cast<std::int32_t>(b_.rng.Range(-600, 600));
        std::int64_t pln = RoundDiv(item.euro * rate, 10000);
        if (pln > euro_pln_) pln = euro_pln_;
        Line pay = L(party.account, true, item.open, "131", "przelew w EUR"_w, trans);
        pay.euro_cents = item.euro;
        pay.rate = item.rate;
        Line out = L("131", false, pln, party.account, "przelew w EUR"_w, trans);
        out.euro_cents = item.euro;
        out.rate = rate;
        d.lines.push_back(pay);
        d.lines.push_back(out);
        if (pln < item.open) d.lines.push_back(L("750", false, item.open - pln, "131", "różnice kursowe dodatnie"_w));
        if (pln > item.open) d.lines.push_back(L("751", true, pln - item.open, "131", "różnice kursowe ujemne"_w));
        euro_balance_ -= item.euro;
        euro_pln_ -= pln;
        item.open = 0;
      } else {
        std::int64_t paid = item.open;
        if (b_.rng.Chance(6)) paid = RoundDiv(item.open, 2);
        Pair(d, party.account, "130", paid, "zapłata dla dostawcy"_w, trans);
        item.open -= paid;
      }
      count_line();
    }
    flush();
    Compact(receivables_);
    Compact(payables_);
  }

  static void Compact(std::vector<OpenItem>& items) {
    items.erase(std::remove_if(items.begin(), items.end(), [](const OpenItem& i) { return i.open == 0; }),
                items.end());
  }

  // -- cash -----------------------------------------------------------------

  void CashAdvance(const Month& m, int day) {
    Document d;
    d.kind = "KW";
    d.booking = d.document_date = d.operation_date = InMonth(m, day);
    advance_employee_ = static_cast<std::size_t>(b_.rng.Range(0, b_.employees.size() - 1));
    advance_ = 50000;
    Pair(d, b_.employees[advance_employee_], "100", advance_, "zaliczka na zakupy"_w);
    cash_ -= advance_;
    b_.Emit(d);
  }

  void PettyCash(const Month& m, int day) {
    Document d;
    d.kind = "KW";
    d.booking = d.document_date = d.operation_date = InMonth(m, day);
    const std::int64_t amount = Zl(40, 300);
    Cost(d, "409", amount, "100", "drobne zakupy gotówkowe"_w);
    cash_ -= amount;
    b_.Emit(d);
  }

  void AdvanceReturn(const Month& m, int day) {
    const DayNo date = InMonth(m, day);
    // The employee returns part of the advance and accounts for the rest.
    Document ret;
    ret.kind = "KP";
    ret.booking = ret.document_date = ret.operation_date = date;
    const std::int64_t back = 12000;
    Pair(ret, "100", b_.employees[advance_employee_], back, "zwrot zaliczki"_w);
    cash_ += back;
    b_.Emit(ret);

    Document note;
    note.kind = "PK";
    note.booking = note.document_date = note.operation_date = date;
    Cost(note, "409", advance_ - back, b_.employees[advance_employee_], "rozliczenie zaliczki"_w);
    b_.Emit(note);

    // Cash sales of the month are paid at the cash desk.
    for (OpenItem& item : receivables_) {
      if (!item.cash || item.open <= 0 || item.date > date) continue;
      Document kp;
      kp.kind = "KP";
      kp.booking = kp.document_date = kp.operation_date = date;
      Pair(kp, "100", b_.customers[item.party].account, item.open, "wpłata gotówkowa"_w, item.key);
      cash_ += item.open;
      item.open = 0;
      b_.Emit(kp);
    }
    Compact(receivables_);
  }

  // -- general notes --------------------------------------------------------

  // A cost posted to the wrong type is reversed by a negative posting on the
  // same side and posted again to the right one.
  void CostStorno(const Month& m, int day) {
    Document d;
    d.kind = "PK";
    d.booking = d.document_date = d.operation_date = InMonth(m, day);
    const std::int64_t amount = 30000;
    const std::string text = "storno - przeksięgowanie"_w;
    d.lines.push_back(L("402", true, -amount, "409", text));
    d.lines.push_back(L("409", true, amount, "402", text));
    d.lines.push_back(L(centres_[0] + "-402", true, -amount, centres_[0] + "-409", text));
    d.lines.push_back(L(centres_[0] + "-409", true, amount, centres_[0] + "-402", text));
    b_.Emit(d);
  }

  // The one document that does not balance: a debit of 100,00 against a
  // credit of 99,99, as a typing slip leaves it.
  void UnbalancedNote(const Month& m, int day) {
    Document d;
    d.kind = "PK";
    d.booking = d.document_date = d.operation_date = InMonth(m, day);
    const std::string text = "korekta rozrachunków"_w;
    d.lines.push_back(L("240-1", true, 10000, "760", text));
    d.lines.push_back(L("760", false, 9999, "240-1", text));
    b_.year.unbalanced_document = b_.Emit(d);
  }

  void MonthEnd(const Month& m) {
    const DayNo date = m.last;
    const std::string period = Two(m.mm) + "/" + std::to_string(y_);
    auto note = [&]() {
      Document d;
      d.kind = "PK";
      d.booking = d.document_date = d.operation_date = date;
      return d;
    };

    // Payroll: gross wages, the employee's and the employer's insurance, the
    // income tax advance; paid on the 5th of the next month.
    {
      Document d = note();
      const std::int64_t gross = Scaled(Zl(34000, 38000));
      const std::int64_t employee_zus = RoundDiv(gross * 1371, 10000);
      const std::int64_t pit = RoundDiv((gross - employee_zus) * 9, 100);
      const std::int64_t employer_zus = RoundDiv(gross * 2048, 10000);
      const std::string text = "lista płac "_w + period;
      Pair(d, "404", "231", gross, text);
      Pair(d, "231", "225", employee_zus, "ZUS pracownika "_w + period);
      Pair(d, "231", "222", pit, "PIT-4 " + period);
      Pair(d, "405", "225", employer_zus, "ZUS pracodawcy "_w + period);
      Spread(d, "404", gross, text);
      Spread(d, "405", employer_zus, "ZUS pracodawcy "_w + period);
      payroll_net_ += gross - employee_zus - pit;
      zus_to_pay_ += employee_zus + employer_zus;
      pit_to_pay_ += pit;
      d.control = true;
      b_.Emit(d);
    }
    // Depreciation of the month.
    {
      Document d = note();
      const std::string text = "amortyzacja "_w + period;
      for (const Depreciation& dep : monthly_depreciation_) {
        Pair(d, "400", dep.depreciation, dep.monthly, text);
        Mirror(d, "400", dep.monthly, text, static_cast<int>(centres_.size()) - 1);
      }
      b_.Emit(d);
    }
    // Materials used and goods sold.
    {
      Document d = note();
      const std::int64_t used = std::min(stock_materials_, RoundDiv(month_materials_ * 85, 100) + Scaled(150000));
      if (used > 0) {
        Pair(d, "401", "310", used, "zużycie materiałów "_w + period);
        Spread(d, "401", used, "zużycie materiałów "_w + period);
        stock_materials_ -= used;
      }
      const std::int64_t sold = std::min(stock_goods_, RoundDiv(std::max<std::int64_t>(month_sales_goods_, 0) * 60, 100));
      if (sold > 0) {
        Pair(d, "731", "330", sold, "wartość sprzedanych towarów"_w);
        stock_goods_ -= sold;
      }
      if (!d.lines.empty()) b_.Emit(d);
    }
    // VAT of the month: input tax set off against output tax, the rest due.
    {
      Document d = note();
      const std::string text = "rozliczenie VAT "_w + period;
      const std::int64_t offset = std::max<std::int64_t>(0, std::min(vat_out_, vat_in_));
      if (offset > 0) Pair(d, "221-1", "221-2", offset, text);
      const std::int64_t due = vat_out_ - offset;
      if (due > 0) {
        Pair(d, "221-1", "221-3", due, text);
        vat_to_pay_ += due;
        vat_out_ = 0;
      } else {
        vat_out_ -= offset;
      }
      vat_in_ -= offset;
      if (!d.lines.empty()) b_.Emit(d);
    }
  }

  // A cost type spread over the cost centres that produce (the first two),
  // the last one taking what the rounding leaves.
  void Spread(Document& d, const std::string& cost_type, std::int64_t grosze, const std::string& text) {
    const int n = std::min<int>(2, static_cast<int>(centres_.size()));
    std::int64_t left = grosze;
    for (int i = 0; i < n; ++i) {
      const std::int64_t part = i == n - 1 ? left : RoundDiv(grosze, n);
      Mirror(d, cost_type, part, text, i);
      left -= part;
    }
  }

  struct Depreciation {
    std::string gross;
    std::string depreciation;
    std::int64_t monthly;
  };

  Builder& b_;
  const int y_;
  std::vector<std::string> centres_;
  std::vector<OpenItem> receivables_;
  std::vector<OpenItem> payables_;
  std::vector<Depreciation> monthly_depreciation_;
  std::int64_t vat_out_ = 0, vat_in_ = 0, vat_to_pay_ = 0;
  std::int64_t payroll_net_ = 0, zus_to_pay_ = 0, pit_to_pay_ = 0;
  std::int64_t stock_materials_ = 0, stock_goods_ = 0, month_materials_ = 0, month_sales_goods_ = 0;
  std::int64_t euro_balance_ = 0, euro_pln_ = 0, cash_ = 0;
  std::int64_t advance_ = 0;
  std::size_t advance_employee_ = 0;
  int sales_in_month_ = 0, sale_count_ = 0, purchase_count_ = 0, purchase_docs_ = 0, statement_count_ = 0;
  int payment_form_ = 0;
  bool partial_done_ = false, over_done_ = false, wrong_control_done_ = false;
};

}  // namespace

std::string Builder::NextNumber(const std::string& kind) {
  int n = ++numbers[kind];
  // A cancelled cash receipt leaves a gap in the numbering of the sample year.
  if (kind == "KP" && n == 4 && scale.deliberate_faults) n = ++numbers[kind];
  char buf[24];
  std::snprintf(buf, sizeof buf, "%s%02d/%06d", kind.c_str(), options.year % 100, n);
  return buf;
}

std::string Builder::Emit(Document& doc) {
  const std::string no = NextNumber(doc.kind);
  std::uint16_t entry = 0;
  std::int64_t debit = 0;
  for (const Line& l : doc.lines) {
    JournalEntry e;
    e.account = l.account;
    e.bookingDate = doc.booking;
    e.documentNo = no;
    e.entryNo = ++entry;
    e.side = l.debit ? 1 : 0;
    e.counterAccount = l.counter;
    if (doc.numbered && journal_no < 32000) e.journalNo = static_cast<std::int16_t>(++journal_no);
    e.amount = static_cast<Amount>(l.grosze) / 100;
    if (l.euro_cents != 0) {
      e.currencyCode = "EUR";
      e.currencyRate = l.rate;
      e.currencyAmount = static_cast<Amount>(l.euro_cents) / 100;
    }
    e.transactionNo = WinToDos(l.transaction);
    e.documentDate = doc.document_date;
    e.dueDate = l.due;
    e.description = WinToDos(l.text);
    e.sourceFile = year.working_name;
    e.operationDate = doc.operation_date;
    year.working.push_back(e);
    if (l.debit) debit += l.grosze;
  }
  if (doc.control) {
    JournalEntry c;
    c.account = doc.lines.front().account;
    c.bookingDate = doc.booking;
    c.documentNo = no;
    c.entryNo = ++entry;
    c.side = 1;
    c.journalNo = -1;
    c.amount = static_cast<Amount>(debit + doc.control_delta) / 100;
    c.documentDate = doc.document_date;
    c.description = WinToDos("suma kontrolna"_w);
    c.sourceFile = year.working_name;
    year.working.push_back(c);
    ++year.control_records;
  }
  ++year.documents_by_kind[doc.kind];
  return no;
}

void Builder::BuildDocuments() {
  YearSteps steps(*this);
  steps.Run();
}

}  // namespace zel::demo
