#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "common/cp1250.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "statements/open_items.hpp"
#include "statements/settlements.hpp"
#include "statements/trial_balance.hpp"
#include "store/journal_file.hpp"

namespace zel {

std::uint8_t SettlementIndex(SettlementKind kind) {
  switch (kind) {
    case SettlementKind::RoNie:
      return 67;
    case SettlementKind::Ranki:
      return 75;
    case SettlementKind::Trans:
      return 76;
    case SettlementKind::RoBan:
      return 77;
    case SettlementKind::NatJP:
      return 78;
  }
  return 0;
}

const char* SettlementCode(SettlementKind kind) {
  switch (kind) {
    case SettlementKind::RoNie:
      return "RoNie";
    case SettlementKind::Ranki:
      return "Ranki";
    case SettlementKind::Trans:
      return "Trans";
    case SettlementKind::RoBan:
      return "RoBan";
    case SettlementKind::NatJP:
      return "NatJP";
  }
  return "";
}

namespace {

// Each byte as a settlement key compares it: small letters as capitals,
// Polish letters as their Latin capitals, every other byte as itself.
struct KeyFold {
  std::array<char, 256> to{};
  KeyFold() {
    static constexpr char kCapitals[] = "ACELNOSZZACELNOSZZ";
    for (std::size_t b = 0; b < to.size(); ++b) {
      char c = static_cast<char>(b);
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      to[b] = c;
    }
    // Backwards, so that a byte listed twice takes its first place.
    for (std::size_t i = PolishMazovia.size(); i-- > 0;) {
      if (PolishMazovia[i] >= 0x80) to[PolishMazovia[i]] = kCapitals[i];
    }
  }
};

}  // namespace

std::size_t SettlementKeyTo(std::string_view t, char* out) {
  // The key is what follows the last '*' and then the last ';' after it: one
  // scan from the end, stopping at whichever of them comes first, finds it.
  std::size_t from = t.size();
  while (from > 0 && t[from - 1] != '*' && t[from - 1] != ';') --from;
  static const KeyFold fold;
  const std::size_t n = std::min<std::size_t>(t.size() - from, kSettlementKeyCapacity);
  const char* in = t.data() + from;
  for (std::size_t i = 0; i < n; ++i) out[i] = fold.to[static_cast<std::uint8_t>(in[i])];
  return n;
}

namespace {

// Bit 7 of each byte of the result is set where the byte of x is zero, and
// only there (no carry between bytes).
std::uint64_t ZeroBytes(std::uint64_t x) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

std::uint64_t SeparatorBytes(std::uint64_t w) {
  return ZeroBytes(w ^ 0x2A2A2A2A2A2A2A2Aull) | ZeroBytes(w ^ 0x3B3B3B3B3B3B3B3Bull);  // '*', ';'
}

// Eight key characters folded at once when all are ASCII: bytes 'a'..'z'
// lose their 0x20 bit. A word with other bytes goes through the table.
std::uint64_t FoldWord(std::uint64_t w, const KeyFold& fold) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  if ((w & kHigh) == 0) {
    const std::uint64_t from_a = w + 0x1F1F1F1F1F1F1F1Full;  // bit 7 set from 'a' (0x61) up
    const std::uint64_t past_z = w + 0x0505050505050505ull;  // bit 7 set from '{' (0x7B) up
    return w ^ ((from_a & ~past_z & kHigh) >> 2);
  }
  std::uint64_t r = 0;
  for (int i = 0; i < 8; ++i) {
    const auto b = static_cast<std::uint8_t>(w >> (8 * i));
    r |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(fold.to[b])) << (8 * i);
  }
  return r;
}

}  // namespace

std::size_t SettlementKeyOfField(const std::uint8_t* field, char* out) {
  static_assert(std::endian::native == std::endian::little && kSettlementKeyCapacity == 20);
  static const KeyFold fold;
  const std::size_t n = std::min<std::size_t>(field[0], kSettlementKeyCapacity);
  // The 20 characters as words in registers, with zeros after them (a
  // round trip through memory would wait for the bytes just stored).
  std::uint64_t w[4];
  std::uint32_t tail;
  std::memcpy(&w[0], field + 1, 8);
  std::memcpy(&w[1], field + 9, 8);
  std::memcpy(&tail, field + 17, 4);
  w[2] = tail;
  w[3] = 0;
  // The key follows the last '*' or ';' (bytes past n are zero, never one).
  std::size_t from = 0;
  for (std::size_t i = 3; i-- > 0;) {
    if (const std::uint64_t m = SeparatorBytes(w[i]); m != 0) {
      from = 8 * i + static_cast<std::size_t>(63 - __builtin_clzll(m)) / 8 + 1;
      break;
    }
  }
  // A separator past the length means bytes the field should not hold:
  // the key then ends empty rather than at a length below zero.
  from = std::min(from, n);
  // The words moved down by `from` bytes.
  const std::size_t q = from / 8;
  const unsigned r = static_cast<unsigned>(from % 8) * 8;
  std::uint64_t k[3];
  for (std::size_t i = 0; i < 3; ++i) {
    const std::uint64_t low = i + q < 4 ? w[i + q] : 0;
    const std::uint64_t high = i + q + 1 < 4 ? w[i + q + 1] : 0;
    k[i] = FoldWord(r == 0 ? low : (low >> r) | (high << (64 - r)), fold);
  }
  std::memcpy(out, k, kSettlementKeyCapacity);
  return n - from;
}

