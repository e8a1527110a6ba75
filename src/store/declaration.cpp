#include "store/declaration.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "vat/vat_letters.hpp"

namespace zel {

namespace {

// A value no declaration reaches; larger numbers in the file are garbage and
// read as 0, so no sum can overflow.
constexpr Amount kAmountLimit = 1e18L;

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A date text (DD-MM-YYYY or another typed form); 0 when there is none.
DayNo DateOfText(std::string_view text) {
  int digits = 0;
  for (char c : text)
    if (c >= '0' && c <= '9') ++digits;
  if (digits < 6) return 0;
  return DayFromInput(text);
}

// An amount field: spaces and '.' thousand separators removed, ',' as the
// decimal point.
Amount FieldAmount(std::string_view line, std::size_t from) {
  if (from >= line.size()) return 0;
  std::string s;
  for (char c : line.substr(from, 15))
    if (c != ' ' && c != '.') s += c;
  const Amount x = ParseNumber(s);
  return std::fabs(x) < kAmountLimit ? x : 0;
}

struct LineValues {
  char letter;
  Amount base;
  Amount tax;
};

LineValues ValuesOf(std::string_view line) {
  LineValues v;
  v.letter = line[14];
  v.base = FieldAmount(line, 15);
  // The third amount is the deductible tax of a purchase total; a zero there
  // (written blank) means nothing may be deducted, so the plain tax (second)
  // stands only when the line ends before its third field.
  v.tax = line.size() > 45 ? FieldAmount(line, 45) : FieldAmount(line, 30);
  return v;
}

struct TypedSlot {
  char letter;
  int slot;
};

// "g" (slot 40, the cash-register purchases deducted) completes the letters,
// so that every value the declaration windows edit has a typed line.
constexpr TypedSlot kTyped[] = {{'a', 31}, {'b', 28}, {'c', 33}, {'d', 34}, {'e', 36}, {'f', 37},
                                {'g', 40}, {'h', 41}, {'i', 42}, {'j', 43}, {'k', 44}};

void Clear(DeclarationData& d, int from, int to) {
  for (int i = from; i <= to; ++i) d.amounts[static_cast<std::size_t>(i)] = 0;
}

void ApplySales(DeclarationData& d, const LineValues& v) {
  if (v.letter == '#') return Clear(d, 0, 28);
  for (const DeclarationLetterSlots& s : kSalesDeclarationSlots) {
    if (s.letter != v.letter) continue;
    d.amounts[static_cast<std::size_t>(s.base)] += v.base;
    if (s.tax >= 0) d.amounts[static_cast<std::size_t>(s.tax)] += v.tax;
    return;
  }
}

void ApplyPurchases(DeclarationData& d, const LineValues& v) {
  const char c = v.letter;
  if (c == '#') return Clear(d, 32, 35);
  const int slot = PurchaseDeclarationBase(c);
  if (slot < 0) return;
  const auto base = static_cast<std::size_t>(slot);
  d.amounts[base] += v.base;
  d.amounts[base + 1] += v.tax;
}

void ApplyTyped(DeclarationData& d, std::string_view line, const LineValues& v) {
  const char c = v.letter;
  if (c == '#') {
    d.amounts[31] = 0;
    return Clear(d, 36, 49);
  }
  for (const TypedSlot& t : kTyped) {
    if (t.letter == c) {
      d.amounts[static_cast<std::size_t>(t.slot)] = v.tax;
      return;
    }
  }
  if (c == 't') {
    d.signatureDate = line.size() > 16 ? DateOfText(line.substr(16, 10)) : 0;
  } else if (c == 'z') {
    for (std::size_t i = 0; i < kAnswerCodes.size(); ++i) {
      const std::string marker = Concat({".", kAnswerCodes[i]});
      d.answers[i] = line.find(marker) != std::string_view::npos ? "Tak" : "";
    }
    d.attachments = 0;
    const std::size_t at = line.find(".LZD=");
    if (at != std::string_view::npos && at + 5 < line.size()) {
      const char digit = line[at + 5];
      if (digit >= '0' && digit <= '9') d.attachments = static_cast<std::uint8_t>(digit - '0');
    }
  }
}

bool ReadTextFile(const std::string& path, std::string* text) {
  if (!FileExists(path)) return false;
  File file;
  if (!ProtectedOpen(file, path, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                     "aTProcH:7BT"))
    return false;
  const bool ok = file.ReadAll(text, 64u << 20);
  file.Close();
  return ok;
}

template <std::size_t N>
void Line(std::string& out, std::string_view key, const FixedText<N>& value) {
  out += "  ";
  out += key;
  out += " = ";
  out += value.view();
  out += "\r\n";
}

}  // namespace

DeclarationData& Declaration() {
  static DeclarationData data;
  return data;
}

void ClearDeclarationData(DeclarationData& d) {
  DeclarationData fresh;
  fresh.year = d.year;
  fresh.month = d.month;
  fresh.number = d.number;
  fresh.purpose = d.purpose;
  fresh.signatureDate = d.signatureDate;
  d = fresh;
}

std::string PeriodCode(std::uint16_t year, std::uint8_t month) {
  return std::to_string((year % 100) * 100 + month);
}

void ReadTaxpayerText(std::string_view text, DeclarationData& d) {
  for (std::string_view line : Lines(text)) {
    if (line.size() < 5) continue;
    const std::string_view key = line.substr(2, 3);
    const std::string_view value = line.size() > 8 ? line.substr(8, 99) : std::string_view();
    if (key == "DUr") {
      d.DUr = DateOfText(value);
      continue;
    }
    // Field widths cut the value on assignment.
    if (key == "Nip")
      d.Nip = value;
    else if (key == "RPo")
      d.RPo = value;
    else if (key == "USk")
      d.USk = value;
    else if (key == "Naz")
      d.Naz = value;
    else if (key == "PIm")
      d.PIm = value;
    else if (key == "Pes")
      d.Pes = value;
    else if (key == "Kra")
      d.Kra = value;
    else if (key == "Woj")
      d.Woj = value;
    else if (key == "Pow")
      d.Pow = value;
    else if (key == "Gmi")
      d.Gmi = value;
    else if (key == "Uli")
      d.Uli = value;
    else if (key == "NrD")
      d.NrD = value;
    else if (key == "NrL")
      d.NrL = value;
    else if (key == "Mia")
      d.Mia = value;
    else if (key == "Kod")
      d.Kod = value;
    else if (key == "Poc")
      d.Poc = value;
    else if (key == "oIm")
      d.oIm = value;
    else if (key == "oNa")
      d.oNa = value;
    else if (key == "oTe")
      d.oTe = value;
  }
}

void ReadDeclarationText(std::string_view text, DeclarationData& d) {
  const std::string code = PeriodCode(d.year, d.month);
  const std::vector<std::string_view> lines = Lines(text);
  for (char kind : {'S', 'Z', 'P'}) {
    const std::string key = code + kind;
    for (std::string_view line : lines) {
      if (line.size() <= 14 || line.substr(2, key.size()) != key) continue;
      const LineValues v = ValuesOf(line);
      if (kind == 'S')
        ApplySales(d, v);
      else if (kind == 'Z')
        ApplyPurchases(d, v);
      else
        ApplyTyped(d, line, v);
    }
  }
}

void DeriveDeclarationValues(DeclarationData& d) {
  auto& a = d.amounts;
  a[1] += a[2];
  a[3] += a[4];
  a[17] += a[19];
  a[18] += a[20];
  // Tax amounts go to whole złoty, 50 grosze and more up (away from zero);
  // rounding to grosze first keeps 2,4999... of a sum of grosze at 2,50.
  for (Amount& x : a) x = std::round(Round2(x));
  auto sum = [&a](std::initializer_list<int> slots) {
    Amount s = 0;
    for (int i : slots) s += a[static_cast<std::size_t>(i)];
    return s;
  };
  // The totals take each amount once: the base total no tax slot (14 and 22
  // hold taxes), and neither total the "in that" parts 19 and 20, which are
  // already inside 17 and 18.
  a[29] = sum({0, 1, 3, 5, 7, 9, 11, 12, 13, 15, 17, 21});
  a[30] = sum({6, 8, 10, 14, 16, 18, 23, 25, 26, 27}) - a[28];
  a[39] = sum({31, 33, 35, 36, 37, 38});
  a[45] = 0;
  a[42] = a[30] - a[39] - a[40] - a[41];
  if (a[42] < 0) {
    a[44] = -a[42];
    a[49] = -a[42];
    a[42] = 0;
  }
}

void LoadDeclarationData() {
  DeclarationData& d = Declaration();
  ClearDeclarationData(d);
  std::string text;
  if (ReadTextFile(DbDir.str() + "VAT\\Pod.7BT", &text)) ReadTaxpayerText(text, d);
  text.clear();
  if (ReadTextFile(DbDir.str() + "VAT\\Vat.7BT", &text)) ReadDeclarationText(text, d);
  DeriveDeclarationValues(d);
}

std::string TaxpayerFileText(const DeclarationData& d) {
  std::string out = "\r\n";
  Line(out, "Nip", d.Nip);
  Line(out, "RPo", d.RPo);
  Line(out, "USk", d.USk);
  Line(out, "Naz", d.Naz);
  Line(out, "PIm", d.PIm);
  Line(out, "DUr", FixedText<10>(d.DUr != 0 ? DayToText10(d.DUr) : std::string()));
  Line(out, "Pes", d.Pes);
  Line(out, "Kra", d.Kra);
  Line(out, "Woj", d.Woj);
  Line(out, "Pow", d.Pow);
  Line(out, "Gmi", d.Gmi);
  Line(out, "Uli", d.Uli);
  Line(out, "NrD", d.NrD);
  Line(out, "NrL", d.NrL);
  Line(out, "Mia", d.Mia);
  Line(out, "Kod", d.Kod);
  Line(out, "Poc", d.Poc);
  Line(out, "oIm", d.oIm);
  Line(out, "oNa", d.oNa);
  Line(out, "oTe", d.oTe);
  return out;
}

bool WriteTaxpayerFile(const DeclarationData& d) {
  const std::string folder = DbDir.str() + "VAT";
  const std::string path = folder + "\\Pod.7BT";
  if (!IsFolder(folder) && !MakeFolders(folder)) {
    ShowStatus("Nie zapisano "_w + path, kWarning);
    return false;
  }
  // Held exclusively while the new file is written beside it and renamed
  // over it: two workstations never write it at once, readers wait.
  File held;
  if (!ProtectedOpen(held, path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenAlways,
                     "bOknaF3:Pod.7BT")) {
    ShowStatus("Nie zapisano "_w + path, kWarning);
    return false;
  }
  const bool ok = WriteFileAtomically(path, TaxpayerFileText(d), StationExt.str() + ".new");
  held.Close();
  if (!ok) {
    ShowStatus("Nie zapisano "_w + path, kWarning);
    return false;
  }
  return true;
}

std::string DeclarationKey(std::uint16_t year, std::uint8_t month, char kind,
                           std::string_view label) {
  std::string key = PeriodCode(year, month);
  key += kind;
  key += label;
  key.resize(12, ' ');
  return key;
}

std::string DeclarationAmountLine(std::string_view key, char letter, Amount base, Amount second,
                                  Amount third) {
  std::string out = "  ";
  out += key;
  out += letter;
  out += Amount15(base);
  out += Amount15(second);
  out += Amount15(third);
  out += "\r\n";
  return out;
}

std::string TypedValueLine(std::uint16_t year, std::uint8_t month, char letter, Amount value) {
  return DeclarationAmountLine(DeclarationKey(year, month, 'P'), letter, 0, 0, value);
}

std::string SignatureDateLine(std::uint16_t year, std::uint8_t month, DayNo date) {
  std::string out = "  ";
  out += DeclarationKey(year, month, 'P');
  out += "t ";
  out += DayToText10(date);
  out += "\r\n";
  return out;
}

std::string AnswersLine(std::uint16_t year, std::uint8_t month, const DeclarationData& d) {
  std::string out = "  ";
  out += DeclarationKey(year, month, 'P');
  out += "z ";
  for (std::size_t i = 0; i < kAnswerCodes.size(); ++i) {
    if (d.answers[i].view() != "Tak") continue;
    out += '.';
    out += kAnswerCodes[i];
  }
  out += ".LZD=";
  out += static_cast<char>('0' + std::min<int>(d.attachments, 9));
  out += "\r\n";
  return out;
}

char TypedLetterOfSlot(int slot) {
  for (const TypedSlot& t : kTyped)
    if (t.slot == slot) return t.letter;
  return '\0';
}

bool AppendDeclarationLines(std::string_view db_dir, std::string_view lines) {
  const std::string folder = std::string(db_dir) + "VAT";
  const std::string path = folder + "\\VAT.7BT";
  if (!IsFolder(folder)) MakeFolders(folder);
  File f;
  if (!ProtectedOpen(f, path, Access::kReadWrite, Share::kExclusive, Disposition::kOpenAlways,
                     "bZe:VAT.7BT")) {
    ShowStatus("Nie zapisano "_w + path, kWarning);
    return false;
  }
  std::uint64_t size = 0;
  std::string text;
  if (f.Size(&size) && size == 0) text = "\r\n";
  text += lines;
  // One write of whole lines: a reader never sees a part of the lines.
  const bool ok = f.Append(text);
  const bool closed = f.Close();
  if (!ok || !closed) {
    ShowStatus("Nie zapisano "_w + path, kWarning);
    return false;
  }
  return true;
}

}  // namespace zel
