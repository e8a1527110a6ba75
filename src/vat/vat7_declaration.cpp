#include "vat/vat7_declaration.hpp"

#include <algorithm>
#include <array>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/option_services.hpp"
#include "fields/option_values.hpp"
#include "fields/vat7_fields.hpp"
#include "menu/desktop_services.hpp"
#include "platform/file.hpp"
#include "shell/file_access.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

constexpr std::uint8_t kViewerKind = 8;

// Every placeholder code, as written in the templates (Windows-1250).
const std::vector<std::string>& PlaceholderCodes() {
  static const std::vector<std::string> codes = [] {
    std::vector<std::string> v = {"DataOd", "DataDo", "NIP", "MIE", "Rok", "USk", "Kor",
                                  "ZłD"_w,  "OsF",    "PNO", "NIU", "Kra", "Woj", "Pow",
                                  "Gmi",    "Uli",    "NrD", "NrL", "Mia", "Kod", "Poc"};
    for (int k = 10; k <= 59; ++k) v.push_back(Concat({"K", std::to_string(k)}));
    for (const char* c : {"oIm", "oNa", "oTe", "oDa", "119", "120", "122", "136", "89bN", "89bT",
                          "oZN", "oZT", "oPN", "oPT", "oSN", "oST", "LZD"})
      v.push_back(c);
    return v;
  }();
  return codes;
}

// The placeholders as searched for: "." + code + "." upper-cased.
const std::vector<std::string>& UpperPlaceholders() {
  static const std::vector<std::string> upper = [] {
    std::vector<std::string> v;
    for (const std::string& c : PlaceholderCodes()) v.push_back(UpperPl(Concat({".", c, "."})));
    return v;
  }();
  return upper;
}

// Characters with a space between each two ("5 2 6 0").
std::string Spaced(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!out.empty()) out += ' ';
    out += c;
  }
  return out;
}

// A whole-unit amount: the first 12 characters of its 15-character column
// (the grosze cut off, not rounded); zero is empty unless the box needs "0".
std::string BoxAmount(Amount x, bool zero_shown) {
  if (!AmountsDiffer(x, 0)) return zero_shown ? "0" : "";
  return Amount15(x).substr(0, 12);
}

std::string Mark(bool on) { return on ? "X" : ""; }

bool Answered(const DeclarationData& d, std::size_t i) { return d.answers[i].view() == "Tak"; }

// The taxpayer's identification: the full name and REGON of a firm; the
// surname, first name, date of birth and PESEL of a person; as far as given.
std::string Identification(const DeclarationData& d, bool company) {
  std::string out = d.Naz.str();
  auto add = [&out](std::string_view part) {
    if (part.empty()) return;
    if (!out.empty()) out += ", ";
    out += part;
  };
  if (!company) {
    add(d.PIm.view());
    if (d.DUr != 0) add(DayToText10(d.DUr));
  }
  add(d.Pes.view());
  return out;
}

// Answer pairs: "X" in the second box (yes) when the answer is "Tak", else
// in the first (no). The "oS" pair has no answer of its own: always "no".
struct AnswerPair {
  std::string_view no, yes;
  int answer;  // index into DeclarationData::answers, -1 none
};
constexpr AnswerPair kAnswerPairs[] = {
    {"89bN", "89bT", 4}, {"oZN", "oZT", 5}, {"oPN", "oPT", 6}, {"oSN", "oST", -1}};

const AnswerPair* PairOf(std::string_view code) {
  for (const AnswerPair& p : kAnswerPairs)
    if (code == p.no || code == p.yes) return &p;
  return nullptr;
}

bool LowerStartsWith(std::string_view text, char c) {
  return !text.empty() && (text[0] == c || text[0] == c - 'a' + 'A');
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
  if (!FileExists(path)) return false;
  File f;
  if (!ProtectedOpen(f, path, Access::kRead, Share::kDenyWrite, Disposition::kOpenExisting,
                     "aViewer:7TF"))
    return false;
  std::string text;
  const bool ok = f.ReadAll(&text, 4u << 20);
  f.Close();
  if (!ok) return false;
  std::vector<std::string> got = SplitLines(text);
  lines->insert(lines->end(), got.begin(), got.end());
  return true;
}

std::string TemplateName(std::string_view version, std::string_view page_suffix) {
  return Concat({"!\\VAT-7(", version, ")", page_suffix, ".7TF"});
}

}  // namespace