std::string SettlementKey(std::string_view t) {
  char key[kSettlementKeyCapacity];
  return std::string(key, SettlementKeyTo(t, key));
}

std::string_view InvoiceNumberView(std::string_view t) {
  if (std::size_t p = t.find('*'); p != std::string_view::npos) t = t.substr(0, p);
  if (std::size_t p = t.rfind(';'); p != std::string_view::npos) t = t.substr(p + 1);
  return t;
}

std::string InvoiceNumberText(std::string_view t) {
  return std::string(InvoiceNumberView(t));
}

std::string MaskText(const std::vector<std::string>& masks) {
  if (masks.empty()) return {};
  std::string text = "  [konta: " + masks[0];
  if (masks.size() > 1) text += "," + masks[1];
  if (masks.size() > 3) {
    text += ",...";
  } else if (masks.size() == 3) {
    text += "," + masks[2];
  }
  text += "]";
  if (text.size() > 70) text.resize(70);
  return text;
}

std::string OpenItemsPath(std::string_view annual_name) {
  std::string path(DbDir.view());
  path += annual_name;
  path += ".AFX";
  return path;
}

std::string BakName(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const bool has_ext =
      dot != std::string_view::npos && path.find_first_of("\\:", dot) == std::string_view::npos;
  std::string bak(has_ext ? path.substr(0, dot) : path);
  return bak + ".BAK";
}

namespace {

constexpr int kAttempts = 5;
// Backup names tried: ".BAK", ".BAL", ... A folder where none of them can be
// deleted gets no backup rather than an endless search.
constexpr int kBackupNames = 5;

void IoWarning(std::string_view name) {
  ShowStatus(" błąd "_w + IoErrorText(LastIoError()) + " " + std::string(name), kWarning);
}

}  // namespace

bool MoveAsideBak(std::string_view path) {
  std::string bak = BakName(path);
  bool retried = false;
  bool cleared = false;
  for (int name = 0; name < kBackupNames && !cleared; ++name) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      if (!FileOrFolderExists(bak) || RemoveFile(bak)) {
        cleared = true;
        break;
      }
      IoWarning(bak);
      retried = true;
    }
    if (!cleared) bak.back() = static_cast<char>(bak.back() + 1);
  }
  if (!cleared) return false;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (RenameFile(path, bak)) {
      if (retried) ShowStatus("Poszło"_w, kSuccess);
      return true;
    }
    IoWarning(path);
    retried = true;
  }
  return false;
}

bool RunOnAnnualFile(const SettlementParams& p, OptionServices& window, std::string_view tag,
                     SettlementReport report) {
  if (!CheckSettlement(p, window)) return false;
  File file;
  if (!OpenShared(file, p.annual_path, Share::kDenyWrite, tag)) {
    window.SetReturnField(kFieldRocz);
    return false;
  }
  FileSource source(file);
  return report(p, source, p.annual_path, window);
}

bool CheckSettlement(const SettlementParams& p, OptionServices& window) {
  auto fail = [&window](int field, const std::string& text) {
    ShowStatus(text, kWarning);
    window.FieldError(field, text);
    return false;
  };
  if (p.annual_path.empty() || !FileExists(p.annual_path)) {
    return fail(kFieldRocz, "Nie ma " + p.annual_path);
  }
  if (p.kind == SettlementKind::RoNie) return true;
  if (p.to < p.from) return fail(kFieldDaOd, "Popraw datę początkową"_w);
  if (p.kind == SettlementKind::Ranki) {
    if (p.pod3 != 0 && p.pod3 < p.pod1) return fail(kFieldPod3, "Popraw głębokość"_w);
    if (p.pod7 != 0 && p.pod7 < p.pod3) return fail(kFieldPod7, "Popraw głębokość"_w);
  }
  return true;
}

}  // namespace zel
