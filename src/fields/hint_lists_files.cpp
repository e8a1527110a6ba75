// Hint lists built from files: lines of a text file, files of a kind with
// their time and size, database folders, pictures under a folder, months
// with their journal files and the documents of a journal file.
#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/hint_lists.hpp"
#include "fields/hint_lists_internal.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {
namespace {

// Collects lines under the filter and the ceiling, polling `stop`.
class Collector {
 public:
  Collector(HintList& list, std::vector<std::string>& lines, std::string_view folded,
            const std::function<bool()>& stop)
      : list_(list), lines_(lines), folded_(folded), stop_(stop) {}

  // False once the build must end (stopped or full).
  bool Add(std::string line) {
    if (Done()) return false;
    if (!folded_.empty() && ListFold(line).find(folded_) == std::string::npos) return true;
    if (lines_.size() >= kListCeiling) {
      full_ = true;
      lines_.push_back(std::string(kEntrySeparator) +
                       "dalsze pozycje pominięte - lista ma najwyżej "_w +
                       std::to_string(kListCeiling) + " pozycji");
      return false;
    }
    lines_.push_back(std::move(line));
    return true;
  }
  bool Done() {
    if (full_ || list_.stopped) return true;
    if (stop_ && stop_()) list_.stopped = true;
    return list_.stopped;
  }

