// Reading speed of the store: a 1,000,000-record journal scanned with the
// block reader (summing debit and credit) against a plain read of the same
// file in 50,000-byte blocks, and the chart load of 9,000 and 90,000 records
// in random order against a plain read of the same files. The files are
// written to /tmp first; each measurement is the best of five runs of this
// thread's CPU time, taken side by side so the page cache treats both alike.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "common/concat.hpp"
#include "platform/file.hpp"
#include "store/block_reader.hpp"
#include "store/chart.hpp"

using namespace zel;

namespace {

// CPU time of this thread (user and system): the machine the benchmark runs
// on may be busy with other work, which wall time would count as ours.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
};

double Seconds(double from) {
  return Clock::now() - from;
}

bool WriteNative(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<std::uint8_t> Journal(int n) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n) * kJournalRecordSize);
  std::mt19937 random(1);
  JournalEntry e;
  for (int i = 0; i < n; ++i) {
    e.account = "201-" + std::to_string(i / 50);
    e.bookingDate = static_cast<DayNo>(38000 + random() % 365);
    e.documentNo = "FV " + std::to_string(i / 4);
    e.entryNo = static_cast<std::uint16_t>(i % 4 + 1);
    e.side = (i % 2) ? 255 : 0;
    e.amount = static_cast<Amount>(random() % 1000000) / 100;
    e.transactionNo = "F/" + std::to_string(i);
    e.description = "Sprzedaz towarow i uslug";
    EncodeJournalEntry(e, bytes.data() + static_cast<std::size_t>(i) * kJournalRecordSize);
  }
  return bytes;
}

std::vector<std::uint8_t> ChartFile(int n) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n) * kAccountRecordSize);
  std::mt19937 random(2);
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), random);
  AccountRecord r;
  r.status = 1;
  for (int i = 0; i < n; ++i) {
    // About one record in ten is a later version of an account.
    const int account = order[static_cast<std::size_t>(i)] % (n - n / 10);
    r.symbol = Concat({"2", std::to_string(10000000 + account)});
    r.name = "Kontrahent numer " + std::to_string(account) + " sp. z o.o.";
    r.address = "ul. Dluga " + std::to_string(i % 300) + ", 00-950 Warszawa";
    r.nip = "526" + std::to_string(1000000 + account);
    r.shortName = Concat({"K", std::to_string(account)});
    EncodeAccountRecord(r, bytes.data() + static_cast<std::size_t>(i) * kAccountRecordSize);
  }
  return bytes;
}

double PlainRead(const std::string& path, std::size_t block) {
  File f;
  if (!f.OpenNative(path, Access::kRead, Share::kDenyWrite)) return -1;
  std::vector<std::uint8_t> buffer(block);
  const auto start = Clock::now();
  std::uint64_t offset = 0;
  std::uint64_t check = 0;
  for (;;) {
    std::size_t got = 0;
    if (!f.ReadAt(offset, buffer.data(), buffer.size(), &got) || got == 0) break;
    check += buffer[0];
    offset += got;
  }
  const double s = Seconds(start);
  if (check == 1) std::puts("");
  return s;
}

double BlockScan(const std::string& path, Amount* debit, Amount* credit) {
  File f;
  if (!f.OpenNative(path, Access::kRead, Share::kDenyWrite)) return -1;
  FileSource source(f);
  const auto start = Clock::now();
  BlockReader reader(source, "bench.DFX");
  Amount d = 0;
  Amount c = 0;
  for (JournalView v = reader.NextView(); !v.IsSentinel(); v = reader.NextView())
    (v.IsDebit() ? d : c) += v.amount();
  const double s = Seconds(start);
  *debit = d;
  *credit = c;
  return s;
}

double ChartLoad(const std::string& path, std::size_t* accounts) {
  File f;
  if (!f.OpenNative(path, Access::kRead, Share::kDenyWrite)) return -1;
  FileSource source(f);
  ChartTable table;
  const auto start = Clock::now();
  table.LoadFrom(source);
  const double s = Seconds(start);
  *accounts = table.Count() - 1;
  return s;
}

// The program keeps one table and loads it again on every change of
// database, year or chart: the same load into a table that held the chart.
double ChartReload(const std::string& path, ChartTable& table) {
  File f;
  if (!f.OpenNative(path, Access::kRead, Share::kDenyWrite)) return -1;
  FileSource source(f);
  const auto start = Clock::now();
  table.LoadFrom(source);
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  // "chart" measures the chart load only, "journal" the journal scan only.
  const std::string only = argc > 1 ? argv[1] : "";
  if (only != "chart") {
    const std::string journal = "/tmp/zel-bench-store-journal.DFX";
    if (!WriteNative(journal, Journal(1000000))) return 1;
    double plain = 1e9, scan = 1e9;
    Amount debit = 0, credit = 0;
    for (int run = 0; run < 5; ++run) {
      plain = std::min(plain, PlainRead(journal, 50000));
      scan = std::min(scan, BlockScan(journal, &debit, &credit));
    }
    std::printf(
        "journal 1,000,000 records: plain read %.1f ms, block reader scan %.1f ms, ratio %.2f"
        " (debit %.2Lf, credit %.2Lf)\n",
        plain * 1e3, scan * 1e3, scan / plain, debit, credit);
    std::remove(journal.c_str());
  }
  if (only == "journal") return 0;

  double load[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    const int n = k == 0 ? 9000 : 90000;
    const std::string chart = "/tmp/zel-bench-store-chart-" + std::to_string(n) + ".PFX";
    if (!WriteNative(chart, ChartFile(n))) return 1;
    double read = 1e9, loaded = 1e9, reloaded = 1e9;
    std::size_t accounts = 0;
    ChartTable kept;
    for (int run = 0; run < 5; ++run) {
      read = std::min(read, PlainRead(chart, kChartBlock * kAccountRecordSize));
      loaded = std::min(loaded, ChartLoad(chart, &accounts));
      reloaded = std::min(reloaded, ChartReload(chart, kept));
    }
    load[k] = loaded;
    std::printf(
        "chart %d records (%zu accounts): plain read %.2f ms, LoadChart %.2f ms (ratio %.1f),"
        " reload into the same table %.2f ms (ratio %.1f)\n",
        n, accounts, read * 1e3, loaded * 1e3, loaded / read, reloaded * 1e3, reloaded / read);
    std::remove(chart.c_str());
  }
  std::printf("chart 9,000 -> 90,000 records: load time x%.1f\n", load[1] / load[0]);
  return 0;
}
