#include "books/journal_posting.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "books/journal_rewrite.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "output/report_document.hpp"
#include "platform/case_fold.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/questions.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/account_order.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr std::size_t kShownFaults = 1000;  // postings listed by the check at most

bool Fail(OptionServices& window, int field, const std::string& text) {
  ShowStatus(text, kWarning);
  window.FieldError(field, text);
  return false;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view AccountOf(const std::uint8_t* p) {
  return {reinterpret_cast<const char*>(p + 1), p[0] < 25 ? p[0] : std::size_t{25}};
}

bool IsControlRecord(const std::uint8_t* p) { return p[71] == 0xFF && p[72] == 0xFF; }

// Text of a small file of the year folder; false (and empty) when missing.
bool ReadSmallText(const std::string& path, std::string* text, bool* failed) {
  text->clear();
  *failed = false;
  if (!FileExists(path)) return false;
  File f;
  if (!OpenShared(f, path, Share::kDenyWrite, "LacZb:lista") || !f.ReadAll(text)) {
    *failed = true;
    return false;
  }
  return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    out.push_back(Trim(text.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

// The names of a list file's text; false with the reason in *fault at the
// first line that names no working file or names one twice.
bool ParseList(std::string_view text, std::string_view path, std::vector<std::string>* names,
               std::string* fault) {
  for (std::string_view line : Lines(text)) {
    if (line.empty() || line.front() == ';') continue;
    std::string name(line);
    if (name.size() > 4 && FoldCase(name.substr(name.size() - 4)) == ".DFX") name.resize(name.size() - 4);
    if (!ValidJournalName(name)) {
      *fault = Concat({"Zła nazwa zbioru w "_w, path, ": ", line});
      return false;
    }
    for (const std::string& n : *names) {
      if (SameJournalName(n, name)) {
        *fault = Concat({"Zbiór "_w, name, " dwa razy w "_w, path});
        return false;
      }
    }
    names->push_back(std::move(name));
  }
  return true;
}

std::string ListPath(std::string_view list_name) {
  return Concat({DbDir.view(), list_name, ".ZFX"});
}

// The names of a list file, checked.
bool ReadList(std::string_view list_name, std::vector<std::string>* names,
              OptionServices& window) {
  const std::string path = ListPath(list_name);
  std::string text;
  bool failed = false;
  if (!ReadSmallText(path, &text, &failed)) {
    if (failed) {
      window.SetReturnField(kFieldLiZb);
      return false;
    }
    return Fail(window, kFieldLiZb, "Nie ma " + path);
  }
  std::string fault;
  if (!ParseList(text, path, names, &fault)) return Fail(window, kFieldLiZb, fault);
  return true;
}

struct WorkingFile {
  std::string name;
  std::string bytes;                          // whole file
  std::vector<std::uint32_t> postings;        // record numbers of the postings
  PostingSums sums;
};

// Reads a working file whole and picks out its postings; a damaged amount
// refuses the file (its posting would carry a wrong amount into the year).
bool LoadWorking(std::string_view name, WorkingFile* w, OptionServices& window) {
  w->name = std::string(name);
  const std::string path = JournalPath(name);
  if (!FileExists(path)) return Fail(window, kFieldLiZb, "Nie ma " + path);
  File f;
  if (!OpenShared(f, path, Share::kDenyWrite, "LacZb")) {
    window.SetReturnField(kFieldLiZb);
    return false;
  }
  if (!ReadJournalBytes(f, &w->bytes))
    return Fail(window, kFieldLiZb, Concat({"Błąd odczytu "_w, path, " (", IoErrorText(LastIoError()), ")"}));
  const auto* data = reinterpret_cast<const std::uint8_t*>(w->bytes.data());
  const std::size_t n = w->bytes.size() / kJournalRecordSize;
  w->postings.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = data + i * kJournalRecordSize;
    if (IsControlRecord(p)) continue;
    Amount a = 0;
    if (!DecodeAmount(p + 73, &a)) {
      return Fail(window, kFieldLiZb,
                  Concat({"Uszkodzona kwota w "_w, path, " (zapis ", std::to_string(i + 1), ")"}));
    }
    w->postings.push_back(static_cast<std::uint32_t>(i));
    ++w->sums.postings;
    (p[43] != 0 ? w->sums.debit : w->sums.credit) += a;
  }
  return true;
}

const std::uint8_t* Record(const WorkingFile& w, std::uint32_t i) {
  return reinterpret_cast<const std::uint8_t*>(w.bytes.data()) + std::size_t{i} * kJournalRecordSize;
}

std::string AmountPoint(Amount x) {
  std::string s = NumberText(x, 2);
  return s.empty() ? "0" : s;
}

// The program's today (which --today sets in zel-batch) and the clock's time.
std::string StampNow() {
  const DateTime t = Now();
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour % 100, t.minute % 100);
  return Concat({DayToText10(Today), " ", buf});
}

std::string AnnualName(const PostingParams& p) {
  return p.annual_name.empty() ? std::string(DbSettings.annual_journal.view()) : p.annual_name;
}

bool Posted(const std::vector<std::string>& posted, std::string_view name) {
  return std::any_of(posted.begin(), posted.end(),
                     [&](const std::string& n) { return SameJournalName(n, name); });
}

// The working files of a run: the list's, or the month files (with
// `skip_posted`, those not posted yet).
bool ChooseFiles(const PostingParams& p, std::string_view annual, bool skip_posted,
                 std::vector<std::string>* names, OptionServices& window) {
  if (!p.list_name.empty()) {
    if (!ValidJournalName(p.list_name))
      return Fail(window, kFieldLiZb, Concat({"Zła nazwa listy "_w, p.list_name}));
    if (!ReadList(p.list_name, names, window)) return false;
  } else {
    const std::vector<std::string> posted = PostedFiles(annual);
    for (std::string& n : MonthWorkingFiles(annual))
      if (!skip_posted || !Posted(posted, n)) names->push_back(std::move(n));
  }
  for (const std::string& n : *names)
    if (SameJournalName(n, annual))
      return Fail(window, kFieldLiZb, Concat({"Zbiór "_w, n, " jest zbiorem rocznym"_w}));
  return true;
}

// The working files of a run as ChooseFiles picks them, without messages:
// false when the list cannot be read or names a wrong file.
bool QuietChoice(const PostingParams& p, std::string_view annual, std::vector<std::string>* names) {
  if (!p.list_name.empty()) {
    if (!ValidJournalName(p.list_name)) return false;
    const std::string path = ListPath(p.list_name);
    std::string text;
    bool failed = false;
    std::string fault;
    if (!ReadSmallText(path, &text, &failed) || !ParseList(text, path, names, &fault)) return false;
  } else {
    const std::vector<std::string> posted = PostedFiles(annual);
    for (std::string& n : MonthWorkingFiles(annual))
      if (!Posted(posted, n)) names->push_back(std::move(n));
  }
  return std::none_of(names->begin(), names->end(),
                      [&](const std::string& n) { return SameJournalName(n, annual); });
}

void FileRow(int lp, std::string_view name, const PostingSums& s) {
  RapWiersz(IntText(lp, 3), name, IntText(s.postings, 9), Amount15(s.debit), Amount15(s.credit));
}

}  // namespace

std::string PostingJournalLine(std::string_view name, const PostingSums& sums,
                               std::string_view stamp) {
  return Concat({name, ";", std::to_string(sums.postings), ";", AmountPoint(sums.debit), ";",
                 AmountPoint(sums.credit), ";", stamp, "\r\n"});
}

std::string PostingJournalPath(std::string_view annual_name) {
  return Concat({DbDir.view(), annual_name, ".KSG"});
}

std::vector<std::string> PostedFiles(std::string_view annual_name) {
  std::vector<std::string> out;
  std::string text;
  bool failed = false;
  if (!ReadSmallText(PostingJournalPath(annual_name), &text, &failed)) return out;
  for (std::string_view line : Lines(text)) {
    const std::string_view name = Trim(line.substr(0, line.find(';')));
    if (!name.empty()) out.emplace_back(name);
  }
  return out;
}

std::string MonthFileKey(std::string_view name) {
  // A "-" correction sorts after every lettered part of its month.
  std::string key = FoldCase(name);
  for (char& c : key)
    if (c == '-') c = '\x7F';
  return key;
}

std::vector<std::string> MonthWorkingFiles(std::string_view annual_name) {
  std::vector<std::string> names;
  for (const FoundFile& f : FindFiles(Concat({DbDir.view(), "*.DFX"}))) {
    if (f.is_folder || f.name.size() < 6) continue;
    std::string name = f.name.substr(0, f.name.size() - 4);
    if (name.size() < 2 || name[0] < '0' || name[0] > '1' || name[1] < '0' || name[1] > '9')
      continue;
    const int month = (name[0] - '0') * 10 + (name[1] - '0');
    if (month < 1 || month > 12 || !ValidJournalName(name) || SameJournalName(name, annual_name))
      continue;
    names.push_back(std::move(name));
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return MonthFileKey(a) < MonthFileKey(b);
  });
  return names;
}