 private:
  HintList& list_;
  std::vector<std::string>& lines_;
  std::string_view folded_;
  const std::function<bool()>& stop_;
  bool full_ = false;
};

std::string FolderOf(std::string_view path) {
  const std::size_t p = path.find_last_of('\\');
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string NameOf(std::string_view path) {
  const std::size_t p = path.find_last_of('\\');
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string UpperBase(std::string_view file_name) {
  const std::size_t dot = file_name.find_last_of('.');
  return UpperPl(file_name.substr(0, dot));
}

// Lines of a text file; the first character of each line is a marker and
// is dropped.
void FileLines(const std::string& path, HintList& list, Collector& c) {
  list.noun = NameOf(path);
  File f;
  std::string bytes;
  if (!IsFile(path) || !f.Open(path, Access::kRead, Share::kDenyNone) ||
      !f.ReadAll(&bytes, 16u << 20)) {
    c.Add(std::string(kEntrySeparator) + "Pusty zbiór \""_w + NameOf(path));
    return;
  }
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    line.erase(0, 1);
    if (line.size() > 250) line.resize(250);
    if (!c.Add(std::move(line))) return;
  }
}

bool IsRecordFile(std::string_view ext) {
  const std::string e = UpperPl(ext);
  return e == "DFX" || e == "PFX" || e == "AFX";
}

std::string TimeText(const FoundFile& f) {
  const DateTime t = LocalTime(f.modified_ns);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d %02d:%02d", t.day % 100, t.month % 100,
                t.year % 10000, t.hour % 100, t.minute % 100);
  return buf;
}

// One file: NAME × date time, size (and the record count of record files).
std::string FileEntry(std::string_view shown_name, const FoundFile& f, std::string_view ext) {
  std::string d = TimeText(f) + " " + IntText(static_cast<std::int64_t>(f.size), 12);
  if (IsRecordFile(ext))
    d.append(" ").append(IntText(static_cast<std::int64_t>(f.size / 250), 8)).append(" rek.");
  return Entry(shown_name, d);
}

// The folder the files of an extension live in: the database folder, or
// its sub-folder of that name for the kinds kept apart.
std::string FolderForExtension(std::string_view ext) {
  const std::string e = UpperPl(ext);
  for (const char* sub : {"FFX", "VAT", "Bank", "Kasa"}) {
    if (e == UpperPl(sub)) return DbDir.str() + sub + "\\";
  }
  return DbDir.str();
}

void FilesOfKind(std::string_view ext, HintList& list, Collector& c) {
  list.noun = "Katalog\\nazwa";
  list.heading = "z dnia i godziny         wielkość"_w;
  const std::string folder = FolderForExtension(ext);
  for (const FoundFile& f : FindFiles(folder + "*." + std::string(ext))) {
    if (f.is_folder) continue;
    if (!c.Add(FileEntry(UpperBase(f.name), f, ext))) return;
  }
}

// The folder above the database folder, where sibling databases live.
std::string ParentOfDatabase() {
  std::string db = DbDir.str();
  if (!db.empty() && db.back() == '\\') db.pop_back();
  return FolderOf(db);
}

// Sub-folders (of the folder above the database) holding files of `ext`;
// with `files` each such file is an entry, else each folder.
void DatabaseFolders(std::string_view ext, bool files, HintList& list, Collector& c) {
  const std::string parent = ParentOfDatabase();
  std::size_t before = 0;
  for (const FoundFile& d : FindFiles(parent + "*")) {
    if (!d.is_folder) continue;
    std::vector<FoundFile> found = FindFiles(parent + d.name + "\\*." + std::string(ext));
    found.erase(
        std::remove_if(found.begin(), found.end(), [](const FoundFile& f) { return f.is_folder; }),
        found.end());
    if (found.empty()) continue;
    ++before;
    if (!files) {
      if (!c.Add(Entry(d.name, IntText(static_cast<std::int64_t>(found.size()), 4) + " *." +
                                   std::string(ext))))
        return;
      continue;
    }
    for (const FoundFile& f : found) {
      if (!c.Add(FileEntry(d.name + "\\" + UpperBase(f.name), f, ext))) return;
    }
  }
  if (!files) {
    list.noun = "katalogów z bazą "_w;
    list.heading = "Podkatalogi ";
    if (before == 0) c.Add(std::string(kEntrySeparator) + "Nie widzę podkatalogów z danymi."_w);
  } else {
    list.noun = "Katalog\\nazwa";
    list.heading = "z dnia i godziny         wielkość"_w;
  }
}

// Pictures "*.JPG" in the database folder and below. A folder reached twice
// (a symbolic link back up the tree) is walked once.
void Pictures(HintList& list, Collector& c) {
  list.noun = "plików zawierających LOGO"_w;
  std::unordered_set<std::uint64_t> seen;
  std::vector<std::string> todo = {DbDir.str()};
  std::size_t found = 0;
  while (!todo.empty() && !c.Done()) {
    const std::string folder = todo.back();
    todo.pop_back();
    FileInfo info;
    if (!GetFileInfo(folder.empty() ? "." : folder, &info) || !seen.insert(info.file_id).second)
      continue;
    std::vector<std::string> subs;
    for (const FoundFile& f : FindFiles(folder + "*")) {
      if (f.is_folder) {
        subs.push_back(folder + f.name + "\\");
      } else if (WildcardMatch("*.JPG", f.name)) {
        ++found;
        if (!c.Add(Entry(folder.substr(DbDir.size()) + f.name, TimeText(f)))) return;
      }
    }
    todo.insert(todo.end(), subs.rbegin(), subs.rend());
  }
  if (found == 0 && !list.stopped)
    c.Add(std::string(kEntrySeparator) + "Nie widzę plików z  JPG."_w);
}

void Months(HintList& list, Collector& c) {
  list.noun = "miesiąca do zamknięcia"_w;
  for (int m = 1; m <= 12; ++m) {
    const std::string mm = TwoDigits(static_cast<std::uint8_t>(m));
    std::size_t n = 0;
    for (const FoundFile& f : FindFiles(DbDir.str() + mm + "\\*.DFX")) n += f.is_folder ? 0 : 1;
    if (!c.Add(Entry(
            mm, PadRight(MonthNames[m], 14) + IntText(static_cast<std::int64_t>(n), 5) + " zb."))) {
      return;
    }
  }
}

// The cost centres of "FFX\Osrodki.TFX", one a line: number ";" TLS ";"
// name and address. TLS names the centre's folder inside the database
// folder; the date shown is that of the newest journal file "20??.DFX"
// there (the file names of any year of this century, not only 2010..2019).
void CostCentres(HintList& list, Collector& c) {
  list.noun = "Nr × TLS  Ośrodek"_w;
  list.heading = "Nazwa, adres   z dnia";
  const std::string path = DbDir.str() + "FFX\\Osrodki.TFX";
  File f;
  std::string bytes;
  if (!IsFile(path) || !f.Open(path, Access::kRead, Share::kDenyNone) ||
      !f.ReadAll(&bytes, 16u << 20)) {
    c.Add(std::string(kEntrySeparator) + "Pusty zbiór \"Osrodki.TFX"_w);
    return;
  }
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    std::string fields[3];
    std::size_t from = 0;
    for (int i = 0; i < 3; ++i) {
      const std::size_t semi = i < 2 ? line.find(';', from) : std::string::npos;
      fields[i] = NormalizeSpaces(line.substr(from, semi == std::string::npos ? std::string::npos
                                                                              : semi - from));
      if (semi == std::string::npos) break;
      from = semi + 1;
    }
    std::string date = "brak";
    std::int64_t newest = 0;
    if (!fields[1].empty()) {
      for (const FoundFile& j : FindFiles(DbDir.str() + fields[1] + "\\20??.DFX")) {
        if (j.is_folder || j.modified_ns < newest) continue;
        newest = j.modified_ns;
        date = TimeText(j).substr(0, 10);
      }
    }
    const std::string description =
        PadRight(fields[1], 5) + " " + PadRight(fields[2], 60) + "   z dnia " + date;
    if (!c.Add(Entry(fields[0], description))) return;
  }
}

}  // namespace

