// The settings record reader and writer and the parameter file reader over
// arbitrary file contents: nothing crashes, values and fields keep their
// capacities, and a record written is the record read back (when no stored
// wildcard key stands in front of it).
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace {

std::string folder;

void RemoveFolder() {
  nftw(
      folder.c_str(),
      [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
      FTW_DEPTH | FTW_PHYS);
}

bool Setup() {
  char tmpl[] = "/tmp/zel-fuzz-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  if (dir == nullptr) abort();
  folder = dir;
  atexit(RemoveFolder);
  std::string err;
  if (!zel::SetZelFolder(dir, &err)) abort();
  zel::MakeFolder("#");
  zel::StationExt = ".xxx";
  zel::DbDir = "";
  zel::SetRetryPause([](int) {});
  zel::SetSettingsWait([](int) {});
  return true;
}

void Put(const std::string& native, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = Setup();
  (void)ready;
  const std::string station = zel::NativePath("#\\Zel.BAL");
  Put(station, data, size);
  for (const char* key : {"KonOkien", "DatyBOBZ", "FolderIE.xxx", "A", "?"}) {
    const std::string value = zel::ReadSetting(false, key);
    if (value.size() > zel::kSettingValueSize) abort();
    for (int n = 1; n <= zel::kSettingFields; ++n) {
      if (zel::SettingField(n).size() > zel::kSettingFieldSize) abort();
      if (zel::SettingFieldWide(n).size() > 250) abort();
    }
  }
  zel::WriteSetting(false, "KonPrint", "Arial;Bold");
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('?') == std::string::npos && zel::ReadSetting(false, "KonPrint") != "Arial;Bold")
    abort();

  Put(zel::NativePath("!FX!.xxx"), data, size);
  zel::DatabaseSettings db;
  zel::ReadParamFile(db);
  if (zel::ForWhom.size() > 80 || db.chart_dir.size() > 8) abort();
  return 0;
}
