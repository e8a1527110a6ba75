// The chart file on disk: loading with the conversion of the older formats,
// the appends of the chart maintenance and the refresh.
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

bool reload_requested = true;
std::array<char, 3> stamp_user{};

std::string ChartFileName() {
  return ChartName.empty() ? std::string("PlanKont") : ChartName.str();
}

std::string CurrentChartPath() {
  if (ChartPath.empty()) ChartPath = BuildChartPath(DbDir.view(), {}, ChartName.view());
  return ChartPath.str();
}

Stamp NowStamp() {
  const ServerClock clock = ServerDate();
  Stamp s;
  s.day = clock.day;
  s.minutes = static_cast<std::uint16_t>(clock.minutes);
  s.user = stamp_user;
  return s;
}

// Reads every whole record of `record_size` bytes of an opened file.
template <typename Fn>
void ForEachRecord(File& file, std::size_t record_size, Fn fn) {
  constexpr std::size_t kRecordsPerRead = 200;
  std::vector<std::uint8_t> block(record_size * kRecordsPerRead);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!file.ReadAt(offset, block.data(), block.size(), &got)) return;
    const std::size_t whole = got / record_size;
    for (std::size_t k = 0; k < whole; ++k) fn(block.data() + k * record_size);
    offset += whole * record_size;
    if (whole < kRecordsPerRead) return;
  }
}

// Appends encoded records at the file's last whole record (a torn tail of
// another program's write is overwritten, so the records stay aligned).
bool AppendRecords(File& file, const std::vector<std::uint8_t>& bytes) {
  std::uint64_t size = 0;
  if (!file.Size(&size)) return false;
  const std::uint64_t end = size / kAccountRecordSize * kAccountRecordSize;
  if (!file.WriteAt(end, bytes.data(), bytes.size())) return false;
  if (end + bytes.size() < size) return file.Truncate(end + bytes.size());
  return true;
}

void AddRecord(std::vector<std::uint8_t>& out, const AccountRecord& r) {
  const auto bytes = EncodeAccountRecord(r);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

AccountRecord ConvertedRecord(std::string_view symbol, std::string_view name70,
                              std::string_view short_name, std::string_view nip,
                              const Stamp& stamp) {
  AccountRecord r;
  r.symbol = symbol;
  r.status = 1;
  SplitOldName(name70, &r.name, &r.address);
  r.shortName = short_name;
  r.nip = nip;
  r.written = stamp;
  return r;
}

// Writes a new chart file from the old ".TFK" chart.
void ConvertOldChart(const std::string& chart_path) {
  const std::string old_name = ChartFileName() + ".TFK";
  const std::string old_path = DbDir.str() + old_name;
  if (!FileExists(old_path, kSayMissing)) return;
  ShowStatus("Czytam stary "_w + old_name, kInfo);
  File old;
  if (!OpenShared(old, old_path, Share::kDenyWrite, "aTProcH:TFK")) return;
  const Stamp stamp = NowStamp();
  std::vector<std::uint8_t> out;
  ForEachRecord(old, kOldChartRecordSize, [&](const std::uint8_t* p) {
    const OldChartRecord o = DecodeOldChartRecord(p);
    AddRecord(out, ConvertedRecord(o.symbol, o.name, o.shortName, {}, stamp));
  });
  old.Close();
  File chart;
  if (!ProtectedOpen(chart, chart_path, Access::kReadWrite, Share::kExclusive,
                     Disposition::kOpenAlways, "aTProcH:TFK") ||
      !AppendRecords(chart, out)) {
    ShowStatus("Nie zapisano "_w + chart_path, kWarning);
    return;
  }
  chart.Close();
  StatusOK();
}

// "DOSTAWCY" and "NABYWCY": a ".trz" list becomes a chart of the same name.
void ConvertContractors(std::string_view list) {
  const std::string pfx = DbDir.str() + std::string(list) + ".PFX";
  const std::string trz = DbDir.str() + std::string(list) + ".trz";
  if (FileExists(pfx) || !FileExists(trz)) return;
  File source;
  if (!OpenShared(source, trz, Share::kDenyWrite, "aTProcH:trz")) return;
  const Stamp stamp = NowStamp();
  std::vector<std::uint8_t> out;
  ForEachRecord(source, kContractorRecordSize, [&](const std::uint8_t* p) {
    const ContractorRecord c = DecodeContractorRecord(p);
    AddRecord(out, ConvertedRecord(c.symbol, c.name, c.shortName, c.nip, stamp));
  });
  source.Close();
  File chart;
  if (!ProtectedOpen(chart, pfx, Access::kReadWrite, Share::kExclusive, Disposition::kCreateNew,
                     "aTProcH:trz") ||
      !AppendRecords(chart, out)) {
    ShowStatus("Nie zapisano "_w + pfx, kWarning);
  }
}

bool WriteChartRecord(const AccountRecord& win_record, Share share, std::string_view tag) {
  AccountRecord dos = win_record;
  AccountTextsToDos(dos);
  std::vector<std::uint8_t> bytes;
  AddRecord(bytes, dos);
  File chart;
  const std::string path = CurrentChartPath();
  if (!ProtectedOpen(chart, path, Access::kReadWrite, share, Disposition::kOpenAlways, tag))
    return false;
  const bool ok = AppendRecords(chart, bytes);
  return chart.Close() && ok;
}

}  // namespace