bool BuildFileList(const ListRequest& request, HintList& list, std::vector<std::string>& lines,
                   std::string_view folded, const std::function<bool()>& stop) {
  Collector c(list, lines, folded, stop);
  switch (request.kind) {
    case 32:
    case 89: {
      std::string path = request.pattern;
      if (path.find('\\') == std::string::npos) path = DbDir.str() + path;
      FileLines(path, list, c);
      return true;
    }
    case 88:
      FileLines(TempDir.str() + "TMP" + StationExt.str(), list, c);
      return true;
    case 75:
      DatabaseFolders(request.pattern.empty() ? "PFX" : request.pattern, false, list, c);
      return true;
    case 175:
      DatabaseFolders(request.pattern.empty() ? "PFX" : request.pattern, true, list, c);
      return true;
    case 76:
      Pictures(list, c);
      return true;
    case 90:
      FilesOfKind(request.pattern.empty() ? "DFX" : request.pattern, list, c);
      return true;
    case 143: {
      list.noun = "TIE";
      const std::string pattern = request.pattern.empty() ? "*.TIE" : request.pattern;
      std::size_t before = lines.size();
      for (const FoundFile& f : FindFiles(DbDir.str() + pattern)) {
        if (!f.is_folder && !c.Add(FileEntry(UpperBase(f.name), f, "TIE"))) break;
      }
      if (lines.size() == before && !list.stopped) {
        c.Add(std::string(kEntrySeparator) + "Nie widzę zbiorów \""_w + pattern);
      }
      return true;
    }
    case 100: {
      list.noun = "Numer dowodu ×  data  dekretów"_w;
      list.heading = "winien                ma   numer faktury   termin   opis";
      const std::string file =
          request.pattern.empty() ? DbSettings.working_journal.str() : request.pattern;
      list.entries = DocumentEntries(file, folded, &list.status, stop);
      if (list.entries && list.entries->Count() == 0) list.entries.reset();
      return true;
    }
    case 109:
      Months(list, c);
      return true;
    case 118:
      // No entries of their own: the empty-list entry.
      return true;
    case 243:
      CostCentres(list, c);
      return true;
    default:
      return false;
  }
}

}  // namespace zel