std::vector<std::string> FilesToPost(const PostingParams& p, bool* ok) {
  std::vector<std::string> names;
  const std::string annual = AnnualName(p);
  *ok = ValidJournalName(annual) && QuietChoice(p, annual, &names);
  if (!*ok) names.clear();
  return names;
}

bool PostWorkingFiles(const PostingParams& p, OptionServices& window) {
  const std::string annual = AnnualName(p);
  if (!ValidJournalName(annual)) return Fail(window, kFieldBiez, "Podaj nazwę zbioru rocznego"_w);
  const std::string annual_path = JournalPath(annual);
  const std::string journal_path = PostingJournalPath(annual);

  std::vector<std::string> names;
  if (!ChooseFiles(p, annual, true, &names, window)) return false;
  if (names.empty()) return Fail(window, kFieldLiZb, "Brak zbiorów do księgowania"_w);
  const std::vector<std::string> posted = PostedFiles(annual);
  for (const std::string& n : names) {
    if (Posted(posted, n)) {
      return Fail(window, kFieldLiZb,
                  Concat({"Zbiór "_w, n, " już zaksięgowany do "_w, annual, " - nie księguję drugi raz"_w}));
    }
  }

  RewriteClaims claims;
  if (!claims.Claim(annual_path) || !claims.Claim(journal_path)) {
    window.FieldError(kFieldBiez, LastMessage());
    return false;
  }
  // The working files are only read, whole, each under a deny-write open;
  // they are not claimed: a workstation's record holds three objects, and
  // the two claims above must not be pushed out of it.
  std::vector<WorkingFile> files(names.size());
  PostingSums total;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!LoadWorking(names[i], &files[i], window)) return false;
    total.Add(files[i].sums);
  }

  const bool annual_exists = FileExists(annual_path);
  if (!annual_exists) {
    ShowStatus("Nie ma " + annual_path, kWarning);
    if (AskQuestion('N', "Założyć nowy zbiór roczny"_w) != 0)
      return Fail(window, kFieldBiez, "Przerwano - nic nie zmieniono"_w);
  }
  ShowStatus(Concat({"Do "_w, annual, ": ", std::to_string(files.size()), " zbiorów, "_w,
                     std::to_string(total.postings), " dekretów"_w}),
             kInfo);
  if (AskQuestion('T', "Księgować"_w) != 0)
    return Fail(window, kFieldLiZb, "Przerwano - nic nie zmieniono"_w);

  // The working postings in one run: by account, and within an account in
  // list order, then file order (a stable sort of the files taken in turn).
  std::vector<const std::uint8_t*> run;
  run.reserve(static_cast<std::size_t>(total.postings));
  for (const WorkingFile& w : files)
    for (std::uint32_t i : w.postings) run.push_back(Record(w, i));
  std::stable_sort(run.begin(), run.end(), [](const std::uint8_t* a, const std::uint8_t* b) {
    return CompareSymbols(AccountOf(a), AccountOf(b)) < 0;
  });

  File annual_file;
  std::uint64_t before = 0;
  if (annual_exists &&
      !ProtectedOpen(annual_file, annual_path, Access::kReadWrite, Share::kExclusive,
                     Disposition::kOpenExisting, "LacZb")) {
    window.SetReturnField(kFieldBiez);
    return false;
  }
  NewJournal out(annual_path);
  if (!out.Create()) return Fail(window, kFieldBiez, RewriteFailed(annual_path));

  std::size_t next = 0;
  AccountOrderGuard order;
  bool aborted = false;
  bool write_failed = false;
  bool read_ok = true;
  if (annual_exists) {
    read_ok = ForEachRecordChunk(annual_file, [&](const std::uint8_t* chunk, std::size_t n) {
      std::size_t from = 0;  // first annual record of the chunk not written yet
      for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* r = chunk + i * kJournalRecordSize;
        if (IsControlRecord(r)) continue;
        const std::string_view account = AccountOf(r);
        if (!order.Feed(account, before + i)) return false;
        if (next < run.size() && CompareSymbols(AccountOf(run[next]), account) < 0) {
          if (!out.Put(chunk + from * kJournalRecordSize, i - from)) {
            write_failed = true;
            return false;
          }
          while (next < run.size() && CompareSymbols(AccountOf(run[next]), account) < 0)
            out.Put(run[next++]);
          from = i;
        }
      }
      before += n;
      if (!out.Put(chunk + from * kJournalRecordSize, n - from)) {
        write_failed = true;
        return false;
      }
      window.Progress(annual, static_cast<std::int64_t>(before / kRewriteChunk), 0);
      if (window.AbortRequested()) {
        aborted = true;
        return false;
      }
      return true;
    });
  }
  if (order.Broken()) return Fail(window, kFieldBiez, order.Message(annual_path));
  if (aborted) return Fail(window, kFieldBiez, "Przerwano - nic nie zmieniono"_w);
  if (!read_ok && !write_failed) {
    return Fail(window, kFieldBiez,
                Concat({"Błąd odczytu "_w, annual_path, " (", IoErrorText(LastIoError()),
                        "); stary zbiór bez zmian"_w}));
  }
  while (next < run.size() && !write_failed) write_failed = !out.Put(run[next++]);
  if (write_failed || !out.Finish()) return Fail(window, kFieldBiez, RewriteFailed(annual_path));

  // The journal first: a file must never stand in the annual file without
  // being recorded, or the next run would post it a second time.
  std::string old_journal;
  bool journal_failed = false;
  const bool journal_existed = ReadSmallText(journal_path, &old_journal, &journal_failed);
  if (journal_failed) return Fail(window, kFieldBiez, RewriteFailed(journal_path));
  std::string journal = old_journal;
  if (!journal.empty() && journal.back() != '\n') journal += "\r\n";
  const std::string stamp = StampNow();
  for (const WorkingFile& w : files) {
    journal += PostingJournalLine(w.name, w.sums, stamp);
  }
  if (!WriteFileAtomically(journal_path, journal, ".tmp"))
    return Fail(window, kFieldBiez, RewriteFailed(journal_path));
  if (!out.Commit()) {
    const std::string text = RewriteFailed(annual_path);
    // Put the journal back as it was; if even that fails, say so: the
    // journal then names files the annual file does not hold, which the
    // check (LacWe) shows, but nothing is posted twice.
    const bool restored = journal_existed ? WriteFileAtomically(journal_path, old_journal, ".tmp")
                                          : RemoveFile(journal_path);
    if (!restored)
      return Fail(window, kFieldBiez, text + Concat({"; popraw ręcznie "_w, journal_path}));
    return Fail(window, kFieldBiez, text);
  }
  annual_file.Close();

  RapStart(annual, Concat({"KSIĘGOWANIE ZBIORÓW DO "_w, annual}), 2);
  RapKol1('p', 3, "Lp");
  RapKol('l', 8, "Zbiór"_w, "roboczy");
  RapKol('p', 9, "Liczba", "dekretów"_w);
  RapKol('p', 15, "Suma", "Wn");
  RapKol('p', 15, "Suma", "Ma");
  RapNag(p.list_name.empty() ? std::string("wszystkie zbiory miesięczne"_w)
                             : Concat({"lista "_w, p.list_name, ".ZFX"}));
  int lp = 0;
  for (const WorkingFile& w : files) FileRow(++lp, w.name, w.sums);
  RapLinia('-');
  RapWiersz("", "Razem", IntText(total.postings, 9), Amount15(total.debit), Amount15(total.credit));
  RapTekst('1', Concat({"Zbiór roczny "_w, annual, ": było "_w, std::to_string(before),
                        ", jest "_w, std::to_string(out.records()), " zapisów"_w}));
  return true;
}

