// The workstations' files on arbitrary bytes: a registry record as a damaged
// "!\!.!" would hold it, a line of "!\Login.txt", a lock file's name and a
// registry key. Checks the invariants, not only the absence of crashes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "shell/login.hpp"
#include "shell/registry.hpp"
#include "shell/stations.hpp"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zel;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  char record[kRegistryRecordSize] = {};
  std::memcpy(record, data, size < sizeof record ? size : sizeof record);
  const RegistryRecord r = RegistryRecord::Decode(record);
  Check(r.user.size() <= 30 && r.text25.size() <= 25);
  for (const std::string& t : r.recent) Check(t.size() <= 15);
  for (const std::string& t : r.objects) Check(t.size() <= 30);
  // What was decoded encodes to a record that decodes to the same.
  char again[kRegistryRecordSize];
  r.Encode(again);
  const RegistryRecord back = RegistryRecord::Decode(again);
  Check(back.user == r.user && back.text25 == r.text25 && back.recent == r.recent &&
        back.objects == r.objects);

  LoginLine line;
  if (ParseLoginLine(text, &line)) {
    Check(line.station >= 0 && line.station <= 197);
    Check(std::string_view("AKFOW").find(line.role) != std::string_view::npos);
  }

  const int n = StationOfLockName(text);
  Check(n >= 0 && n <= kMaxStation);

  for (std::size_t width : {15u, 25u, 30u}) {
    const std::string key = RegistryKey(text, width);
    Check(key.size() <= width);
    Check(text.size() > width || key == text);
  }
  return 0;
}
