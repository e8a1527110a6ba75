#include "shell/login.hpp"

#include <vector>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"

namespace zel {

std::string LoggedInLogin;

namespace {

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    std::string_view f =
        line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
    while (!f.empty() && (f.front() == ' ' || f.front() == '\t')) f.remove_prefix(1);
    while (!f.empty() && (f.back() == ' ' || f.back() == '\t')) f.remove_suffix(1);
    fields.emplace_back(f);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

// A database folder a login may name: relative, and never above the Zel
// folder.
bool SafeFolder(std::string_view folder) {
  if (folder.empty()) return false;
  if (folder.front() == '\\' || folder.front() == '/') return false;
  if (folder.size() >= 2 && folder[1] == ':') return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = folder.find_first_of("\\/", start);
    const std::string_view part =
        folder.substr(start, end == folder.npos ? folder.npos : end - start);
    if (part == "..") return false;
    if (end == folder.npos) return true;
    start = end + 1;
  }
}

bool ReadLoginFile(std::string* bytes, File& f, Share share, std::string_view context) {
  if (!ProtectedOpen(f, kLoginFile, share == Share::kExclusive ? Access::kReadWrite : Access::kRead,
                     share, Disposition::kOpenExisting, context)) {
    return false;
  }
  return f.ReadAll(bytes, 4u << 20);
}

// Each line with the offsets of its text in the file.
struct LineAt {
  std::size_t begin = 0;
  std::size_t end = 0;  // before "\r\n"
};
std::vector<LineAt> Lines(const std::string& bytes) {
  std::vector<LineAt> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t nl = bytes.find('\n', start);
    std::size_t end = nl == std::string::npos ? bytes.size() : nl;
    std::size_t text_end = end;
    if (text_end > start && bytes[text_end - 1] == '\r') --text_end;
    lines.push_back({start, text_end});
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

}  // namespace

char RoleLetter(std::string_view role) {
  if (role.empty()) return 'W';
  const char c = UpperPl(role.substr(0, 1))[0];
  return std::string_view("AKFO").find(c) != std::string_view::npos ? c : 'W';
}

bool ParseLoginLine(std::string_view line, LoginLine* out) {
  const std::vector<std::string> f = SplitFields(line);
  if (f[0].empty() || f[0].size() > 3) return false;
  int n = 0;
  for (char c : f[0]) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > 197) return false;
  LoginLine l;
  l.station = n;
  if (f.size() > 1) l.login = f[1];
  if (f.size() > 2) l.password = f[2];
  l.role = RoleLetter(f.size() > 3 ? std::string_view(f[3]) : std::string_view());
  if (f.size() > 4) l.folder = f[4];
  while (!l.folder.empty() && (l.folder.back() == '\\' || l.folder.back() == '/'))
    l.folder.pop_back();
  if (f.size() > 5) l.chart = f[5];
  *out = l;
  return true;
}

LoginCheck CheckLogin(std::string_view login, std::string_view password) {
  LoginCheck r;
  std::string bytes;
  File f;
  if (!ReadLoginFile(&bytes, f, Share::kDenyWrite, "aZestaw:Nadzor")) {
    r.message = "Błąd odczytu !\\Login.txt"_w;
    r.field = 2;
    return r;
  }
  f.Close();
  const std::string wanted = UpperPl(login);
  for (const LineAt& at : Lines(bytes)) {
    LoginLine line;
    if (!ParseLoginLine(std::string_view(bytes).substr(at.begin, at.end - at.begin), &line))
      continue;
    if (UpperPl(line.login) != wanted) continue;
    r.line = line;
    if (UpperPl(line.password) != UpperPl(password)) {
      r.message = "Błędne hasło"_w;
      r.field = 2;
    } else if (line.station == 0) {
      r.message = "Błędny numer stanowiska w !\\Login.txt"_w;
      r.field = 1;
    } else if (!SafeFolder(line.folder)) {
      r.message = "Błędny folder bazy w !\\Login.txt"_w;
      r.field = 1;
    } else {
      r.accepted = true;
    }
    return r;
  }
  r.message = "Błędny login"_w;
  r.field = 1;
  return r;
}

PasswordChange ChangePassword(std::string_view old_password, std::string_view new_password,
                              std::string_view repeated) {
  PasswordChange r;
  auto refuse = [&r](std::string_view text, int field) {
    r.message = std::string(text);
    r.field = field;
    return r;
  };
  if (LoggedInLogin.empty()) return refuse("Zmiana hasła wymaga zalogowania"_w, 33);
  if (new_password.empty()) return refuse("Puste nowe hasło"_w, 34);
  if (new_password.find_first_of(",\r\n") != std::string_view::npos) {
    return refuse("Hasło nie może zawierać przecinka"_w, 34);
  }
  if (UpperPl(new_password) != UpperPl(repeated)) return refuse("Powtórzone hasło jest inne"_w, 35);

  // Held exclusively from the read to the rename: no other change of the
  // file can slip in between and be lost.
  File f;
  std::string bytes;
  if (!ReadLoginFile(&bytes, f, Share::kExclusive, "aZestaw:Haslo")) {
    return refuse("Błąd odczytu !\\Login.txt"_w, 33);
  }
  const std::string wanted = UpperPl(LoggedInLogin);
  for (const LineAt& at : Lines(bytes)) {
    const std::string_view text = std::string_view(bytes).substr(at.begin, at.end - at.begin);
    LoginLine line;
    if (!ParseLoginLine(text, &line) || UpperPl(line.login) != wanted) continue;
    if (UpperPl(line.password) != UpperPl(old_password)) return refuse("Błędne hasło"_w, 33);
    // The third field's place in the line, spaces around it kept.
    std::size_t c1 = text.find(',');
    std::size_t c2 = c1 == text.npos ? text.npos : text.find(',', c1 + 1);
    if (c2 == text.npos) return refuse("Błąd odczytu !\\Login.txt"_w, 33);
    std::size_t c3 = text.find(',', c2 + 1);
    std::size_t from = c2 + 1, to = c3 == text.npos ? text.size() : c3;
    while (from < to && text[from] == ' ') ++from;
    while (to > from && text[to - 1] == ' ') --to;
    std::string changed =
        bytes.substr(0, at.begin + from) + std::string(new_password) + bytes.substr(at.begin + to);
    if (!WriteFileAtomically(kLoginFile, changed, std::string(StationExt.view()) + "~")) {
      return refuse("Błąd zapisu !\\Login.txt"_w, 34);
    }
    f.Close();
    r.done = true;
    r.message = "Hasło zmienione"_w;
    return r;
  }
  return refuse("Błędny login"_w, 33);
}

}  // namespace zel
