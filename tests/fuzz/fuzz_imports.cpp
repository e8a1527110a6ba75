// dBase files and .xls workbooks of any content through the chart and
// turnover imports: nothing crashes, and an import that fails leaves no
// output behind while one that succeeds writes whole records only.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "books/imports.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/state.hpp"

using namespace zel;

namespace {

void WriteInput(const std::string& native, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(native.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

void CheckOutput(bool ok, std::string_view path, std::size_t record_size) {
  FileInfo info;
  const bool exists = GetFileInfo(path, &info) && info.exists;
  if (!ok && exists) std::abort();  // a failed import wrote something
  if (ok && (!exists || info.size % record_size != 0)) std::abort();
  if (exists) RemoveFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    DbDir = "";
    return MakeFolder("fuzz_out");
  }();
  if (!ready || size == 0) return 0;
  // The first byte chooses the reader; the rest is the file.
  const bool xls = (data[0] & 1) != 0;
  const std::string input = xls ? "fuzz_in.xls" : "fuzz_in.dbf";
  WriteInput(NativePath(input), data + 1, size - 1);
  SilentOptionServices window;
  if (xls) {
    CheckOutput(ImportXlsChart(NativePath(input), "fuzz_out\\Konta.PFX", (data[0] & 2) != 0),
                "fuzz_out\\Konta.PFX", kAccountRecordSize);
  } else {
    CheckOutput(ImportDbfChart(NativePath(input), "fuzz_out\\Konta.PFX", &window),
                "fuzz_out\\Konta.PFX", kAccountRecordSize);
    CheckOutput(ImportDbfTurnovers(NativePath(input), "fuzz_out\\Obroty.DFX", &window),
                "fuzz_out\\Obroty.DFX", kJournalRecordSize);
  }
  return 0;
}
