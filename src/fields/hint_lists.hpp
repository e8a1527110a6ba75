// The contents of the F4/F5 hint lists: what each list kind holds, built on
// the spot from a fixed table, a folder listing, a text file, the chart of
// accounts or a journal file.
//
// An entry is one Windows-1250 line: the value, the separator " × " and a
// description (a line without the separator is all value). A list is a
// HintEntries: most lists keep their lines, the account list is a view over
// the whole chart (no copy, no ceiling) with one "wolne" entry per gap in
// the numbering of sibling accounts. Builders read the shell state (DbDir,
// TempDir, StationExt, Today, BzDate) and the program's chart; they never
// write. A build polls `stop` between entries and keeps what it built when
// told to stop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"

namespace zel {

// " × " in Windows-1250.
inline constexpr std::string_view kEntrySeparator = " \xD7 ";
// Lists read from files stop at this many entries and end with an entry
// saying so.
inline constexpr std::size_t kListCeiling = 10000;

// What the opening field asks for.
struct ListRequest {
  std::uint8_t kind = 0;    // list kind
  bool f5 = false;          // filter first (F5) instead of browsing (F4)
  std::string typed;        // the editor text; the list opens at it
  std::string pattern;      // file lists: the extension ("DFX") or file name
  std::uint8_t source = 0;  // window kind to return to
};

class HintEntries {
 public:
  virtual ~HintEntries() = default;
  virtual std::size_t Count() const = 0;
  virtual std::string Text(std::size_t i) const = 0;
  // Where the list opens: the first entry that begins with `typed`, else
  // the first not less (in text order) than it; Count() when none.
  virtual std::size_t LowerBound(std::string_view typed) const;
};

// Lines held as they are.
class TextEntries final : public HintEntries {
 public:
  TextEntries() = default;
  explicit TextEntries(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  std::size_t Count() const override { return lines_.size(); }
  std::string Text(std::size_t i) const override { return i < lines_.size() ? lines_[i] : ""; }
  std::vector<std::string>& Lines() { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// The entries of a base list that pass a filter, by index.
class FilteredEntries final : public HintEntries {
 public:
  FilteredEntries(std::unique_ptr<HintEntries> base, std::vector<std::uint32_t> kept)
      : base_(std::move(base)), kept_(std::move(kept)) {}
  std::size_t Count() const override { return kept_.size(); }
  std::string Text(std::size_t i) const override {
    return i < kept_.size() ? base_->Text(kept_[i]) : "";
  }

 private:
  std::unique_ptr<HintEntries> base_;
  std::vector<std::uint32_t> kept_;
};

struct HintList {
  std::string noun;     // for the caption (Windows-1250)
  std::string heading;  // column heading, may be empty
  std::unique_ptr<HintEntries> entries;
  bool has_free = false;  // the list holds "wolne" entries
  std::string status;     // shown in the status line after the build (colour 2)
  bool stopped = false;   // the build was stopped; the entries are what was built
};

// The height the height lists (kinds 79, 81) reach: the desktop view sets
// the screen's (1600 until then).
extern int ListScreenHeight;

// Folds for the filter and the search: Polish letters to ASCII, upper case.
std::string ListFold(std::string_view text);

// True for the list kinds this program builds.
bool IsListKind(std::uint8_t kind);

// Builds list `request.kind`; in filter mode only entries containing
// `filter` (both folded) are kept. `stop` is polled between entries (may
// be empty). An empty result is one " × pusta lista" entry.
HintList BuildHintList(const ListRequest& request, std::string_view filter,
                       const std::function<bool()>& stop);

// The account list over the program's chart, free numbers included.
std::unique_ptr<HintEntries> ChartEntries();

// The last day number the date list (kind 68 with F5) holds and the last
// year of the year list (kind 82): the later of the fixed bound and the
// year after today or after the book year's end, never past 2039.
DayNo LastListedDay();
int LastListedYear();

// Completion from the country list or the voivodeship list: the first
// entry beginning with the typed text, the text losing its last character
// while none does; letter case and Polish letters do not matter. Empty
// stays empty. False (and *out = typed) when not even the first character
// matches any entry.
enum class NameList { kCountries, kVoivodeships };
bool CompleteFromList(NameList list, std::string_view typed, std::string* out);
const std::vector<std::string>& NameListEntries(NameList list);  // Windows-1250

// The value and the description of an entry, spaces trimmed.
std::string EntryValue(std::string_view entry);
std::string EntryDescription(std::string_view entry);

}  // namespace zel
