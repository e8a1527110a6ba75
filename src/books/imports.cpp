// Reading the rows of imported sheets into records, and writing them.
#include "books/imports.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/record_file_writer.hpp"

namespace zel {
namespace {

// Progress and the user's Esc, every 100 rows.
bool Aborted(OptionServices* window, int row) {
  if (window == nullptr || row % 100 != 0) return false;
  window->Progress("Czytam wiersz"_w, row, 0);
  return window->AbortRequested();
}

// The day of a date text YYYY-MM-DD, or 0 when the text is no real date of
// the years the program can hold. Two-digit years stand for 1940..2039, so
// a year outside them (1925 would be read as 2025) is no date either, nor
// is a day past its month's end (31 February would run on into March).
DayNo DayOfIsoDate(std::string_view t) {
  if (t.size() != 10 || t[4] != '-' || t[7] != '-') return 0;
  for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
    if (t[i] < '0' || t[i] > '9') return 0;
  auto num = [&t](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (t[i] - '0');
    return v;
  };
  const int year = num(0, 4), month = num(5, 2), day = num(8, 2);
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1940 || year > 2039 || month < 1 || month > 12 || day < 1) return 0;
  // Every fourth year is a leap year, 2000 included, within 1940..2039.
  const int last = kDays[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
  if (day > last) return 0;
  return DayFromParts(day, month, year % 100);
}

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string RowText(int n) { return std::to_string(n); }

// The number of an amount cell, as ParseNumber reads it. The usual cell of
// a dBase numeric column ("-1234.50") is read here directly: its digits as
// an integer divided by a power of ten, rounded once, which is the value
// ParseNumber's decimal reading gives. Anything else goes to ParseNumber.
Amount AmountOfCell(std::string_view t) {
  std::size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0, decimals = 0;
  bool point = false, any = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      if (++count > 19) return ParseNumber(t);
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      if (point) ++decimals;
      any = true;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
    } else {
      return ParseNumber(t);
    }
  }
  if (!any || (point && decimals == 0)) return ParseNumber(t);
  // One of a row's two amount columns is mostly zero: no division for it.
  if (digits == 0) return negative ? -0.0L : 0.0L;
  static const Amount kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                   1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                   1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
  const Amount v = static_cast<Amount>(digits) / kPowers[decimals];
  return negative ? -v : v;
}

// A length-prefixed text field in a zeroed record, cut to its capacity.
void PutRecordText(std::uint8_t* p, std::size_t capacity, std::string_view text) {
  const std::size_t len = std::min(text.size(), capacity);
  p[0] = static_cast<std::uint8_t>(len);
  if (len > 0) std::memcpy(p + 1, text.data(), len);
}

}  // namespace

bool ReadDbfChart(ImportSheet& sheet, OptionServices* window, ChartImport* out) {
  struct Row {
    AccountRecord record;
    int row;
  };
  std::vector<Row> rows;
  const int last = sheet.Rows();
  for (int r = 2; r <= last; ++r) {
    if (Aborted(window, r)) return false;
    AccountRecord a;
    a.symbol = sheet.Cell(r, 1);
    if (a.symbol.empty()) break;
    a.name = sheet.Cell(r, 2);
    a.address = sheet.Cell(r, 18);
    a.extra = Concat({sheet.Cell(r, 6), " ", sheet.Cell(r, 7)});
    rows.push_back({a, r - 1});  // named by record number, as the turnovers are
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) {
    return CompareSymbols(x.record.symbol.view(), y.record.symbol.view()) < 0;
  });
  out->records.clear();
  out->records.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i + 1 < rows.size() && rows[i].record.symbol == rows[i + 1].record.symbol.view()) {
      out->warnings.push_back(Concat({"Powtórzony symbol "_w, rows[i].record.symbol.view(),
                                      " w wierszach "_w, RowText(rows[i].row), " i ",
                                      RowText(rows[i + 1].row), ", zostaje późniejszy"_w}));
      continue;
    }
    out->records.push_back(rows[i].record);
  }
  return true;
}

