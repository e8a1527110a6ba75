#include "books/journal_select.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <set>

#include "books/journal_posting.hpp"
#include "books/journal_rewrite.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_values.hpp"
#include "output/report_document.hpp"
#include "shell/file_access.hpp"
#include "shell/questions.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr int kDocumentWidth = 12;

bool Fail(OptionServices& window, int field, const std::string& text) {
  ShowStatus(text, kWarning);
  window.FieldError(field, text);
  return false;
}

std::string_view TextAt(const std::uint8_t* p, std::size_t offset, std::size_t capacity) {
  const std::size_t n = std::min<std::size_t>(p[offset], capacity);
  return {reinterpret_cast<const char*>(p + offset + 1), n};
}

// Writes a string[capacity] at offset: length byte, text, zeros after it.
void PutText(std::uint8_t* p, std::size_t offset, std::size_t capacity, std::string_view text) {
  const std::size_t n = std::min(text.size(), capacity);
  p[offset] = static_cast<std::uint8_t>(n);
  std::memcpy(p + offset + 1, text.data(), n);
  std::memset(p + offset + 1 + n, 0, capacity - n);
}

DayNo DayAt(const std::uint8_t* p, std::size_t offset) {
  return static_cast<DayNo>(p[offset] | (p[offset + 1] << 8));
}
void PutDay(std::uint8_t* p, std::size_t offset, DayNo d) {
  p[offset] = static_cast<std::uint8_t>(d & 0xFF);
  p[offset + 1] = static_cast<std::uint8_t>(d >> 8);
}

bool IsControlRecord(const std::uint8_t* p) { return p[71] == 0xFF && p[72] == 0xFF; }
std::string_view DocumentOf(const std::uint8_t* p) { return TextAt(p, 28, 12); }

// A signed whole number typed in a field ("+5", "-12", " 3 "); false for
// anything else.
bool ParseSigned(std::string_view text, std::int64_t* out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.size() > 9) return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), *out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// Both outputs named, not like the source and not like each other.
bool CheckOutputs(std::string_view source, std::string_view rob1, std::string_view rob2,
                  OptionServices& window) {
  if (!ValidJournalName(rob1)) return Fail(window, kFieldRob1, "Podaj nazwę zbioru"_w);
  if (!ValidJournalName(rob2)) return Fail(window, kFieldRob2, "Podaj nazwę zbioru"_w);
  if (SameJournalName(rob1, source))
    return Fail(window, kFieldRob1, "Zbiór wynikowy nie może być zbiorem źródłowym"_w);
  if (SameJournalName(rob2, source))
    return Fail(window, kFieldRob2, "Zbiór wynikowy nie może być zbiorem źródłowym"_w);
  if (SameJournalName(rob1, rob2))
    return Fail(window, kFieldRob2, "Dwa zbiory wynikowe muszą się różnić"_w);
  return true;
}

void SumRecord(const std::uint8_t* p, PostingSums* s) {
  if (IsControlRecord(p)) return;
  Amount a = 0;
  if (!DecodeAmount(p + 73, &a)) return;
  ++s->postings;
  (p[43] != 0 ? s->debit : s->credit) += a;
}

}  // namespace

void DocumentChoice::Prepare() {
  expanded_.clear();
  for (const std::string& m : masks)
    if (!m.empty()) expanded_.push_back(MaskExpand(m, kDocumentWidth));
}

bool DocumentChoice::Selects(std::string_view number) const {
  if (Empty()) return false;
  if (!expanded_.empty() &&
      std::none_of(expanded_.begin(), expanded_.end(),
                   [&](const std::string& m) { return MaskMatches(m, number); })) {
    return false;
  }
  if (!first.empty() && CompareSymbols(number, first) < 0) return false;
  if (!last.empty() && CompareSymbols(number, last) > 0) return false;
  return true;
}

