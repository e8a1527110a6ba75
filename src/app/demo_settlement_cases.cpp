// The settlement cases zel-demo adds on request (--settlement-cases): three
// customers of December whose postings test the pairing of invoices and
// payments, kept apart from the sample year so that its files stay as they
// are without the option.
//   201-9001  one invoice and nothing else: an account with a single posting;
//   201-9002  an invoice, a correction larger than it and a payment;
//   201-9003  an invoice keyed without Polish letters and its payment keyed
//             with them (and with a bank's prefix), which settle each other.
#include <algorithm>

#include "app/demo_build.hpp"
#include "common/cp1250.hpp"

namespace zel::demo {

namespace {

Line Posting(const std::string& account, bool debit, std::int64_t grosze,
             const std::string& counter, const std::string& text, const std::string& key,
             DayNo due = 0) {
  Line l;
  l.account = account;
  l.debit = debit;
  l.grosze = grosze;
  l.counter = counter;
  l.text = text;
  l.transaction = key;
  l.due = due;
  return l;
}

}  // namespace

void Builder::AddSettlementCases() {
  const int y = options.year;
  AddAccount("201-9001", "Odbiorca Jednorazowy Sp. z o.o."_w, "90-001 Łódź, ul. Piotrkowska 1"_w,
             NewNip(), "JEDNORAZ");
  AddAccount("201-9002", "Odbiorca Korekta S.A.", "00-950 Warszawa, ul. Prosta 2", NewNip(),
             "KOREKTA");
  AddAccount("201-9003", "Odbiorca Łódzki s.c."_w, "91-002 Łódź, ul. Zgierska 3"_w, NewNip(),
             "ŁÓDZKI"_w);
  std::sort(
      year.accounts.begin(), year.accounts.end(),
      [](const DemoAccount& a, const DemoAccount& b) { return SymbolLess(a.symbol, b.symbol); });

  auto invoice = [&](const std::string& party, std::int64_t net, std::int64_t vat,
                     const std::string& key, int day) {
    Document d;
    d.kind = "FV";
    d.booking = Day(day, 12, y);
    d.document_date = d.booking;
    d.operation_date = d.booking;
    d.numbered = true;
    const std::string text = "sprzedaż towarów"_w;
    d.lines.push_back(Posting(party, true, net + vat, "700-01", text, key, Day(day + 14, 12, y)));
    d.lines.push_back(Posting("700-01", false, net, party, text, key));
    d.lines.push_back(Posting("221-1", false, vat, party, "VAT należny"_w, key));
    Emit(d);
  };
  auto payment = [&](const std::string& party, std::int64_t grosze, const std::string& key,
                     int day) {
    Document d;
    d.kind = "WB";
    d.booking = Day(day, 12, y);
    d.document_date = d.booking;
    d.operation_date = d.booking;
    d.numbered = true;
    const std::string text = "zapłata za fakturę"_w;
    d.lines.push_back(Posting("130", true, grosze, party, text, key));
    d.lines.push_back(Posting(party, false, grosze, "130", text, key));
    Emit(d);
  };

  invoice("201-9001", 50000, 11500, "FS 1/12/J", 2);

  invoice("201-9002", 81301, 18699, "FS 2/12/K", 3);
  {
    Document d;
    d.kind = "KF";
    d.booking = Day(6, 12, y);
    d.document_date = d.booking;
    d.operation_date = d.booking;
    d.numbered = true;
    const std::string text = "korekta sprzedaży"_w;
    const std::string key = "KOR*FS 2/12/K";
    d.lines.push_back(Posting("201-9002", true, -123000, "700-01", text, key, Day(20, 12, y)));
    d.lines.push_back(Posting("700-01", false, -100000, "201-9002", text, key));
    d.lines.push_back(Posting("221-1", false, -23000, "201-9002", "VAT należny - korekta"_w, key));
    Emit(d);
  }
  payment("201-9002", 30000, "FS 2/12/K", 9);

  invoice("201-9003", 100000, 23000, "FS LODZ/12", 4);
  payment("201-9003", 123000, "WB*fs łódź/12"_w, 11);
}

}  // namespace zel::demo