void ReadXlsChart(ImportSheet& sheet, bool legacy_letters, ChartImport* out) {
  int sym = 6, sym1 = 7, sym2 = 8, naz = 9, adr = 0, dod = 0, nip = 0, has = 0;
  for (int c = 1; c <= 50; ++c) {
    const std::string h = UpperPl(sheet.Cell(1, c));
    if (h == "SYM") sym = c;
    else if (h == "SYM1") sym1 = c;
    else if (h == "SYM2") sym2 = c;
    else if (h == "NAZ") naz = c;
    else if (h == "ADR") adr = c;
    else if (h == "DOD") dod = c;
    else if (h == "NIP") nip = c;
    else if (h == "HAS") has = c;
  }
  std::vector<std::uint8_t> unknown;
  int empty_run = 0;
  const int last = sheet.Rows();
  for (int r = 1; r <= last && empty_run < 8; ++r) {
    AccountRecord a;
    std::string symbol = sheet.Cell(r, sym);
    for (int part : {sym1, sym2}) {
      const std::string p = sheet.Cell(r, part);
      if (!p.empty() && p != "000") symbol = Concat({symbol, "-", p});
    }
    a.symbol = symbol;
    if (a.symbol.empty()) {
      ++empty_run;
      continue;
    }
    empty_run = 0;
    std::string name = sheet.Cell(r, naz);
    if (legacy_letters) name = LegacyLetters(name, &unknown);
    a.name = name;
    a.address = adr > 0 ? sheet.Cell(r, adr) : std::string();
    a.extra = dod > 0 ? sheet.Cell(r, dod) : std::string();
    a.nip = nip > 0 ? sheet.Cell(r, nip) : std::string();
    a.shortName = has > 0 ? sheet.Cell(r, has) : std::string();
    if (a.shortName.empty()) a.shortName = a.name.view();
    if (a.address.empty()) {
      const std::string_view n = a.name.view();
      const std::size_t comma = n.find(',');
      if (comma != std::string_view::npos) {
        std::string_view rest = n.substr(comma + 1);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        a.address = rest;
        a.name = std::string(n.substr(0, comma));
      }
    }
    if (CompareSymbols(a.symbol.view(), "/") > 0 && CompareSymbols(a.symbol.view(), ":") < 0)
      out->records.push_back(a);
  }
  for (std::uint8_t b : unknown)
    out->warnings.push_back(Concat({"Nieznany znak w nazwie: "_w, std::to_string(b)}));
}

