#include "shell/registry.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/stations.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

constexpr std::string_view kContext = "aTProcH:335";

RegistryFatal fatal_handler = nullptr;
std::string summary;

// Record layout: offsets and capacities of the fields.
constexpr std::size_t kUserAt = 0, kUserCap = 30;
constexpr std::size_t kText25At = 31, kText25Cap = 25;
constexpr std::size_t kRecentAt = 57, kRecentCap = 15;
constexpr std::size_t kObjectsAt = 153, kObjectCap = 30;

std::string GetText(const char* at, std::size_t cap) {
  const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(at[0]), cap);
  return std::string(at + 1, n);
}

void PutText(char* at, std::string_view text, std::size_t cap) {
  const std::size_t n = std::min(text.size(), cap);
  at[0] = static_cast<char>(n);
  std::memcpy(at + 1, text.data(), n);
}

bool SameText(std::string_view a, std::string_view b) {
  return !a.empty() && a.size() == b.size() && UpperPl(a) == UpperPl(b);
}

std::uint64_t Fnv64(std::string_view text) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// '#' conflicts with every use of the text, '@' with '@' and '#', '+' only
// with '#'.
bool KindsConflict(char mine, char theirs) {
  if (mine == '#' || theirs == '#') return true;
  return mine == '@' && theirs == '@';
}

int OwnNumber() {
  return NetworkMode && RunMode >= 1 && RunMode <= kMaxStation ? RunMode : 0;
}

// The registry held exclusively for one command.
class Registry {
 public:
  bool Open() {
    MakeFolder("!");
    if (!ProtectedOpen(file_, kRegistryPath, Access::kReadWrite, Share::kExclusive,
                       Disposition::kOpenAlways, kContext)) {
      return false;
    }
    bytes_.assign(kRegistrySize, '\0');
    std::size_t got = 0;
    if (!file_.ReadAt(0, bytes_.data(), bytes_.size(), &got)) return false;
    // A new (or cut) file is filled up to its 200 records; nothing is ever
    // emptied, so a second first starter finds the first one's records.
    if (got < kRegistrySize) {
      if (!file_.WriteAt(got, bytes_.data() + got, kRegistrySize - got)) return false;
    }
    original_ = bytes_;
    return true;
  }
  RegistryRecord Get(int n) const { return RegistryRecord::Decode(At(n)); }
  void Put(int n, const RegistryRecord& r) { r.Encode(At(n)); }
  void Clear(int n) { std::memset(At(n), 0, kRegistryRecordSize); }
  bool RawEmpty(int n) const {
    const char* p = At(n);
    return std::all_of(p, p + kRegistryRecordSize, [](char c) { return c == 0; });
  }
  bool Changed(int n) const {
    return std::memcmp(At(n), original_.data() + n * kRegistryRecordSize, kRegistryRecordSize) != 0;
  }
  // Writes the records that changed, and nothing else.
  bool Write() {
    bool ok = true;
    for (int n = 0; n < kRegistryRecords; ++n) {
      if (!Changed(n)) continue;
      ok = file_.WriteAt(static_cast<std::uint64_t>(n) * kRegistryRecordSize, At(n),
                         kRegistryRecordSize) &&
           ok;
    }
    file_.Close();
    return ok;
  }

 private:
  char* At(int n) { return bytes_.data() + n * kRegistryRecordSize; }
  const char* At(int n) const { return bytes_.data() + n * kRegistryRecordSize; }
  File file_;
  std::vector<char> bytes_;
  std::vector<char> original_;
};

// Whether record m of `reg` conflicts with the command; a conflicting record
// of a workstation that does not run is cleared instead.
bool Conflicts(Registry& reg, int m, char command, const std::string& key) {
  if (reg.RawEmpty(m)) return false;
  const RegistryRecord other = reg.Get(m);
  bool hit = false;
  switch (command) {
    case '$':
      hit = SameText(other.text25, key);
      break;
    case 'D':
      for (const std::string& t : other.recent) hit = hit || SameText(t, key);
      break;
    default: {
      // A user or chart in use counts as a '+' use: many workstations read
      // one chart; none may while another rewrites it.
      const char mine = command == '!' ? '+' : command;
      for (int i = 0; i < 3; ++i) {
        hit = hit || (SameText(other.objects[i], key) && KindsConflict(mine, other.kinds[i]));
      }
      break;
    }
  }
  if (!hit) return false;
  if (!StationRunning(m)) {
    reg.Clear(m);
    return false;
  }
  return true;
}

