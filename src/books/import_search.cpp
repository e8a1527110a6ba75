// The search path of SzDbf and the search for the newest file under it.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "books/imports.hpp"
#include "common/concat.hpp"
#include "common/cp1250.hpp"

namespace zel {

bool CheckSearchPath(std::string* path, std::string* message) {
  std::string& p = *path;
  if (p.empty()) {
    *message = "Musisz podać choć literę dysku"_w;
    return false;
  }
  p[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
  if (p[0] < 'A' || p[0] > 'Z') {
    *message = "Musisz zacząć od litery dysku"_w;
    return false;
  }
  if (p.size() == 1) p += ':';
  if (p[1] != ':') {
    p.insert(1, 1, ':');
    *message = "Po literze dysku dwukropek"_w;
    return false;
  }
  if (p.size() == 2) p += '\\';
  if (p[2] != '\\') {
    p.insert(2, 1, '\\');
    *message = Concat({"Po "_w, p.substr(0, 2), " ma być odwrotny balik"_w});
    return false;
  }
  return true;
}

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

struct Search {
  std::string_view name;
  dev_t device = 0;
  OptionServices* window = nullptr;
  std::int64_t folders = 0;
  std::string best;
  std::int64_t best_ns = 0;
  bool aborted = false;

  void Walk(const std::string& folder) {
    if (aborted) return;
    ++folders;
    window->Progress("Szukam"_w, folders, 0);
    if (window->AbortRequested()) {
      aborted = true;
      return;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> entries;
    while (const dirent* d = readdir(dir)) {
      const std::string_view n(d->d_name);
      if (n == "." || n == "..") continue;
      entries.emplace_back(n);
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    std::vector<std::string> subfolders;
    for (const std::string& n : entries) {
      const std::string full = folder + "/" + n;
      struct stat st {};
      // lstat: a symbolic link is never followed, to a file or a folder.
      if (lstat(full.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
      if (S_ISDIR(st.st_mode)) {
        if (n[0] != '.' && st.st_dev == device) subfolders.push_back(full);
      } else if (S_ISREG(st.st_mode) && SameNameIgnoringCase(n, name)) {
        const std::int64_t ns =
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        if (best.empty() || ns > best_ns) {
          best = full;
          best_ns = ns;
        }
      }
    }
    for (const std::string& s : subfolders) Walk(s);
  }
};

}  // namespace

std::string FindNewestFile(const std::string& root, std::string_view name,
                           OptionServices& window, bool* aborted) {
  *aborted = false;
  struct stat st {};
  // The starting folder is the one the user named, even through a link.
  if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  Search s;
  s.name = name;
  s.device = st.st_dev;
  s.window = &window;
  std::string start = root;
  while (start.size() > 1 && start.back() == '/') start.pop_back();
  s.Walk(start);
  *aborted = s.aborted;
  return s.aborted ? std::string() : s.best;
}

}  // namespace zel