bool VerifyPosting(const PostingParams& p, OptionServices& window) {
  const std::string annual = AnnualName(p);
  if (!ValidJournalName(annual)) return Fail(window, kFieldLiZb, "Podaj nazwę zbioru rocznego"_w);
  const std::string annual_path = JournalPath(annual);
  if (!FileExists(annual_path)) return Fail(window, kFieldLiZb, "Nie ma " + annual_path);

  std::vector<std::string> names;
  const std::vector<std::string> posted = PostedFiles(annual);
  if (!p.list_name.empty()) {
    if (!ChooseFiles(p, annual, false, &names, window)) return false;
  } else {
    names = posted;
  }
  if (names.empty()) return Fail(window, kFieldLiZb, Concat({"Nic nie zaksięgowano do "_w, annual}));

  std::vector<WorkingFile> files(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!LoadWorking(names[i], &files[i], window)) return false;

  struct Tally {
    std::uint32_t expected = 0;
    std::uint32_t found = 0;
    std::uint32_t file = 0;
    std::uint32_t record = 0;
  };
  std::unordered_map<std::string_view, Tally> tallies;
  for (std::uint32_t f = 0; f < files.size(); ++f) {
    for (std::uint32_t i : files[f].postings) {
      const std::string_view key(files[f].bytes.data() + std::size_t{i} * kJournalRecordSize,
                                 kJournalRecordSize);
      auto [it, fresh] = tallies.try_emplace(key);
      if (fresh) {
        it->second.file = f;
        it->second.record = i;
      }
      ++it->second.expected;
    }
  }

  File annual_file;
  if (!OpenShared(annual_file, annual_path, Share::kDenyWrite, "LacWe")) {
    window.SetReturnField(kFieldLiZb);
    return false;
  }
  const bool read = ForEachRecordChunk(annual_file, [&](const std::uint8_t* chunk, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const auto it = tallies.find(std::string_view(
          reinterpret_cast<const char*>(chunk + i * kJournalRecordSize), kJournalRecordSize));
      if (it != tallies.end()) ++it->second.found;
    }
    return !window.AbortRequested();
  });
  if (!read) {
    if (window.AbortRequested()) return Fail(window, kFieldLiZb, "Przerwano"_w);
    return Fail(window, kFieldLiZb,
                Concat({"Błąd odczytu "_w, annual_path, " (", IoErrorText(LastIoError()), ")"}));
  }

  // Per file: postings found once, missing, doubled (extra copies).
  struct FileCheck {
    PostingSums found;
    std::int64_t missing = 0;
    std::int64_t doubled = 0;
  };
  std::vector<FileCheck> checks(files.size());
  struct Fault {
    std::uint32_t file, record;
    std::int64_t missing, extra;
  };
  std::vector<Fault> faults;
  for (const auto& [key, t] : tallies) {
    const std::uint8_t* r = Record(files[t.file], t.record);
    JournalEntry e;
    DecodeJournalEntry(r, &e);
    const std::uint32_t present = std::min(t.found, t.expected);
    for (std::uint32_t k = 0; k < present; ++k) checks[t.file].found.Add(e);
    const std::int64_t missing = std::int64_t{t.expected} - present;
    const std::int64_t extra = std::int64_t{t.found} - present;
    checks[t.file].missing += missing;
    checks[t.file].doubled += extra;
    if (missing != 0 || extra != 0) faults.push_back({t.file, t.record, missing, extra});
  }
  std::sort(faults.begin(), faults.end(), [](const Fault& a, const Fault& b) {
    return a.file != b.file ? a.file < b.file : a.record < b.record;
  });

  RapStart(annual, Concat({"WERYFIKACJA KSIĘGOWANIA DO "_w, annual}), 2);
  RapKol1('p', 3, "Lp");
  RapKol('l', 8, "Zbiór"_w, "roboczy");
  RapKol('p', 9, "Liczba", "dekretów"_w);
  RapKol('p', 15, "Suma Wn", "w zbiorze"_w);
  RapKol('p', 15, "Suma Ma", "w zbiorze"_w);
  RapKol('p', 15, "Suma Wn", "zaksięgowana"_w);
  RapKol('p', 15, "Suma Ma", "zaksięgowana"_w);
  RapKol('p', 7, "Brak", "");
  RapKol('p', 7, "Podwój-"_w, "nie");
  RapNag(p.list_name.empty() ? Concat({"zbiory z dziennika "_w, annual, ".KSG"})
                             : Concat({"lista "_w, p.list_name, ".ZFX"}));
  std::int64_t missing = 0, doubled = 0;
  bool sums_differ = false;
  for (std::size_t f = 0; f < files.size(); ++f) {
    const PostingSums& s = files[f].sums;
    const FileCheck& c = checks[f];
    missing += c.missing;
    doubled += c.doubled;
    if (AmountsDiffer(s.debit, c.found.debit) || AmountsDiffer(s.credit, c.found.credit))
      sums_differ = true;
    RapWiersz(IntText(static_cast<std::int64_t>(f + 1), 3), files[f].name, IntText(s.postings, 9),
              Amount15(s.debit), Amount15(s.credit), Amount15(c.found.debit),
              Amount15(c.found.credit), IntText(c.missing, 7), IntText(c.doubled, 7));
  }
  for (const std::string& n : names) {
    if (!Posted(posted, n))
      RapTekst('1', Concat({"Zbiór "_w, n, " nie jest zapisany w "_w, annual, ".KSG"}));
  }
  if (!faults.empty()) {
    RapTekst('1', "");
    RapTekst('1', "Dekrety, których brak lub które są podwójnie (zbiór, zapis, konto, dowód, kwota):"_w);
    std::size_t shown = 0;
    for (const Fault& f : faults) {
      if (++shown > kShownFaults) {
        RapTekst('1', Concat({"... i dalsze ("_w, std::to_string(faults.size() - kShownFaults), ")"}));
        break;
      }
      JournalEntry e;
      DecodeJournalEntry(Record(files[f.file], f.record), &e);
      const std::string what = f.missing != 0 ? "brak"
                                              : Concat({"podwójnie +"_w, std::to_string(f.extra)});
      RapTekst('1', Concat({what, "  ", files[f.file].name, " ", std::to_string(f.record + 1), "  ",
                            e.account.view(), "  ", e.documentNo.view(), "/",
                            std::to_string(e.entryNo), "  ", Amount15(e.amount)}));
    }
  }
  if (missing == 0 && doubled == 0 && !sums_differ) {
    RapTekst('1', Concat({"Zgodne: każdy dekret jest w "_w, annual, " dokładnie raz"_w}));
    return true;
  }
  const std::string verdict = Concat({"Niezgodne: brak "_w, std::to_string(missing),
                                      ", podwójnie "_w, std::to_string(doubled), " dekretów"_w});
  RapTekst('1', verdict);
  ShowStatus(verdict, kWarning);
  return false;
}

}  // namespace zel