void RemoveObject(RegistryRecord& r, const std::string& key) {
  for (int i = 0; i < 3; ++i) {
    if (!SameText(r.objects[i], key)) continue;
    for (int j = i; j < 2; ++j) {
      r.objects[j] = r.objects[j + 1];
      r.kinds[j] = r.kinds[j + 1];
    }
    r.objects[2].clear();
    r.kinds[2] = 0;
    return;
  }
}

void PushObject(RegistryRecord& r, char kind, const std::string& key) {
  // A repeated text moves to the front instead of pushing out the oldest.
  RemoveObject(r, key);
  for (int j = 2; j > 0; --j) {
    r.objects[j] = r.objects[j - 1];
    r.kinds[j] = r.kinds[j - 1];
  }
  r.objects[0] = key;
  r.kinds[0] = kind;
}

void RemoveRecent(RegistryRecord& r, const std::string& key) {
  auto it = std::find_if(r.recent.begin(), r.recent.end(),
                         [&](const std::string& t) { return SameText(t, key); });
  if (it == r.recent.end()) return;
  std::move(it + 1, r.recent.end(), it);
  r.recent.back().clear();
}

void PushRecent(RegistryRecord& r, const std::string& key) {
  RemoveRecent(r, key);
  std::move_backward(r.recent.begin(), r.recent.end() - 1, r.recent.end());
  r.recent[0] = key;
}

std::string Summary(const RegistryRecord& r) {
  std::string s = r.user == std::string(1, kTakenMark) ? std::string("*") : r.user;
  auto add = [&s](std::string_view part) {
    if (part.empty()) return;
    s += " | ";
    s += part;
  };
  add(r.text25);
  for (const std::string& t : r.recent) add(t);
  for (int i = 0; i < 3; ++i) {
    if (!r.objects[i].empty()) add(std::string(1, r.kinds[i]) + r.objects[i]);
  }
  return s;
}

}  // namespace

bool RegistryRecord::Empty() const {
  if (!user.empty() || !text25.empty()) return false;
  for (const std::string& t : recent)
    if (!t.empty()) return false;
  for (const std::string& t : objects)
    if (!t.empty()) return false;
  return true;
}

void RegistryRecord::Encode(char* out) const {
  std::memset(out, 0, kRegistryRecordSize);
  PutText(out + kUserAt, user, kUserCap);
  PutText(out + kText25At, text25, kText25Cap);
  for (std::size_t i = 0; i < recent.size(); ++i) {
    PutText(out + kRecentAt + i * (kRecentCap + 1), recent[i], kRecentCap);
  }
  for (std::size_t i = 0; i < objects.size(); ++i) {
    char* at = out + kObjectsAt + i * (kObjectCap + 2);
    at[0] = objects[i].empty() ? '\0' : kinds[i];
    PutText(at + 1, objects[i], kObjectCap);
  }
}

RegistryRecord RegistryRecord::Decode(const char* in) {
  RegistryRecord r;
  r.user = GetText(in + kUserAt, kUserCap);
  r.text25 = GetText(in + kText25At, kText25Cap);
  for (std::size_t i = 0; i < r.recent.size(); ++i) {
    r.recent[i] = GetText(in + kRecentAt + i * (kRecentCap + 1), kRecentCap);
  }
  for (std::size_t i = 0; i < r.objects.size(); ++i) {
    const char* at = in + kObjectsAt + i * (kObjectCap + 2);
    r.kinds[i] = at[0];
    r.objects[i] = GetText(at + 1, kObjectCap);
  }
  return r;
}

std::string RegistryKey(std::string_view text, std::size_t width) {
  if (text.size() <= width) return std::string(text);
  const std::uint64_t h = Fnv64(UpperPl(text));
  char hex[20];
  const int digits = width >= 24 ? 16 : 8;
  std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(h));
  const std::string hash(hex + 16 - digits, static_cast<std::size_t>(digits));
  const std::size_t tail = width - hash.size() - 1;
  return std::string(text.substr(text.size() - tail)) + "~" + hash;
}