void SetStampUser(std::string_view user_code) {
  stamp_user = {};
  for (std::size_t i = 0; i < 3 && i < user_code.size(); ++i) stamp_user[i] = user_code[i];
}

void RequestChartReload() {
  reload_requested = true;
}
bool ChartReloadRequested() {
  return reload_requested;
}

bool LoadChart() {
  ChartTable& table = Chart();
  table.Clear();
  const std::string path = CurrentChartPath();
  if (!CurrentChartRegister().Request('!', path)) return false;
  ShowStatus("Proszę czekać"_w, kInfo);
  if (!FileExists(path)) {
    File created;
    if (created.Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenAlways))
      created.Close();
    ConvertOldChart(path);
  }
  ConvertContractors("DOSTAWCY");
  ConvertContractors("NABYWCY");
  return ReadChartFile(path, table, "aTProH:272");
}

bool ReadChartFile(std::string_view path, ChartTable& table, std::string_view context) {
  File chart;
  if (!OpenShared(chart, path, Share::kDenyWrite, context)) {
    table.Clear();
    return false;
  }
  FileSource source(chart);
  table.LoadFrom(source);
  chart.Close();
  return true;
}

bool EnsureChartLoaded() {
  if (!reload_requested) return true;
  const bool ok = LoadChart();
  if (ok) {
    ShowStatus("Wczytano plan kont "_w + ChartPath.str(), kSuccess);
    reload_requested = false;
  } else {
    ShowStatus("Nie wczytano planu "_w + ChartPath.str(), kWarning);
  }
  return ok;
}

bool AppendAccount(const AccountRecord& record, bool keep) {
  AccountRecord r;
  r.symbol = record.symbol;
  if (keep) {
    // Copying field by field leaves everything not listed zero, the bytes
    // after each text included.
    r.name = record.name;
    r.address = record.address;
    r.extra = record.extra;
    r.nip = record.nip;
    r.attribute = record.attribute;
    r.shortName = record.shortName;
    r.spare = record.spare;
  }
  r.status = 1;
  r.written = NowStamp();
  ChartRegister& reg = CurrentChartRegister();
  // The register is asked a bounded number of times, so a workstation that
  // never releases its claim cannot hang this one.
  bool registered = false;
  for (int attempt = 0; attempt < 111 && !registered; ++attempt) {
    // Another workstation appending holds the chart for a moment: wait as
    // a locked file is waited for, not in a tight loop.
    if (attempt > 0) RetryPauseOnce();
    registered = reg.Request('#', ChartPath.view());
  }
  if (!registered) {
    ShowStatus("Nie zapisano konta "_w + r.symbol.str(), kWarning);
    return false;
  }
  const bool written = WriteChartRecord(r, Share::kExclusive, "X10:330");
  reg.Request('-', ChartPath.view());
  if (!written) {
    ShowStatus("Nie zapisano konta "_w + r.symbol.str(), kWarning);
    return false;
  }
  if (keep && !r.name.empty())
    Chart().Put(r);
  else
    Chart().Remove(r.symbol);
  return true;
}

bool AppendAccountAsIs(const AccountRecord& record) {
  // Opened exclusive (with the retries of every shared open): the end of the
  // file is found and written under one lock, so two workstations appending
  // at once cannot both write at the same end.
  if (!WriteChartRecord(record, Share::kExclusive, "aOknaF3:konto")) {
    ShowStatus("Nie zapisano konta "_w + record.symbol.str(), kWarning);
    return false;
  }
  Chart().Put(record);
  return true;
}

bool RefreshChart() {
  if (!CurrentChartRegister().Active()) return true;
  ChartTable& table = Chart();
  File chart;
  if (!OpenShared(chart, CurrentChartPath(), Share::kDenyWrite, "aTProcH:154")) return false;
  FileSource source(chart);
  const std::uint64_t first = table.Consumed() > 0 ? table.Consumed() - 1 : 0;
  table.ApplyFrom(source, first);
  // The counter follows the file, whatever the puts and removes counted.
  table.SetConsumed(RecordCount(source, kAccountRecordSize));
  chart.Close();
  return true;
}

}  // namespace zel
