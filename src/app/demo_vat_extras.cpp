// The sample year's extra VAT registers: entries that carry no postings and
// exist to show how the VAT register and its JPK file treat the harder
// cases. They live in registers of their own, so the journal and every
// report drawn from it stay as they are.
#include <string>

#include "app/demo.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"

namespace zel {

namespace {

DayNo Day(int dd, int mm, int year) {
  return DayFromDdMmYy(TwoDigits(static_cast<std::uint8_t>(dd)) +
                       TwoDigits(static_cast<std::uint8_t>(mm)) +
                       TwoDigits(static_cast<std::uint8_t>(year % 100)));
}

VatEntry Make(const std::string& key, DayNo registered, DayNo invoiced, DayNo vat_date,
              const std::string& nip, const std::string& name, const std::string& address,
              const std::string& text) {
  VatEntry e;
  e.key = key;
  e.number = 1;
  e.registration_date = registered;
  e.invoice_date = invoiced;
  e.vat_date = vat_date;
  e.nip = nip;
  e.name = name;
  e.address = address;
  e.document_no = key;
  e.description = text;
  return e;
}

}  // namespace

void AddVatExtras(DemoYear& year) {
  const int y = year.options.year;
  std::vector<DemoRegister>& extra = year.extra_registers;

  // The previous year's sales register (folder "VAX" when the database
  // folder's name holds no year): one invoice of December VAT-dated in
  // January, one that stays in December.
  DemoRegister previous;
  previous.code = "SPR";
  previous.kind = 'S';
  previous.folder = "VAX";
  VatEntry january = Make("FS 31/12", Day(28, 12, y - 1), Day(28, 12, y - 1), Day(3, 1, y),
                          "5250007313", "Odbiorca Omega Sp. z o.o.",
                          "00-001 Warszawa, ul. Długa 1"_w, "usługa wykonana w styczniu"_w);
  january.lines[0] = {'A', 2000.00L, 460.00L, {}};
  previous.entries.push_back(january);
  VatEntry december = Make("FS 30/12", Day(15, 12, y - 1), Day(15, 12, y - 1), 0, "5250007313",
                           "Odbiorca Omega Sp. z o.o.", "00-001 Warszawa, ul. Długa 1"_w,
                           "sprzedaż grudniowa"_w);
  december.lines[0] = {'A', 500.00L, 115.00L, {}};
  previous.entries.push_back(december);
  extra.push_back(previous);

  // A second purchase register whose VAT the firm settles itself: in a sales
  // run its lines count under letter O.
  DemoRegister settled;
  settled.code = "\"OO";
  settled.kind = 'Z';
  VatEntry nord = Make("FZ OO/1", Day(12, 3, y), Day(11, 3, y), Day(12, 3, y), "SE556677889901",
                       "Usługodawca \"Nord\" & Co. AB"_w, "Storgatan 5, 111 22 Stockholm, Szwecja",
                       "usługa odwrotnie obciążona"_w);
  nord.lines[0] = {'A', 1000.00L, 230.00L, {}};
  settled.entries.push_back(nord);
  extra.push_back(settled);

  // Sales with unusual texts and lines.
  DemoRegister odd;
  odd.code = "DOD";
  odd.kind = 'S';
  VatEntry long_text = Make(
      "FS D/1", Day(10, 3, y), Day(10, 3, y), Day(10, 3, y), "",
      "PrzedsiębiorstwoHandlowoUsługoweBezSpacjiWNazwie"_w,
      "ul.Przemysłowo-Składowa-Wielka-Numer-Dwadzieścia-Trzy/Kraków-Nowa-Huta-Zachód"_w,
      "nazwa i adres bez spacji"_w);
  long_text.reference = "umowa 7/"_w + std::to_string(y);
  long_text.lines[0] = {'A', 300.00L, 69.00L, {}};
  odd.entries.push_back(long_text);
  VatEntry vat_only = Make("FS D/2", Day(14, 3, y), Day(14, 3, y), Day(14, 3, y), "7740001454",
                           "Kowalski & Syn \"Bud-Mar\"", "31-042 Kraków, Rynek Główny 1"_w,
                           "z pozycją samego VAT"_w);
  vat_only.lines[0] = {'A', 800.00L, 184.00L, {}};
  vat_only.lines[1] = {'A', 0.00L, 12.34L, {}};
  odd.entries.push_back(vat_only);
  VatEntry april = Make("FS D/3", Day(31, 3, y), Day(31, 3, y), Day(2, 4, y), "7740001454",
                        "Kowalski & Syn \"Bud-Mar\"", "31-042 Kraków, Rynek Główny 1"_w,
                        "obowiązek podatkowy w kwietniu"_w);
  april.lines[0] = {'A', 1500.00L, 345.00L, {}};
  odd.entries.push_back(april);
  extra.push_back(odd);

  // A damaged register: its size is no multiple of the record, so the VAT
  // register leaves it out.
  DemoRegister damaged;
  damaged.code = "ZLY";
  damaged.kind = 'S';
  damaged.extra_bytes = 17;
  VatEntry lost = Make("FS Z/1", Day(5, 3, y), Day(5, 3, y), Day(5, 3, y), "7740001454",
                       "Kowalski & Syn \"Bud-Mar\"", "31-042 Kraków, Rynek Główny 1"_w,
                       "zapis zbioru uszkodzonego"_w);
  lost.lines[0] = {'A', 100.00L, 23.00L, {}};
  damaged.entries.push_back(lost);
  extra.push_back(damaged);
}

}  // namespace zel