RegisterOutcome RegisterCommand(char command, std::string_view text) {
  const int own = OwnNumber();
  if (own == 0) return RegisterOutcome::kNotUsed;
  if (std::string_view("!#+@$-Dd?").find(command) == std::string_view::npos) {
    ShowStatus("Z’y "_w + std::string(1, command), kWarning);
    return RegisterOutcome::kRefused;
  }
  const std::size_t width = command == '$'                       ? kText25Cap
                            : (command == 'D' || command == 'd') ? kRecentCap
                                                                 : kObjectCap;
  const std::string key = RegistryKey(text, width);

  Registry reg;
  if (!reg.Open()) {
    ShowStatus("Nie mogę otworzyć !\\!.!"_w, kWarning);
    return RegisterOutcome::kFailed;
  }
  RegistryRecord mine = reg.Get(own);
  bool refused = false;
  const bool checks =
      std::string_view("!#+@$D").find(command) != std::string_view::npos && !key.empty();
  if (checks) {
    for (int m = 0; m <= kMaxStation; ++m) {
      if (m == own || !Conflicts(reg, m, command, key)) continue;
      ShowStatus(std::string(text) + " zaj‘ty ("_w + IntTextOrEmpty(m) + ")", kWarning);
      refused = true;
      break;
    }
  }
  if (!refused) {
    switch (command) {
      case '!':
        mine.user = key;
        break;
      case '#':
      case '+':
      case '@':
        PushObject(mine, command, key);
        break;
      case '$':
        mine.text25 = key;
        break;
      case '-':
        RemoveObject(mine, key);
        break;
      case 'D':
        PushRecent(mine, key);
        break;
      case 'd':
        RemoveRecent(mine, key);
        break;
      case '?':
        if (!mine.user.empty()) {
          refused = true;
          ShowStatus("Powtórzony Użytkownik"_w, kWarning);
          if (fatal_handler) fatal_handler("Powtórzony Użytkownik"_w);
        } else {
          mine.user = std::string(1, kTakenMark);
        }
        break;
      default:
        break;
    }
  }
  if (!refused) reg.Put(own, mine);
  const bool own_changed = reg.Changed(own);
  const bool written = reg.Write();
  summary = Summary(reg.Get(own));
  if (!written) {
    ShowStatus("Błąd zapisu !\\!.!"_w, kWarning);
    return RegisterOutcome::kFailed;
  }
  if (refused) return RegisterOutcome::kRefused;
  return own_changed ? RegisterOutcome::kWritten : RegisterOutcome::kUnchanged;
}

bool RegisterUse(char command, std::string_view text) {
  const bool network = NetworkMode;
  return RegisterCommand(command, text) == RegisterOutcome::kWritten ? false : network;
}

void ReleaseStationRecord() {
  // The record may have been written while NetworkMode was on (a login),
  // so the number alone decides.
  const int own = RunMode >= 1 && RunMode <= kMaxStation ? RunMode : 0;
  if (own == 0 || !IsFile(kRegistryPath)) return;
  Registry reg;
  if (!reg.Open()) return;
  reg.Clear(own);
  reg.Write();
}

bool ClearStoppedRecords() {
  Registry reg;
  if (!reg.Open()) return false;
  for (int m = 0; m < kRegistryRecords; ++m) {
    if (!reg.RawEmpty(m) && !StationRunning(m)) reg.Clear(m);
  }
  return reg.Write();
}

RegistryRecord ReadRegistryRecord(int n) {
  RegistryRecord r;
  if (n < 0 || n >= kRegistryRecords || !IsFile(kRegistryPath)) return r;
  File f;
  char bytes[kRegistryRecordSize] = {};
  std::size_t got = 0;
  // Another workstation may hold the file for its command: retried.
  if (ProtectedOpen(f, kRegistryPath, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                    kContext) &&
      f.ReadAt(static_cast<std::uint64_t>(n) * kRegistryRecordSize, bytes, sizeof bytes, &got)) {
    r = RegistryRecord::Decode(bytes);
  }
  return r;
}

const std::string& RegistrySummary() {
  return summary;
}

void SetRegistryFatal(RegistryFatal fatal) {
  fatal_handler = fatal;
}

}  // namespace zel
