#include "app/demo_stations.hpp"

#include "app/demo_files.hpp"
#include "common/cp1250.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"

namespace zel {

namespace {

bool Fail(std::string* err, std::string text) {
  *err = std::move(text);
  return false;
}

bool ReadWhole(std::string_view path, std::string* bytes) {
  File f;
  return f.Open(path, Access::kRead, Share::kDenyWrite) && f.ReadAll(bytes);
}

// Every ".xxx" record also as ".???", so every workstation finds it; the
// firm allows shared work (FirmUsSi field 3 "T").
std::string ForEveryStation(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  std::string added;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    start = nl == std::string::npos ? text.size() : nl + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += line + "\r\n";
    const std::size_t at = line.find(".xxx =");
    if (at == std::string::npos) continue;
    added += line.substr(0, at) + ".??? =" + line.substr(at + 6) + "\r\n";
  }
  return out + added;
}

}  // namespace

bool WriteStationsDemo(std::string_view db_dir, const DemoOptions& options, std::string* err) {
  const std::string zel = Utf8ToWin(ZelFolder()) + "/";
  std::string folder(db_dir);
  if (ZelFolder().empty() || folder.compare(0, zel.size(), zel) != 0 ||
      folder.size() <= zel.size() + 1) {
    return Fail(err, "--stations: folder bazy musi leżeć w folderze Zel "_w + zel);
  }
  const std::string rel = folder.substr(zel.size(), folder.size() - zel.size() - 1);

  // The settings of the database for every workstation.
  std::string settings;
  const std::string settings_path = folder + "Zel.BAL";
  if (!ReadWhole(settings_path, &settings)) return Fail(err, "Błąd odczytu "_w + settings_path);
  if (!WriteFileAtomically(settings_path, ForEveryStation(settings), "~")) {
    return Fail(err, "Błąd zapisu "_w + settings_path);
  }

  // A second chart beside the first (option 139).
  std::string chart;
  const std::string chart_path = folder + std::string(kDemoChartName) + ".PFX";
  if (!ReadWhole(chart_path, &chart)) return Fail(err, "Błąd odczytu "_w + chart_path);
  const std::string second_chart = folder + std::string(kSecondChartName) + ".PFX";
  if (!WriteFileAtomically(second_chart, chart, "~"))
    return Fail(err, "Błąd zapisu "_w + second_chart);

  // A second database folder (options 138 and 142), another firm's year.
  DemoOptions second = options;
  second.seed = options.seed + 1;
  const std::string second_rel = rel + std::string(kSecondFolderSuffix);
  const std::string second_dir = zel + second_rel + "\\";
  if (!WriteDemoYear(BuildDemoYear(second), second_dir, err)) return false;
  std::string second_settings;
  if (!ReadWhole(second_dir + "Zel.BAL", &second_settings) ||
      !WriteFileAtomically(second_dir + "Zel.BAL", ForEveryStation(second_settings), "~")) {
    return Fail(err, "Błąd zapisu "_w + second_dir + "Zel.BAL");
  }

  // The users: an administrator, a book-keeper, and a role the program does
  // not know (it works as 'W').
  const std::string logins = "1,ADMIN,admin,A," + rel + "," + std::string(kDemoChartName) +
                             ",\r\n" + "2,KSIEGOWA,ksiegowa,K," + rel + "," +
                             std::string(kDemoChartName) + ",\r\n" + "3,GOSC,gosc,X," + second_rel +
                             ",,\r\n";
  MakeFolder("!");
  if (!WriteFileAtomically("!\\Login.txt", logins, "~"))
    return Fail(err, "Błąd zapisu !\\Login.txt"_w);
  return true;
}

}  // namespace zel
