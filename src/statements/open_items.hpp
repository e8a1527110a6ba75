// Private to the settlement statements: the open-items builder and report
// (RoNie) and the pieces the other settlement reports share, exposed for
// their tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.hpp"
#include "statements/settlements.hpp"
#include "store/record_source.hpp"

namespace zel {

struct OpenItemsBuild {
  std::uint64_t records = 0;  // records written
  bool write_failed = false;
  bool out_of_order = false;  // the annual file broke account order: nothing built
};

// Takes the open-items records as they are written, in file order, one
// account's records at a time.
class OpenItemsFeed {
 public:
  virtual ~OpenItemsFeed() = default;
  virtual void Records(const std::uint8_t* first, std::size_t count) = 0;
};

// Reads the selected accounts' postings from `source` and writes the
// open-items records to `out` (an empty file open for writing), account by
// account, handing each account's records to `feed` as well. Stops reading
// at the user's abort as at the end of the file.
OpenItemsBuild BuildOpenItems(const SettlementParams& p, RecordSource& source,
                              std::string_view file_name, File& out, OptionServices& window,
                              OpenItemsFeed* feed = nullptr);

// The RoNie report over an open-items file (no checks).
void OpenItemsReport(const SettlementParams& p, RecordSource& afx, std::string_view file_name,
                     OptionServices& window);

// The subtitle of Ranki, Trans, RoBan and NatJP.
std::string SettlementSubtitle(const SettlementParams& p);

// The reports over any source of journal records (no checks). False when
// the file broke account order (the report is then emptied) or, for Ranki,
// when the user aborted; the others complete what was read.
bool RankingFrom(const SettlementParams& p, RecordSource& source, std::string_view file_name,
                 OptionServices& window);
bool TopPostingsFrom(const SettlementParams& p, RecordSource& source, std::string_view file_name,
                     OptionServices& window);
bool BankSettlementsFrom(const SettlementParams& p, RecordSource& source,
                         std::string_view file_name, OptionServices& window);

// The checks, then one of the reports above over the annual file opened with
// writers kept out (retry tag `tag`); a file that cannot be opened sends the
// cursor back to the file field.
using SettlementReport = bool (*)(const SettlementParams&, RecordSource&, std::string_view,
                                  OptionServices&);
bool RunOnAnnualFile(const SettlementParams& p, OptionServices& window, std::string_view tag,
                     SettlementReport report);

}  // namespace zel
