// Converts a journal file of postings into a ledger-cli journal, so that
// ledger's `balance` can be timed over the same postings as the trial
// balance (scripts/bench.sh). Not a part of Zel.
//   bench_batch_ledger JOURNAL.DFX OUT.ledger
// The working file is in document order: each run of records with the same
// document number becomes one transaction dated by its first posting, each
// posting one line: account "Z:" + symbol with its "-" as ledger's ":",
// the amount signed (debit +, credit -) with two decimals. Control records
// are left out. Documents that do not balance to the grosz get a last line
// to "Z:roznice" so that ledger accepts them (counted and reported).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/dates.hpp"
#include "platform/file.hpp"
#include "store/block_reader.hpp"
#include "store/journal_entry.hpp"
#include "store/record_source.hpp"

namespace {

std::string LedgerDate(zel::DayNo d) {
  const std::string t = zel::DayToText10(d);  // DD-MM-YYYY
  return t.substr(6, 4) + "/" + t.substr(3, 2) + "/" + t.substr(0, 2);
}

std::string LedgerAccount(std::string_view symbol) {
  std::string a = "Z:";
  for (char c : symbol) a += c == '-' ? ':' : c;
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zel;
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_batch_ledger JOURNAL.DFX OUT.ledger\n");
    return 2;
  }
  File file;
  if (!file.OpenNative(argv[1], Access::kRead, Share::kDenyWrite)) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  FileSource source(file);
  BlockReader reader(source, argv[1]);
  std::string doc;
  std::int64_t doc_sum = 0, postings = 0, documents = 0, unbalanced = 0;
  auto close_doc = [&] {
    if (doc.empty()) return;
    if (doc_sum != 0) {
      ++unbalanced;
      std::fprintf(out, "    Z:roznice  %.2f\n", static_cast<double>(-doc_sum) / 100);
    }
    std::fputc('\n', out);
  };
  for (;;) {
    const JournalEntry& e = reader.Next();
    if (e.IsSentinel() || reader.AtEnd()) break;
    if (e.IsControl()) continue;
    if (e.documentNo.view() != doc) {
      close_doc();
      doc = e.documentNo.str();
      doc_sum = 0;
      ++documents;
      std::fprintf(out, "%s %s\n", LedgerDate(e.bookingDate).c_str(), doc.c_str());
    }
    const std::int64_t grosze = std::llround(static_cast<double>(e.amount) * 100) * (e.IsDebit() ? 1 : -1);
    doc_sum += grosze;
    ++postings;
    std::fprintf(out, "    %s  %.2f\n", LedgerAccount(e.account.view()).c_str(),
                 static_cast<double>(grosze) / 100);
  }
  close_doc();
  if (std::fclose(out) != 0) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%lld postings in %lld transactions (%lld balanced with Z:roznice)\n",
              static_cast<long long>(postings), static_cast<long long>(documents),
              static_cast<long long>(unbalanced));
  return 0;
}
