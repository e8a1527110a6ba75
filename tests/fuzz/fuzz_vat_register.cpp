// Any bytes as VAT register files through the register run: the first byte
// picks the kind, the order and a mask; the rest is written as one register
// cut to whole records and as a second one of the raw length. Invariants: no
// crash, the run reports, every total by letter is a finite number and no
// amount cell of the report shows "nan" or "inf".
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "output/report_document.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "vat/vat_entry.hpp"
#include "vat/vat_register.hpp"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    // In the folder the fuzzer runs in (a scratch folder of scripts/fuzz.sh).
    std::string f = (std::filesystem::current_path() /
                     ("zel_fuzz_vat_" + std::to_string(::getpid())))
                        .string();
    std::filesystem::create_directories(f + "/VAT");
    return f + "/";
  }();
  return folder;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  zel::SetStatusSink(nullptr);
  zel::TempDir = Folder();
  const std::uint8_t mode = data[0];
  ++data;
  --size;
  const char kind = mode & 1 ? 'Z' : 'S';
  const std::string dir = Folder() + "VAT/";
  Write(dir + zel::VatRegisterFileName("AB", kind), data, size - size % zel::kVatEntrySize);
  Write(dir + zel::VatRegisterFileName("\"WN", 'Z'), data, size);

  zel::VatRegisterParams p;
  p.kind = kind;
  p.order = mode & 2 ? 'T' : 'N';
  p.mask = mode & 4 ? "A*" : "";
  p.from = 1;
  p.to = 43829;
  p.db_dir = Folder();
  zel::LetterTable totals{};
  p.totals = &totals;
  zel::JpkVatWriter jpk;
  p.jpk = &jpk;
  zel::SilentOptionServices window(" za okres");
  if (!zel::VatRegister(p, window)) std::abort();
  for (const zel::LetterAmounts& slot : totals) {
    for (zel::Amount x : slot) {
      if (!std::isfinite(static_cast<double>(x))) std::abort();
    }
  }
  if (!std::isfinite(static_cast<double>(jpk.Tax()))) std::abort();
  const zel::ReportDocument& doc = zel::CurrentReport();
  for (std::int32_t r = 1; r <= doc.RowCount(); ++r) {
    if (doc.RowKind(r) != '0') continue;
    for (int c = 6; c <= doc.ColumnCount(); ++c) {
      const std::string_view cell = doc.Cell(r, c);
      if (cell.find("nan") != std::string_view::npos || cell.find("inf") != std::string_view::npos)
        std::abort();
    }
  }
  return 0;
}