bool SplitJournal(const SplitParams& p_in, OptionServices& window) {
  SplitParams p = p_in;
  if (!ValidJournalName(p.source_name))
    return Fail(window, kFieldRoczSplit, "Podaj nazwę zbioru"_w);
  const std::string source_path = JournalPath(p.source_name);
  if (!FileExists(source_path)) return Fail(window, kFieldRoczSplit, "Nie ma " + source_path);
  if (!CheckOutputs(p.source_name, p.rob1, p.rob2, window)) return false;

  std::vector<std::string> masks;
  std::string wanted;
  switch (p.by) {
    case SplitBy::kSourceFile:
      if (!ValidJournalName(p.text)) return Fail(window, kFieldZrod, "Podaj nazwę zbioru źródłowego"_w);
      break;
    case SplitBy::kAccounts:
      for (const std::string& m : p.account_masks)
        if (!m.empty()) masks.push_back(MaskExpand(m, 25));
      if (masks.empty()) return Fail(window, kFieldKonW, "Podaj wybrane konta"_w);
      break;
    case SplitBy::kDocuments:
      if (p.documents.Empty()) return Fail(window, kFieldDowW, "Podaj wybrane dowody"_w);
      p.documents.Prepare();
      break;
    case SplitBy::kBookingDates:
      if (p.from == 0 || p.to < p.from) return Fail(window, kFieldDaOdSplit, "Popraw okres"_w);
      break;
    case SplitBy::kAccountName:
      wanted = UpperPl(p.text);
      if (wanted.empty()) return Fail(window, kFieldText, "Podaj tekst do szukania"_w);
      break;
  }
  ChartTable& chart = p.chart ? *p.chart : Chart();

  const std::string path1 = JournalPath(p.rob1);
  const std::string path2 = JournalPath(p.rob2);
  RewriteClaims claims;
  for (const std::string* path : {&source_path, &path1, &path2}) {
    if (!claims.Claim(*path)) {
      window.FieldError(kFieldRoczSplit, LastMessage());
      return false;
    }
  }
  for (const std::string* path : {&path1, &path2}) {
    if (FileExists(*path)) {
      ShowStatus(Concat({"Jest już "_w, *path}), kInfo);
      if (AskQuestion('N', "Zastąpić"_w) != 0)
        return Fail(window, path == &path1 ? kFieldRob1 : kFieldRob2, "Przerwano - nic nie zmieniono"_w);
    }
  }

  File source;
  if (!OpenShared(source, source_path, Share::kDenyWrite, "WWg")) {
    window.SetReturnField(kFieldRoczSplit);
    return false;
  }
  // An output that exists is held exclusively until it is replaced: a
  // workstation still reading it finishes first, and none starts meanwhile.
  File held1, held2;
  if (FileExists(path1) && !ProtectedOpen(held1, path1, Access::kReadWrite, Share::kExclusive,
                                          Disposition::kOpenExisting, "WWg")) {
    window.SetReturnField(kFieldRob1);
    return false;
  }
  if (FileExists(path2) && !ProtectedOpen(held2, path2, Access::kReadWrite, Share::kExclusive,
                                          Disposition::kOpenExisting, "WWg")) {
    window.SetReturnField(kFieldRob2);
    return false;
  }
  NewJournal out1(path1), out2(path2);
  if (!out1.Create()) return Fail(window, kFieldRob1, RewriteFailed(path1));
  if (!out2.Create()) return Fail(window, kFieldRob2, RewriteFailed(path2));

  // The account name of the last symbol looked up (names repeat in runs).
  std::string last_symbol, last_name;
  bool last_symbol_set = false;
  auto matches = [&](const std::uint8_t* r) {
    switch (p.by) {
      case SplitBy::kSourceFile: return SameJournalName(TextAt(r, 167, 8), p.text);
      case SplitBy::kAccounts: {
        const std::string_view account = TextAt(r, 0, 25);
        return std::any_of(masks.begin(), masks.end(),
                           [&](const std::string& m) { return MaskMatches(m, account); });
      }
      case SplitBy::kDocuments: return p.documents.Selects(DocumentOf(r));
      case SplitBy::kBookingDates: {
        const DayNo d = DayAt(r, 26);
        return d >= p.from && d <= p.to;
      }
      case SplitBy::kAccountName: {
        const std::string_view account = TextAt(r, 0, 25);
        if (!last_symbol_set || account != last_symbol) {
          last_symbol.assign(account);
          last_symbol_set = true;
          std::size_t slot = 0;
          last_name = chart.Contains(account, &slot) ? UpperPl(chart.At(slot).name.view()) : "";
        }
        return last_name.find(wanted) != std::string::npos;
      }
    }
    return false;
  };

  PostingSums sums1, sums2;
  std::int64_t controls1 = 0, controls2 = 0;
  std::string last_document;
  bool last_went_first = false, have_last = false;
  bool write_ok = true;
  const bool read_ok = ForEachRecordChunk(source, [&](const std::uint8_t* chunk, std::size_t n) {
    for (std::size_t i = 0; i < n && write_ok; ++i) {
      const std::uint8_t* r = chunk + i * kJournalRecordSize;
      bool first;
      if (IsControlRecord(r)) {
        first = have_last && last_went_first && DocumentOf(r) == last_document;
        ++(first ? controls1 : controls2);
      } else {
        first = matches(r);
        last_document.assign(DocumentOf(r));
        last_went_first = first;
        have_last = true;
        SumRecord(r, first ? &sums1 : &sums2);
      }
      write_ok = (first ? out1 : out2).Put(r);
    }
    return write_ok && !window.AbortRequested();
  });
  if (!write_ok) return Fail(window, kFieldRob1, RewriteFailed(path1));
  if (!read_ok) {
    if (window.AbortRequested()) return Fail(window, kFieldRoczSplit, "Przerwano - nic nie zmieniono"_w);
    return Fail(window, kFieldRoczSplit,
                Concat({"Błąd odczytu "_w, source_path, " (", IoErrorText(LastIoError()),
                        "); nic nie zmieniono"_w}));
  }
  if (!out1.Finish()) return Fail(window, kFieldRob1, RewriteFailed(path1));
  if (!out2.Finish()) return Fail(window, kFieldRob2, RewriteFailed(path2));
  if (!out1.Commit()) return Fail(window, kFieldRob1, RewriteFailed(path1));
  if (!out2.Commit()) {
    // The first output is already in place; the second one stays old.
    const std::string text = RewriteFailed(path2);
    return Fail(window, kFieldRob2, Concat({text, "; "_w, p.rob1, " zapisany"_w}));
  }
  source.Close();

  RapStart(p.source_name, Concat({"PODZIAŁ ZBIORU "_w, p.source_name}), 1);
  RapKol('l', 30, "Zbiór"_w, "");
  RapKol('p', 9, "Liczba", "dekretów"_w);
  RapKol('p', 7, "Zapisy", "kontr."_w);
  RapKol('p', 15, "Suma", "Wn");
  RapKol('p', 15, "Suma", "Ma");
  RapNag("");
  RapWiersz(Concat({p.rob1, " (zgodne)"_w}), IntText(sums1.postings, 9), IntText(controls1, 7),
            Amount15(sums1.debit), Amount15(sums1.credit));
  RapWiersz(Concat({p.rob2, " (pozostałe)"_w}), IntText(sums2.postings, 9), IntText(controls2, 7),
            Amount15(sums2.debit), Amount15(sums2.credit));
  RapLinia('-');
  PostingSums all = sums1;
  all.Add(sums2);
  RapWiersz(Concat({p.source_name, " (razem)"_w}), IntText(all.postings, 9),
            IntText(controls1 + controls2, 7), Amount15(all.debit), Amount15(all.credit));
  return true;
}