bool ReadDbfTurnovers(ImportSheet& sheet, OptionServices* window, TurnoverImport* out,
                      std::string* err) {
  out->records.clear();
  out->count = 0;
  out->unnumbered = false;
  const int last = sheet.Rows();
  // Every row becomes one journal record written straight into the buffer,
  // zeroed as it grows by a record (one pass over the memory): only the
  // fields a row sets are filled in, the rest stay zero.
  const std::size_t most = static_cast<std::size_t>(last > 1 ? last - 1 : 0);
  out->records.clear();
  out->records.reserve(most * kJournalRecordSize);
  const std::array<char, 256>& to_dos = WinToDosTable();
  namespace f = journal_field;
  // The cells of a row as views (into the sheet's row or into one kept text
  // per column), kept from row to row.
  std::array<std::string, 9> scratch;
  std::array<std::string_view, 9> c;
  for (int r = 2; r <= last; ++r) {
    if (Aborted(window, r)) {
      *err = "Przerwano"_w;
      return false;
    }
    const int n = r - 1;
    sheet.RowViews(r, 8, c.data() + 1, scratch.data() + 1);
    if (c[4].empty()) break;
    const std::string_view date = TrimView(c[3]);
    const DayNo booking = DayOfIsoDate(date);
    if (booking == 0) {
      *err = Concat({"Wiersz "_w, RowText(n), ": \"", date, "\" to nie data RRRR-MM-DD"_w});
      return false;
    }
    const Amount debit = AmountOfCell(TrimView(c[5]));
    const Amount credit = AmountOfCell(TrimView(c[6]));
    // Amounts that round to nothing at four decimals count as none.
    const bool is_debit = debit != 0 && Round4(debit) != 0;
    const bool is_credit = credit != 0 && Round4(credit) != 0;
    if (is_debit && is_credit) {
      *err = Concat({"Wiersz "_w, RowText(n), ": kwota i po stronie Wn, i Ma"_w});
      return false;
    }
    out->records.resize((out->count + 1) * kJournalRecordSize);
    std::uint8_t* p = out->records.data() + out->count * kJournalRecordSize;
    PutRecordText(p + f::kAccount, AccountSymbol::kCapacity, c[4]);
    PutRecordU16(p + f::kBookingDate, booking);
    // The document number is column 1, "-" and column 2, cut to its field.
    {
      std::uint8_t* d = p + f::kDocumentNo;
      const std::size_t cap = decltype(JournalEntry::documentNo)::kCapacity;
      std::size_t len = std::min(c[1].size(), cap);
      if (len > 0) std::memcpy(d + 1, c[1].data(), len);
      if (len < cap) d[1 + len++] = '-';
      const std::size_t rest = std::min(c[2].size(), cap - len);
      if (rest > 0) std::memcpy(d + 1 + len, c[2].data(), rest);
      d[0] = static_cast<std::uint8_t>(len + rest);
    }
    if (n <= kLastEntryNo) {
      PutRecordU16(p + f::kEntryNo, static_cast<std::uint16_t>(n));
    } else {
      out->unnumbered = true;  // entry number 0
    }
    p[f::kSide] = is_debit ? 255 : 0;
    if (n <= kLastJournalNo) PutRecordU16(p + f::kJournalNo, static_cast<std::uint16_t>(n));
    EncodeAmount(is_debit ? debit : credit, p + f::kAmount);
    // The settlement key is kept in the DOS letters of its field.
    {
      std::uint8_t* k = p + f::kTransactionNo;
      const std::size_t len =
          std::min(c[7].size(), decltype(JournalEntry::transactionNo)::kCapacity);
      k[0] = static_cast<std::uint8_t>(len);
      for (std::size_t i = 0; i < len; ++i)
        k[1 + i] = static_cast<std::uint8_t>(to_dos[static_cast<unsigned char>(c[7][i])]);
    }
    PutRecordText(p + f::kExtraCode, decltype(JournalEntry::extraCode)::kCapacity, c[8]);
    ++out->count;
  }
  return true;
}

namespace {

// True when the two Zel paths name one file (also through another spelling).
bool SameFile(std::string_view a, std::string_view b) {
  if (NativePath(a) == NativePath(b)) return true;
  FileInfo fa, fb;
  return GetFileInfo(a, &fa) && GetFileInfo(b, &fb) && fa.exists && fb.exists &&
         fa.file_id != 0 && fa.file_id == fb.file_id;
}

bool Written(std::string_view path, std::size_t count) {
  ShowStatus(Concat({"Zapisano "_w, path, " (", std::to_string(count), ")"}), kSuccess);
  return true;
}

}  // namespace

bool WriteImportedChart(std::string_view path, const std::vector<AccountRecord>& records) {
  if (!ChartPath.empty() && SameFile(path, ChartPath.view())) {
    ShowStatus(Concat({"Nie zapiszę "_w, path, ": to plan kont w użyciu"_w}), kWarning);
    return false;
  }
  std::string message;
  const bool ok = ReplaceRecordFile(
      path, records.size(), kAccountRecordSize,
      [&records](std::size_t i, std::uint8_t* p) {
        AccountRecord r = records[i];
        AccountTextsToDos(r);
        EncodeAccountRecord(r, p);
      },
      "ImpPlan", &message);
  if (!ok) {
    ShowStatus(message, kWarning);
    return false;
  }
  return Written(path, records.size());
}

bool WriteImportedTurnovers(std::string_view path, const TurnoverImport& turnovers) {
  std::string message;
  const bool ok = ReplaceFileBytes(path, turnovers.records.data(),
                                   turnovers.count * kJournalRecordSize, "ImpObr", &message);
  if (!ok) {
    ShowStatus(message, kWarning);
    return false;
  }
  Written(path, turnovers.count);
  if (turnovers.unnumbered) {
    ShowStatus(Concat({"Zapisano "_w, path, " (", std::to_string(turnovers.count),
                       "); wiersze od "_w, std::to_string(kLastEntryNo + 1),
                       " bez numeru pozycji"_w}),
               kSuccess);
  }
  return true;
}

}  // namespace zel
