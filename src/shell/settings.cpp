#include "shell/settings.hpp"

#include <array>
#include <chrono>
#include <thread>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// A settings file larger than this is not a settings file.
constexpr std::uint64_t kMaxSettingsFile = 4u << 20;
constexpr std::size_t kWideField = 250;

struct LastRead {
  bool found = false;
  std::string full;                                // the whole value, uncut
  std::array<std::string, kSettingFields> fields;  // uncut up to kWideField
  std::array<std::int16_t, kSettingFields> numbers{};
};

LastRead last;
std::function<void(int)> settings_wait;

void Wait(int ms) {
  if (settings_wait) {
    settings_wait(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

bool IsKeyChar(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c == '.' || c == '?') return true;
  for (std::uint8_t p : PolishWin) {
    if (p == c) return true;
  }
  return false;
}

// Splits a file's text into lines (LF or CR LF); a final line end gives no
// empty last line.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = text.find('\n', i);
    if (j == std::string_view::npos) j = text.size();
    std::string_view line = text.substr(i, j - i);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    i = j + 1;
  }
  return out;
}

std::string ValueOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view v = line.substr(eq + 1);
  while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  return std::string(v);
}

void SplitFields(const std::string& value) {
  std::size_t start = 0;
  for (int n = 0; n < kSettingFields; ++n) {
    if (start > value.size()) break;
    std::size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    std::string f = value.substr(start, std::min(end - start, kWideField));
    last.numbers[n] = ParseSmall(f.substr(0, kSettingFieldSize));
    last.fields[n] = std::move(f);
    start = end + 1;
  }
}

// Reads the file's text under the reading retries; false when it is missing,
// locked through the retries or unreadable.
bool ReadFileText(const std::string& path, std::string* text) {
  if (!IsFile(path)) return false;
  File f;
  if (!ProtectedOpen(f, path, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                     "aPulpit:zRej")) {
    return false;
  }
  if (!f.ReadAll(text, kMaxSettingsFile)) {
    ShowStatus("Błąd odczytu "_w + path, kWarning);
    return false;
  }
  return true;
}

}  // namespace

std::string SettingsPath(bool database_file) {
  if (database_file) return std::string(DbDir.view()) + "Zel.BAL";
  return "#\\Zel.BAL";
}

std::string NormalizeKey(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c == '=') break;
    const auto b = static_cast<unsigned char>(c);
    if (!IsKeyChar(b)) continue;
    out += c;
    if (out.size() == kSettingKeySize) break;
  }
  return UpperPl(out);
}

std::string WantedKey(std::string_view key) {
  std::string k(key);
  if (k.find('.') == std::string::npos) k += StationExt.view();
  return NormalizeKey(k);
}

bool KeyMatches(std::string_view stored, std::string_view wanted) {
  if (stored.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] != '?' && stored[i] != wanted[i]) return false;
  }
  return true;
}

std::string ReadSetting(bool database_file, std::string_view key) {
  last = LastRead{};
  std::string text;
  if (!ReadFileText(SettingsPath(database_file), &text)) return {};
  const std::string wanted = WantedKey(key);
  for (std::string_view line : Lines(text)) {
    if (line.find('=') == std::string_view::npos) continue;  // not a record
    if (!KeyMatches(NormalizeKey(line), wanted)) continue;
    last.found = true;
    last.full = ValueOf(line);
    SplitFields(last.full);
    return last.full.substr(0, kSettingValueSize);
  }
  return {};
}

bool SettingFound() {
  return last.found;
}

std::string SettingField(int n) {
  if (n < 1 || n > kSettingFields) return {};
  return last.fields[n - 1].substr(0, kSettingFieldSize);
}

std::string SettingFieldWide(int n) {
  if (n < 1 || n > kSettingFields) return {};
  return last.fields[n - 1];
}

std::int16_t SettingNumber(int n) {
  if (n < 1 || n > kSettingFields) return 0;
  return last.numbers[n - 1];
}

bool SettingYes(int n) {
  return SettingField(n) == "T";
}

void SetSettingsWait(std::function<void(int ms)> wait) {
  settings_wait = std::move(wait);
}

void WriteSetting(bool database_file, std::string_view key, std::string_view value) {
  if (StationExt.empty()) return;
  value = value.substr(0, kWideField);
  ReadSetting(database_file, key);
  if (last.found && last.full == value) return;

  std::string written_key(key);
  if (written_key.size() < 8) written_key.insert(0, 8 - written_key.size(), ' ');
  if (written_key.find('.') == std::string::npos) written_key += StationExt.view();
  const std::string wanted = NormalizeKey(written_key);
  const std::string path = SettingsPath(database_file);

  // A database folder that is not there will not appear while we wait and
  // retry (eleven seconds for every key at close): the change is lost now.
  const std::string folder(PathFolder(path));
  if (database_file && !folder.empty() && !IsFolder(folder)) {
    ShowStatus("Nie ma folderu "_w + folder, kWarning);
    return;
  }
  // Another workstation may be replacing the file this very moment.
  for (int i = 0; i < 7 && !IsFile(path); ++i) Wait(333);
  if (!IsFile(path)) {
    MakeFolder("#");
    File created;
    if (!ProtectedOpen(created, path, Access::kReadWrite, Share::kExclusive,
                       Disposition::kOpenAlways, "aPulpit:wRej.1")) {
      return;
    }
    std::uint64_t size = 0;
    if (created.Size(&size) && size == 0) {
      const std::string head = "\r\n  Rejestr." + path;
      if (!created.WriteAt(0, head.data(), head.size()) || !created.Sync()) {
        ShowStatus("Błąd zapisu "_w + path, kWarning);
        return;
      }
    }
    created.Close();
  }

  // Held exclusively while the new file is written and renamed over it, so
  // two writers never work from the same old contents and readers wait.
  File old;
  if (!ProtectedOpen(old, path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenExisting,
                     "aPulpit:wRej.2")) {
    return;
  }
  std::string text;
  if (!old.ReadAll(&text, kMaxSettingsFile)) {
    ShowStatus("Błąd odczytu "_w + path, kWarning);
    return;
  }
  std::string out;
  out.reserve(text.size() + written_key.size() + value.size() + 8);
  for (std::string_view line : Lines(text)) {
    if (NormalizeKey(line) == wanted) continue;
    out += line;
    out += "\r\n";
  }
  out += ' ';
  out += written_key;
  out += " = ";
  out += value;

  const std::string temp = path + std::string(StationExt.view());
  File fresh;
  bool ok = fresh.Open(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways) &&
            fresh.WriteAt(0, out.data(), out.size()) && fresh.Sync() && fresh.Close();
  ok = ok && ReplaceFile(temp, path);
  if (!ok) {
    fresh.Close();
    RemoveFile(temp);
    ShowStatus("Błąd zapisu "_w + path, kWarning);
  }
  old.Close();
}

}  // namespace zel
