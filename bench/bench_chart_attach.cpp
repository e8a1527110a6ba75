// Attaching a 20,000-account chart to a 90,000-account one (option 17, with
// the merge answered "Nie" so that it runs): the whole option, from reading
// the attached file to the merged table, against a plain read of the
// attached file and against putting the attached accounts into the table
// one by one (an insertion per account, as a naive merge does). 1,000 of
// the attached accounts differ from the current ones, 10,000 are new, and
// the attached file holds 2,000 older versions and 500 deletions besides.
// Files are written to a scratch folder under /tmp; each figure is the best
// of five runs (wall and CPU time), the chart reloaded between runs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_support.hpp"
#include "books/chart_options.hpp"
#include "common/concat.hpp"
#include "fields/option_values.hpp"
#include "platform/paths.hpp"
#include "shell/questions.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"

using namespace zel;

namespace {

struct AnswerNo final : Asker {
  int Ask(char, std::string_view, std::string_view, DeskWindow*) override { return 1; }
  void PressYes() override {}
};

AccountRecord Account(int number, const char* kind) {
  AccountRecord r;
  r.status = 1;
  r.symbol = Concat({"201-", std::to_string(100000 + number)});
  r.name = Concat({kind, " kontrahent ", std::to_string(number), " sp. z o.o."});
  r.address = Concat({"ul. Dluga ", std::to_string(number % 300), ", 00-950 Warszawa"});
  r.nip = Concat({"526", std::to_string(1000000 + number)});
  r.shortName = Concat({"K", std::to_string(number)});
  return r;
}

bool Write(const std::string& path, const std::vector<AccountRecord>& records) {
  std::vector<std::uint8_t> bytes(records.size() * kAccountRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i)
    EncodeAccountRecord(records[i], bytes.data() + i * kAccountRecordSize);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/zel-bench-attach-XXXXXX";
  const std::string root = mkdtemp(pattern);
  std::filesystem::create_directories(root + "/DB");
  std::string err;
  if (!SetZelFolder(root, &err)) return 1;
  DbDir = "DB\\";
  ChartName = "Plan";
  ChartPath = "DB\\Plan.PFX";

  // The current chart: 90,000 accounts, even numbers 0..179,998.
  std::vector<AccountRecord> current;
  for (int i = 0; i < 90000; ++i) current.push_back(Account(2 * i, "Nasz"));
  std::mt19937 random(7);
  std::shuffle(current.begin(), current.end(), random);
  // The attached chart: 10,000 accounts shared with ours (1,000 of them
  // with other names), 10,000 odd-numbered new ones, older versions and
  // deletions among them, in random order.
  std::vector<AccountRecord> attached;
  for (int i = 0; i < 10000; ++i) attached.push_back(Account(2 * i, i % 10 == 0 ? "Obcy" : "Nasz"));
  for (int i = 0; i < 10000; ++i) attached.push_back(Account(2 * i + 1, "Nowy"));
  std::shuffle(attached.begin(), attached.end(), random);
  std::vector<AccountRecord> log;
  for (int i = 0; i < 2000; ++i) log.push_back(Account(4 * i + 1, "Stary"));
  log.insert(log.end(), attached.begin(), attached.end());
  for (int i = 0; i < 500; ++i) {
    AccountRecord gone;
    gone.status = 1;
    gone.symbol = Concat({"201-", std::to_string(100000 + 4 * i + 3)});
    log.push_back(gone);
  }
  if (!Write(root + "/DB/Plan.PFX", current) || !Write(root + "/DB/OBCY.PFX", log)) return 1;

  AnswerNo no;
  SetQuestionAsker(&no);
  SetOptionText(kFieldDoPl, "OBCY");
  SetOptionText(kFieldZaOp, "N");

  bench::Timing attach, insertions, plain;
  std::size_t merged_count = 0;
  for (int round = 0; round < 5; ++round) {
    if (!LoadChart()) return 1;
    double w = bench::Now(), c = bench::Cpu();
    SilentOptionServices window;
    AttachChart(window);
    attach.Keep(bench::Now() - w, bench::Cpu() - c);
    merged_count = Chart().Count() - 1;

    if (!LoadChart()) return 1;
    ChartTable other;
    ReadChartFile("DB\\OBCY.PFX", other, "bench");
    w = bench::Now();
    c = bench::Cpu();
    for (std::size_t s = 1; s < other.Count(); ++s) Chart().Put(other.At(s));
    insertions.Keep(bench::Now() - w, bench::Cpu() - c);

    std::uint64_t records = 0;
    w = bench::Now();
    c = bench::Cpu();
    bench::PlainRead(root + "/DB/OBCY.PFX", &records);
    plain.Keep(bench::Now() - w, bench::Cpu() - c);
  }
  std::printf("attached file: %zu records; table after the merge: %zu accounts\n", log.size(),
              merged_count);
  std::printf("PlaDo (read, compare, report, merge): wall %.4f s, cpu %.4f s\n", attach.wall,
              attach.cpu);
  std::printf("insertion per account (merge only):   wall %.4f s, cpu %.4f s\n", insertions.wall,
              insertions.cpu);
  std::printf("plain read of the attached file:      wall %.4f s, cpu %.4f s\n", plain.wall,
              plain.cpu);
  std::filesystem::remove_all(root);
  return 0;
}
