// Storing documents into a large working file written by zel-demo
// (zel-demo DIR --postings 1000000). The working file is copied to
// DIR/BENCH.DFX first, so the demo's own file stays as it was. Times:
//   - a plain copy of the file (read and written once, 1 MB blocks), best of three;
//   - reading the document list (Robo committed);
//   - appending a new three-line document, best and worst of twenty;
//   - correcting a document in the middle of the file (the file written anew
//     beside and renamed over), best of three, against the plain copy;
//   - deleting it.
// Usage: bench_documents DIR
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.hpp"
#include "common/dates.hpp"
#include "platform/file.hpp"
#include "shell/state.hpp"
#include "store/chart.hpp"
#include "store/document_book.hpp"

namespace {

using namespace zel;

Document Sample(const std::string& number) {
  Document d;
  d.number = number;
  d.booking = DayFromDdMmYy("150324");
  d.lines = {{"100", "130", "1500,00", "", "", "", "wypłata"},
             {"201-0001", "", "12,50", "FS 1/03", "A", "310324", "sprzedaż"},
             {"", "201-0002", "12,50", "", "", "", ""}};
  return d;
}

double Copy(const std::string& from, const std::string& to) {
  const double t0 = bench::Now();
  File in, out;
  in.OpenNative(from, Access::kRead, Share::kDenyWrite);
  out.OpenNative(to, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
  std::vector<char> big(1 << 20);
  std::uint64_t offset = 0;
  for (;;) {
    std::size_t got = 0;
    if (!in.ReadAt(offset, big.data(), big.size(), &got) || got == 0) break;
    out.WriteAt(offset, big.data(), got);
    offset += got;
  }
  out.Sync();
  out.Close();
  return bench::Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_documents DIR\n");
    return 2;
  }
  const std::string dir = std::filesystem::absolute(argv[1]).string();
  const std::string working = dir + "/R2024.DFX";
  const std::string bench_file = dir + "/BENCH.DFX";
  double copy = 1e9;
  for (int round = 0; round < 3; ++round) copy = std::min(copy, Copy(working, bench_file));
  std::uint64_t records = 0;
  const double plain = bench::PlainRead(bench_file, &records);
  DbDir = dir + "/";

  DocumentBook book;
  double t0 = bench::Now();
  if (!book.Open("BENCH")) {
    std::fprintf(stderr, "cannot read %s\n", bench_file.c_str());
    return 1;
  }
  const double list = bench::Now() - t0;

  double best_append = 1e9, worst_append = 0;
  for (int i = 0; i < 20; ++i) {
    DocumentFault f;
    t0 = bench::Now();
    if (!book.Append(Sample("BENCH/" + std::to_string(i)), &f)) {
      std::fprintf(stderr, "append refused\n");
      return 1;
    }
    const double t = bench::Now() - t0;
    best_append = std::min(best_append, t);
    worst_append = std::max(worst_append, t);
  }

  // A document in the middle: the list's entries are sorted by number.
  const std::vector<std::string> entries = book.Entries();
  const std::string middle = entries[entries.size() / 2].substr(0, 12);
  std::string number = middle;
  while (!number.empty() && number.back() == ' ') number.pop_back();
  double best_replace = 1e9;
  for (int round = 0; round < 3; ++round) {
    Document d;
    bool editable = false;
    std::string raw;
    if (!book.Load(number, &d, &editable, &raw)) {
      std::fprintf(stderr, "cannot load %s\n", number.c_str());
      return 1;
    }
    // Documents the demo wrote cannot be replaced from their lines: the
    // rewrite stores a document of this program's in their place.
    Document again = Sample(number);
    DocumentFault f;
    t0 = bench::Now();
    const bool ok = book.Replace(again, raw, &f);
    best_replace = std::min(best_replace, bench::Now() - t0);
    if (!ok) {
      std::fprintf(stderr, "replace refused\n");
      return 1;
    }
  }
  Document d;
  bool editable = false;
  std::string raw;
  book.Load(number, &d, &editable, &raw);
  DocumentFault f;
  t0 = bench::Now();
  book.Delete(number, raw, &f);
  const double del = bench::Now() - t0;
  std::filesystem::remove(bench_file);

  std::printf("working file: %llu records, %.1f MB\n", static_cast<unsigned long long>(records),
              records * 250.0 / 1e6);
  std::printf("  plain read                         %8.1f ms\n", plain * 1e3);
  std::printf("  plain copy (read + write + sync)   %8.1f ms\n", copy * 1e3);
  std::printf("  document list (Robo committed)     %8.1f ms  (%zu documents)\n", list * 1e3,
              book.Count());
  std::printf("  append a document, best / worst    %8.2f / %.2f ms\n", best_append * 1e3,
              worst_append * 1e3);
  std::printf("  correct a document (rewrite)       %8.1f ms  (%.2fx the plain copy)\n",
              best_replace * 1e3, best_replace / copy);
  std::printf("  delete a document (rewrite)        %8.1f ms\n", del * 1e3);
  return 0;
}
