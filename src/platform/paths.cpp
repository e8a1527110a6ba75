#include "platform/paths.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/case_fold.hpp"

namespace zel {

namespace {

std::string zel_folder;
std::string drive_roots[26];

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string CurrentFolder() {
  std::string buf(4096, '\0');
  if (getcwd(buf.data(), buf.size()) == nullptr) return ".";
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return buf;
}

bool Exists(const std::string& native) {
  struct stat st;
  return lstat(native.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case, the
// first in name order when several do; empty when none.
std::string FindFolded(const std::string& folder, std::string_view name_win) {
  DIR* d = opendir(folder.empty() ? "/" : folder.c_str());
  if (d == nullptr) return {};
  const std::string wanted = FoldCase(name_win);
  std::string best;
  while (dirent* e = readdir(d)) {
    const std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (FoldCase(Utf8ToWin(n)) != wanted) continue;
    if (best.empty() || n < best) best = std::string(n);
  }
  closedir(d);
  return best;
}

std::string Join(const std::string& folder, std::string_view name) {
  std::string p = folder;
  if (p.empty() || p.back() != '/') p += '/';
  p += name;
  return p;
}

}  // namespace

std::string FoldCase(std::string_view win) {
  std::string s(win);
  for (char& c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') {
      c = static_cast<char>(b - 'a' + 'A');
      continue;
    }
    const auto it = std::find(PolishWin.begin(), PolishWin.begin() + 9, b);
    if (it != PolishWin.begin() + 9) c = static_cast<char>(*(it + 9));
  }
  return s;
}

std::string DefaultZelFolder() {
  std::string home = Env("ZEL_HOME");
  if (!home.empty()) return home;
  std::string data = Env("XDG_DATA_HOME");
  if (!data.empty() && data.front() == '/') return Join(data, "zel");
  std::string user = Env("HOME");
  if (user.empty()) user = CurrentFolder();
  return Join(Join(user, ".local/share"), "zel");
}

bool SetZelFolder(std::string_view native, std::string* err) {
  std::string path = native.empty() ? std::string(".") : std::string(native);
  // Create the folder and its parents.
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string prefix = path.substr(0, i);
      if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
        if (err) *err = "Nie mogę utworzyć folderu "_w + Utf8ToWin(prefix);
        return false;
      }
    }
  }
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    if (err) *err = "Nie mogę utworzyć folderu "_w + Utf8ToWin(path);
    return false;
  }
  std::string absolute(real);
  std::free(real);
  if (chdir(absolute.c_str()) != 0) {
    if (err) *err = "Nie mogę przejść do folderu "_w + Utf8ToWin(absolute);
    return false;
  }
  zel_folder = absolute;
  return true;
}

const std::string& ZelFolder() {
  return zel_folder;
}

std::string DriveRoot(char letter) {
  const auto b = static_cast<unsigned char>(letter);
  if (!std::isalpha(b) || b > 127) return {};
  const int i = std::toupper(b) - 'A';
  if (!drive_roots[i].empty()) return drive_roots[i];
  const std::string env_name = std::string("ZEL_DRIVE_") + static_cast<char>('A' + i);
  std::string env = Env(env_name.c_str());
  if (!env.empty()) return env;
  const std::string base = zel_folder.empty() ? CurrentFolder() : zel_folder;
  return Join(base, std::string("drive_") + static_cast<char>('a' + i));
}

void SetDriveRoot(char letter, std::string_view native) {
  const auto b = static_cast<unsigned char>(letter);
  if (!std::isalpha(b) || b > 127) return;
  drive_roots[std::toupper(b) - 'A'] = std::string(native);
}

std::vector<char> ExistingDrives() {
  std::vector<char> out;
  for (char c = 'A'; c <= 'Z'; ++c) {
    struct stat st;
    if (stat(DriveRoot(c).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) out.push_back(c);
  }
  return out;
}

std::string NativePath(std::string_view zel_path) {
  std::string_view s = zel_path.substr(0, zel_path.find('\0'));
  std::string current;
  const auto b0 = s.empty() ? 0 : static_cast<unsigned char>(s[0]);
  if (s.size() >= 2 && s[1] == ':' && b0 < 128 && std::isalpha(b0)) {
    current = DriveRoot(s[0]);
    s.remove_prefix(2);
  } else if (!s.empty() && IsSeparator(s[0])) {
    current = std::string("/");
  } else {
    current = zel_folder.empty() ? CurrentFolder() : zel_folder;
  }
  bool missing = false;  // once a folder is missing, nothing below it exists
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t j = i;
    while (j < s.size() && !IsSeparator(s[j])) ++j;
    const std::string_view part = s.substr(i, j - i);
    i = j + 1;
    if (part.empty() || part == ".") continue;
    const std::string utf8 = WinToUtf8(part);
    if (part == ".." || missing) {
      current = Join(current, utf8);
      continue;
    }
    std::string candidate = Join(current, utf8);
    if (!Exists(candidate)) {
      const std::string found = FindFolded(current, part);
      if (found.empty()) {
        missing = true;
      } else {
        candidate = Join(current, found);
      }
    }
    current = std::move(candidate);
  }
  return current;
}

std::string_view PathFileName(std::string_view zel_path) {
  const std::size_t p = zel_path.find_last_of("\\/");
  return p == std::string_view::npos ? zel_path : zel_path.substr(p + 1);
}

std::string_view PathFolder(std::string_view zel_path) {
  const std::size_t p = zel_path.find_last_of("\\/");
  return p == std::string_view::npos ? std::string_view() : zel_path.substr(0, p + 1);
}

}  // namespace zel