void MonthBounds(int year, int month, DayNo* from, DayNo* to) {
  *from = 0;
  *to = 0;
  if (year < 1990 || year > 2039 || month < 1 || month > 12) return;
  const std::string yy = TwoDigits(static_cast<std::uint8_t>(year % 100));
  *from = DayFromDdMmYy(Concat({"01", TwoDigits(static_cast<std::uint8_t>(month)), yy}));
  const int next_month = month == 12 ? 1 : month + 1;
  const int next_year = month == 12 ? year + 1 : year;
  if (next_year > 2039) {
    *to = DayFromDdMmYy(Concat({"3112", yy}));
    return;
  }
  const DayNo next = DayFromDdMmYy(Concat({"01", TwoDigits(static_cast<std::uint8_t>(next_month)),
                                           TwoDigits(static_cast<std::uint8_t>(next_year % 100))}));
  *to = next != 0 ? static_cast<DayNo>(next - 1) : 0;
}

bool DeclarationPlaceholderValue(std::string_view code, const DeclarationData& d, DayNo from,
                                 DayNo to, std::string* value) {
  std::string& v = *value;
  v.clear();
  if (code.size() == 3 && code[0] == 'K' && code[1] >= '1' && code[1] <= '5' && code[2] >= '0' &&
      code[2] <= '9') {
    const int box = (code[1] - '0') * 10 + (code[2] - '0');
    const int slot = box - 10;
    const bool zero_shown = box == 48 || box == 50 || box == 55 || box == 59;
    v = BoxAmount(d.amounts[static_cast<std::size_t>(slot)], zero_shown);
    return true;
  }
  const bool correction = LowerStartsWith(d.purpose.view(), 'k');
  const bool company = LowerStartsWith(d.RPo.view(), 'p');
  if (code == "DataOd") {
    v = DayToText10(from);
  } else if (code == "DataDo") {
    v = DayToText10(to);
  } else if (code == "NIP") {
    v = Spaced(d.Nip.view());
  } else if (code == "MIE") {
    v = d.month < 10 ? Concat({"0 ", std::to_string(d.month)}) : Spaced(std::to_string(d.month));
  } else if (code == "Rok") {
    v = Spaced(std::to_string(d.year));
  } else if (code == "USk") {
    v = d.USk.str();
  } else if (code == "Kor") {
    v = Mark(correction);
  } else if (code == "ZłD"_w) {
    v = Mark(!correction);
  } else if (code == "OsF") {
    v = Mark(!company);
  } else if (code == "PNO") {
    v = Mark(company);
  } else if (code == "NIU") {
    v = Identification(d, company);
  } else if (code == "Kra") {
    v = d.Kra.str();
  } else if (code == "Woj") {
    v = d.Woj.str();
  } else if (code == "Pow") {
    v = d.Pow.str();
  } else if (code == "Gmi") {
    v = d.Gmi.str();
  } else if (code == "Uli") {
    v = d.Uli.str();
  } else if (code == "NrD") {
    v = d.NrD.str();
  } else if (code == "NrL") {
    v = d.NrL.str();
  } else if (code == "Mia") {
    v = d.Mia.str();
  } else if (code == "Kod") {
    v = d.Kod.str();
  } else if (code == "Poc") {
    v = d.Poc.str();
  } else if (code == "oIm") {
    v = d.oIm.str();
  } else if (code == "oNa") {
    v = d.oNa.str();
  } else if (code == "oTe") {
    v = d.oTe.str();
  } else if (code == "oDa") {
    v = d.signatureDate != 0 ? DayToText10(d.signatureDate) : std::string();
  } else if (code == "119" || code == "120" || code == "122" || code == "136") {
    for (std::size_t i = 0; i < 4; ++i)
      if (code == kAnswerCodes[i]) v = Mark(Answered(d, i));
  } else if (const AnswerPair* pair = PairOf(code)) {
    const bool yes = pair->answer >= 0 && Answered(d, static_cast<std::size_t>(pair->answer));
    v = Mark(code == pair->yes ? yes : !yes);
  } else if (code == "LZD") {
    v = std::to_string(d.attachments);
  } else {
    return false;
  }
  if (v.find('\0') != std::string::npos) v = "nie-wiadomo";
  return true;
}

