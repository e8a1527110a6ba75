// The deliberate faults of the audit's sample year: one posting document of
// December for each, every document balanced, so that only the annual-file
// audit (not the journals' balance checks) has something to say about them.
#include "app/demo_build.hpp"
#include "common/cp1250.hpp"

namespace zel::demo {

void Builder::AddAuditFaults() {
  auto line = [](const char* account, bool debit, std::int64_t grosze, const char* counter,
                 const char* text) {
    Line l;
    l.account = account;
    l.debit = debit;
    l.grosze = grosze;
    l.counter = counter;
    l.text = Utf8ToWin(text);
    return l;
  };
  auto note = [this](int day, std::initializer_list<Line> lines) {
    Document d;
    d.kind = "PK";
    d.booking = d.document_date = d.operation_date = Day(day, 12, options.year);
    d.lines = lines;
    d.numbered = true;
    Emit(d);
  };
  // A symbol typed too short: "24" is only the group in the chart.
  note(16, {line("24", true, 25000, "240-1", "rozrachunek na zespół 24"),
            line("240-1", false, 25000, "24", "rozrachunek na zespół 24")});
  // A synthetic account nobody has put into the chart.
  note(17, {line("245", true, 48000, "240-1", "konto spoza planu"),
            line("240-1", false, 48000, "245", "konto spoza planu")});
  // The result account closed on one side only.
  note(18, {line("860", true, 100000, "820", "przeksięgowanie wyniku"),
            line("820", false, 100000, "860", "przeksięgowanie wyniku")});
  // A cost of December whose group-5 mirror is booked in January, in the
  // next year's books.
  note(19, {line("402", true, 73000, "240-1", "usługa grudniowa, rozliczenie w styczniu"),
            line("240-1", false, 73000, "402", "usługa grudniowa, rozliczenie w styczniu")});
  // A refund of costs booked on the credit side of a cost account instead
  // of as a reversal of its debit.
  note(20, {line("240-1", true, 15000, "409", "zwrot kosztów"),
            line("409", false, 15000, "240-1", "zwrot kosztów")});
}

}  // namespace zel::demo