namespace {

// The number's part to shift: from the position of "[" in the fragment to
// the position before "]" (to the end of the number when there is no "]":
// the field holds 12 characters, as many as a number). With no "[" at all,
// the trailing digits of each number.
struct Fragment {
  bool given = false;
  std::size_t start = 0;
  std::size_t width = 0;  // 0 with `given`: to the end of the number
};

bool ParseFragment(std::string_view text, Fragment* f) {
  const std::size_t open = text.find('[');
  const std::size_t close = text.find(']');
  if (open == std::string_view::npos) return text.empty();
  if (close != std::string_view::npos && close <= open + 1) return false;
  f->given = true;
  f->start = open;
  f->width = close == std::string_view::npos ? 0 : close - open - 1;
  return f->start < kDocumentWidth && f->start + f->width <= kDocumentWidth;
}

// The shifted number, or false (with the reason) when it cannot be shifted.
bool ShiftNumber(std::string_view number, const Fragment& f, std::int64_t by, std::string* out,
                 std::string* why) {
  std::size_t start = f.start, width = f.width;
  if (f.given && width == 0) width = number.size() > start ? number.size() - start : 0;
  if (!f.given) {
    std::size_t digits = 0;
    while (digits < number.size() && number[number.size() - 1 - digits] >= '0' &&
           number[number.size() - 1 - digits] <= '9') {
      ++digits;
    }
    start = number.size() - digits;
    width = digits;
  }
  if (width == 0 || start + width > number.size()) {
    *why = "brak cyfr do przesunięcia"_w;
    return false;
  }
  std::int64_t value = 0;
  for (std::size_t i = start; i < start + width; ++i) {
    const char c = number[i];
    if (c < '0' || c > '9') {
      *why = "we wskazanym fragmencie nie same cyfry"_w;
      return false;
    }
    value = value * 10 + (c - '0');
  }
  value += by;
  std::string digits = std::to_string(value < 0 ? 0 : value);
  if (value < 0 || digits.size() > width) {
    *why = "przesunięty numer nie mieści się we fragmencie"_w;
    return false;
  }
  digits.insert(0, width - digits.size(), '0');
  *out = std::string(number);
  out->replace(start, width, digits);
  return true;
}

}  // namespace