std::string SubstituteDeclarationLine(std::string_view line, const DeclarationData& d, DayNo from,
                                      DayNo to) {
  // Only the template's own text is searched: the first placeholder of the
  // line wins, and whatever follows it is cut off with the rest of the line.
  const std::string upper = UpperPl(line);
  const std::vector<std::string>& codes = PlaceholderCodes();
  const std::vector<std::string>& wanted = UpperPlaceholders();
  std::size_t at = std::string::npos;
  std::size_t which = 0;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const std::size_t p = upper.find(wanted[i]);
    if (p < at) {
      at = p;
      which = i;
    }
  }
  if (at == std::string::npos) return std::string(line);
  std::string value;
  DeclarationPlaceholderValue(codes[which], d, from, to, &value);
  std::string out(line.substr(0, at));
  out += '~';
  out += value;
  return out;
}

bool ReadDeclarationTemplate(std::string_view version, int page, std::vector<std::string>* lines,
                             std::string* message) {
  lines->clear();
  std::string name;
  if (page == 1 || page == 2) {
    name = TemplateName(version, page == 1 ? "-1" : "-2");
    if (ReadLines(name, lines)) return true;
  } else {
    // The pages joined in memory: the shared folder is not written.
    name = TemplateName(version, "-1");
    if (FileExists(name)) {
      const std::string second = TemplateName(version, "-2");
      if (ReadLines(name, lines)) {
        lines->push_back("N");
        if (ReadLines(second, lines)) return true;
        name = second;
      }
    } else {
      name = TemplateName(version, "");
      if (ReadLines(name, lines)) return true;
    }
  }
  lines->clear();
  *message = Concat({"Nie ma \"", name, "\""});
  return false;
}

bool BuildDeclarationDocument(const DeclarationData& d, std::string_view version, int page,
                              ViewerDocument* doc, std::string* message) {
  std::vector<std::string> lines;
  if (!ReadDeclarationTemplate(version, page, &lines, message)) return false;
  DayNo from = 0;
  DayNo to = 0;
  MonthBounds(d.year, d.month, &from, &to);
  doc->key = "VAT7";
  doc->actions = 3;
  doc->x_max = kDeclarationPageWidth;
  doc->y_max = kDeclarationPageHeight;
  doc->name = Concat({"VAT-7-", std::to_string(d.year), "-", TwoDigits(d.month)});
  doc->lines.clear();
  doc->lines.reserve(lines.size());
  for (const std::string& line : lines) doc->lines.push_back(SubstituteDeclarationLine(line, d, from, to));
  return true;
}

void RunDeclarationOption(OptionServices& window) {
  DeclarationData& d = Declaration();
  const std::int32_t year = ParseInt(OptionText(kVatYear));
  const std::int32_t month = ParseInt(OptionText(kVatMonth));
  if (year < 1990 || year > 2039) {
    ShowStatus("Popraw rok deklaracji", kWarning);
    window.FieldError(kVatYear, "Popraw rok deklaracji");
    return;
  }
  if (month < 1 || month > 12) {
    ShowStatus("Popraw miesiąc deklaracji"_w, kWarning);
    window.FieldError(kVatMonth, "Popraw miesiąc deklaracji"_w);
    return;
  }
  d.year = static_cast<std::uint16_t>(year);
  d.month = static_cast<std::uint8_t>(month);
  d.number = static_cast<std::uint8_t>(std::max(0, std::min(255, ParseInt(OptionText(kVatNumber)))));
  d.purpose = OptionText(kVatPurpose);
  LoadDeclarationData();
  // A date typed in the window goes before the one of the declaration data.
  const std::string_view typed_date = OptionText(kVatSignatureDate);
  if (!typed_date.empty()) {
    const DayNo day = DayFromDdMmYy(typed_date);
    if (day != 0) d.signatureDate = day;
  }
  std::string version(OptionText(kVatVersion));
  if (version.empty()) version = kDeclarationFormVersion;
  const std::string_view page_text = OptionText(kVatPage);
  const int page = page_text == "1" ? 1 : page_text == "2" ? 2 : 0;

  ViewerDocument doc;
  std::string message;
  if (!BuildDeclarationDocument(d, version, page, &doc, &message)) {
    ShowStatus(message, kWarning);
    window.FieldError(kVatVersion, message);
    return;
  }
  if (!SetViewerDocument(std::move(doc), &message)) {
    ShowStatus(message, kWarning);
    window.FieldError(kVatPage, message);
    return;
  }
  Desktop().ShowKind(kViewerKind, 1);
}

}  // namespace zel
