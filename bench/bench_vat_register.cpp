// The VAT register against a plain read and decode of its register files.
//   bench_vat_register [DB_DIR ...]
// For each database folder (years written by zel-demo --postings N), side by
// side in one run: reading and decoding every sales register file of
// "VAT\"; the sales register of March with its JPK rows; the whole year's
// sales register by date with its JPK rows. Without folders, and in any
// case: a register of 20,000 entries written to /tmp, run for the whole year
// with its JPK rows and the file assembled. Each figure is the best of three
// rounds (the machine is shared).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "menu/current_option.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/vat_entry.hpp"
#include "vat/vat_register.hpp"

namespace {

using namespace zel;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

template <class F>
double Best(F f) {
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, Seconds(t0));
  }
  return best;
}

// Reads and decodes every sales register of the folder; the entry count.
std::uint64_t ReadAndDecode(const std::string& db) {
  std::uint64_t n = 0;
  Amount sum = 0;
  std::vector<std::uint8_t> block(200 * kVatEntrySize);
  for (const FoundFile& f : FindFiles(db + "VAT\\*.RSV")) {
    File file;
    if (!file.Open(db + "VAT\\" + f.name, Access::kRead, Share::kDenyWrite)) continue;
    std::uint64_t offset = 0;
    for (;;) {
      std::size_t got = 0;
      if (!file.ReadAt(offset, block.data(), block.size(), &got) || got < kVatEntrySize) break;
      for (std::size_t i = 0; i + kVatEntrySize <= got; i += kVatEntrySize) {
        const VatEntry e = DecodeVatEntry(block.data() + i);
        sum += e.lines[0].net;
        ++n;
      }
      offset += got;
    }
  }
  if (sum < -1e30L) std::printf("?");
  return n;
}

std::uint32_t RunRegister(const std::string& db, const char* from, const char* to, char order) {
  VatRegisterParams p;
  p.kind = 'S';
  p.order = order;
  p.from = DayFromDdMmYy(from);
  p.to = DayFromDdMmYy(to);
  p.db_dir = db;
  JpkVatWriter jpk;
  p.jpk = &jpk;
  SilentOptionServices window(" za okres");
  VatRegister(p, window);
  return jpk.Rows();
}

}  // namespace

int main(int argc, char** argv) {
  SetStatusSink(nullptr);
  const std::string temp = "/tmp/zel_bench_vat/";
  std::filesystem::create_directories(temp + "db/VAT");
  TempDir = temp;
  StationExt = ".001";

  std::printf("%-34s %9s %10s %10s %10s %10s\n", "folder", "entries", "read+dec", "March",
              "ratio", "year");
  for (int a = 1; a < argc; ++a) {
    std::string db = std::filesystem::absolute(argv[a]).string() + "\\";
    std::uint64_t entries = 0;
    const double plain = Best([&] { entries = ReadAndDecode(db); });
    const double march = Best([&] { RunRegister(db, "010324", "310324", 'N'); });
    const double year = Best([&] { RunRegister(db, "010124", "311224", 'T'); });
    std::printf("%-34s %9llu %9.3fs %9.3fs %9.2fx %9.3fs\n", argv[a],
                static_cast<unsigned long long>(entries), plain, march, march / plain, year);
  }

  // 20,000 entries of two lines each, with the JPK file assembled.
  const std::string db = temp + "db/";
  {
    std::string bytes(20000 * kVatEntrySize, '\0');
    for (int i = 0; i < 20000; ++i) {
      VatEntry e;
      e.key = "FS " + std::to_string(i);
      e.number = 1;
      e.registration_date = static_cast<DayNo>(DayFromDdMmYy("010124") + i % 366);
      e.invoice_date = e.registration_date;
      e.vat_date = e.registration_date;
      e.nip = "7740001454";
      e.name = "Odbiorca & Syn " + std::to_string(i % 300);
      e.address = "00-001 Warszawa, ul. Długa "_w + std::to_string(i % 90);
      e.document_no = e.key;
      e.lines[0] = {'A', static_cast<Amount>(100 + i % 77), 23, {}};
      e.lines[1] = {'B', 50, 4, {}};
      EncodeVatEntry(e, reinterpret_cast<std::uint8_t*>(bytes.data()) + std::size_t(i) * kVatEntrySize);
    }
    std::ofstream(temp + "db/VAT/RejBIG.RSV", std::ios::binary | std::ios::trunc) << bytes;
  }
  DbDir = db;
  FromDate = DayFromDdMmYy("010124");
  ToDate = DayFromDdMmYy("311224");
  ForWhom = "Bench";
  OpenOption("DD", 43, "ReVat", "rejestr VAT");
  std::uint32_t rows = 0;
  const double run = Best([&] {
    rows = RunRegister(db, "010124", "311224", 'T');
    XmlE();
  });
  std::printf("20000 entries with the JPK file: %u rows, %.3fs\n", rows, run);
  std::filesystem::remove_all(temp);
  return 0;
}