bool ChangeDocuments(const ChangeParams& p_in, OptionServices& window) {
  ChangeParams p = p_in;
  if (!ValidJournalName(p.working_name))
    return Fail(window, kFieldRoboChange, "Podaj nazwę zbioru"_w);
  const std::string path = JournalPath(p.working_name);
  if (!FileExists(path)) return Fail(window, kFieldRoboChange, "Nie ma " + path);
  if (p.kind != ChangeKind::kSourceFile) {
    if (p.documents.Empty()) return Fail(window, kFieldDowW, "Podaj wybrane dowody"_w);
    p.documents.Prepare();
  }
  Fragment fragment;
  std::int64_t shift = 0, debit_days = 0, credit_days = 0;
  switch (p.kind) {
    case ChangeKind::kNumber:
      if (p.new_number.empty() || p.new_number.size() > kDocumentWidth)
        return Fail(window, kFieldDoNo, "Podaj nowy numer dowodu"_w);
      break;
    case ChangeKind::kShift:
      if (!ParseFragment(p.fragment, &fragment))
        return Fail(window, kFieldDowF, "Wskaż fragment numeru w nawiasach [ ]"_w);
      if (!ParseSigned(p.shift, &shift) || shift == 0)
        return Fail(window, kFieldDowG, "Podaj przesunięcie (liczba całkowita)"_w);
      break;
    case ChangeKind::kBookingDate:
      if (p.new_date == 0) return Fail(window, kFieldDatD, "Podaj nową datę księgowania"_w);
      break;
    case ChangeKind::kDueDates:
      if ((!p.debit_days.empty() && !ParseSigned(p.debit_days, &debit_days)) ||
          std::abs(debit_days) > 9999) {
        return Fail(window, kFieldTeWn, "Popraw liczbę dni"_w);
      }
      if ((!p.credit_days.empty() && !ParseSigned(p.credit_days, &credit_days)) ||
          std::abs(credit_days) > 9999) {
        return Fail(window, kFieldTeMa, "Popraw liczbę dni"_w);
      }
      if (debit_days == 0 && credit_days == 0)
        return Fail(window, kFieldTeWn, "Podaj przesunięcie terminu"_w);
      break;
    case ChangeKind::kSourceFile: break;
  }

  RewriteClaims claims;
  if (!claims.Claim(path)) {
    window.FieldError(kFieldRoboChange, LastMessage());
    return false;
  }
  File file;
  if (!ProtectedOpen(file, path, Access::kReadWrite, Share::kExclusive,
                     Disposition::kOpenExisting, "Zmi")) {
    window.SetReturnField(kFieldRoboChange);
    return false;
  }
  std::string bytes;
  if (!ReadJournalBytes(file, &bytes)) {
    return Fail(window, kFieldRoboChange,
                Concat({"Błąd odczytu "_w, path, " (", IoErrorText(LastIoError()), ")"}));
  }
  auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
  const std::size_t n = bytes.size() / kJournalRecordSize;

  // The documents chosen and, for number changes, what each becomes.
  std::map<std::string, std::string> renamed;  // old number -> new number
  std::set<std::string> others;                // numbers of documents not chosen
  std::vector<bool> chosen(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view doc = DocumentOf(data + i * kJournalRecordSize);
    chosen[i] = p.kind == ChangeKind::kSourceFile || p.documents.Selects(doc);
    if (chosen[i])
      renamed.try_emplace(std::string(doc), std::string(doc));
    else
      others.emplace(doc);
  }
  if (renamed.empty()) return Fail(window, kFieldDowW, "Nie wybrano żadnego dowodu"_w);

  if (p.kind == ChangeKind::kNumber) {
    if (renamed.size() > 1) {
      return Fail(window, kFieldDowW,
                  Concat({"Wybrano "_w, std::to_string(renamed.size()),
                          " dowodów; nowy numer można dać tylko jednemu"_w}));
    }
    renamed.begin()->second = p.new_number;
  } else if (p.kind == ChangeKind::kShift) {
    for (auto& [old_no, new_no] : renamed) {
      std::string why;
      if (!ShiftNumber(old_no, fragment, shift, &new_no, &why))
        return Fail(window, kFieldDowF, Concat({"Dowód "_w, old_no, ": ", why}));
    }
  }
  if (p.kind == ChangeKind::kNumber || p.kind == ChangeKind::kShift) {
    for (const auto& [old_no, new_no] : renamed) {
      if (others.count(new_no) != 0) {
        return Fail(window, p.kind == ChangeKind::kNumber ? kFieldDoNo : kFieldDowG,
                    Concat({"Dowód "_w, new_no, " już jest w zbiorze "_w, p.working_name}));
      }
    }
  }

  // The changes, on the copy in memory; the count of records changed.
  std::int64_t changed = 0, kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!chosen[i]) continue;
    std::uint8_t* r = data + i * kJournalRecordSize;
    bool did = false;
    switch (p.kind) {
      case ChangeKind::kNumber:
      case ChangeKind::kShift: {
        const std::string& to = renamed[std::string(DocumentOf(r))];
        if (DocumentOf(r) != to) {
          PutText(r, 28, kDocumentWidth, to);
          did = true;
        }
        break;
      }
      case ChangeKind::kBookingDate:
        if (DayAt(r, 26) != p.new_date) {
          PutDay(r, 26, p.new_date);
          did = true;
        }
        break;
      case ChangeKind::kDueDates: {
        const DayNo due = DayAt(r, 124);
        const std::int64_t by = r[43] != 0 ? debit_days : credit_days;
        // A due date not given stays not given: the reports put their own
        // default in its place, counted from the booking date.
        if (IsControlRecord(r) || due == 0 || by == 0) break;
        const std::int64_t moved = std::int64_t{due} + by;
        if (moved < 1 || moved > 0xFFFF) {
          return Fail(window, kFieldTeWn,
                      Concat({"Dowód "_w, DocumentOf(r), ": termin poza zakresem dat"_w}));
        }
        PutDay(r, 124, static_cast<DayNo>(moved));
        did = true;
        break;
      }
      case ChangeKind::kSourceFile:
        if (TextAt(r, 167, 8) != p.working_name) {
          PutText(r, 167, 8, p.working_name);
          did = true;
        }
        break;
    }
    ++(did ? changed : kept);
  }
  if (changed == 0) return Fail(window, kFieldRoboChange, "Nic do zmiany - zbiór bez zmian"_w);

  // A working file already posted keeps its old version in the annual file:
  // the change would make the two disagree, so the user decides knowingly.
  const std::string annual(DbSettings.annual_journal.view());
  if (!annual.empty()) {
    for (const std::string& posted : PostedFiles(annual)) {
      if (!SameJournalName(posted, p.working_name)) continue;
      ShowStatus(Concat({"Zbiór "_w, p.working_name, " jest już zaksięgowany do "_w, annual,
                         " - zmiana nie dotrze do zbioru rocznego"_w}),
                 kWarning);
      if (AskQuestion('N', "Zmienić mimo to"_w) != 0)
        return Fail(window, kFieldRoboChange, "Przerwano - nic nie zmieniono"_w);
      break;
    }
  }
  ShowStatus(Concat({"W "_w, p.working_name, " zmieniam "_w, std::to_string(changed),
                     " zapisów w "_w, std::to_string(renamed.size()), " dowodach"_w}),
             kInfo);
  if (AskQuestion('T', "Zmienić"_w) != 0)
    return Fail(window, kFieldRoboChange, "Przerwano - nic nie zmieniono"_w);

  NewJournal out(path);
  if (!out.Create() || !out.Put(data, n) || !out.Finish() || !out.Commit())
    return Fail(window, kFieldRoboChange, RewriteFailed(path));
  file.Close();

  static const char* const kTitles[] = {"ZMIANA NUMERU DOWODU", "PRZESUW NUMERÓW DOWODÓW",
                                        "ZMIANA DATY KSIĘGOWANIA", "ZMIANA TERMINU ZAPŁATY",
                                        "ZMIANA ZBIORU ŹRÓDŁOWEGO"};
  RapStart(p.working_name,
           Concat({Utf8ToWin(kTitles[static_cast<int>(p.kind)]), " W ", p.working_name}), 1);
  RapKol1('p', 5, "Lp");
  RapKol('l', 12, "Dowód"_w, "");
  RapKol('l', 30, "Zmiana", "");
  RapNag(Concat({"zmienionych zapisów: "_w, std::to_string(changed), ", bez zmian: "_w,
                 std::to_string(kept)}));
  std::string what;
  switch (p.kind) {
    case ChangeKind::kBookingDate: what = "data księgowania "_w + DayToText10(p.new_date); break;
    case ChangeKind::kDueDates:
      what = Concat({"termin Wn "_w, IntTextOrZero(debit_days), ", Ma "_w,
                     IntTextOrZero(credit_days), " dni"});
      break;
    case ChangeKind::kSourceFile: what = "zbiór źródłowy "_w + p.working_name; break;
    default: break;
  }
  int lp = 0;
  for (const auto& [old_no, new_no] : renamed) {
    const std::string change =
        (p.kind == ChangeKind::kNumber || p.kind == ChangeKind::kShift) ? "-> " + new_no : what;
    RapWiersz(IntText(++lp, 5), old_no, change);
  }
  return true;
}

}  // namespace zel
