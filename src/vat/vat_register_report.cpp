// The run of the VAT register: collecting the entries of the period from the
// chosen files, ordering them and printing entry rows, group subtotals, the
// register total and the letter summaries.
#include <algorithm>
#include <map>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "output/report_document.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/status.hpp"
#include "vat/jpk_kr.hpp"
#include "vat/vat_entry.hpp"
#include "vat/vat_register.hpp"

namespace zel {

namespace {

constexpr std::size_t kBlockRecords = 200;
constexpr std::size_t kPieceWidth = 60;
constexpr std::size_t kLabelWidth = 69;
constexpr int kSlotW = 'W' - kCatchAllLetter;

bool IsZero(Amount x) { return !AmountsDiffer(x, 0); }

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The last 12 characters of Amount15, as the entry rows print amounts.
std::string Short(Amount x) {
  const std::string s = Amount15(x);
  return s.size() > 12 ? s.substr(s.size() - 12) : s;
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return std::string(s);
}

// Pieces of at most 60 characters, cut after a space or comma where there
// is one (a text without either is cut at 60).
std::vector<std::string> Pieces(std::string text) {
  std::vector<std::string> out;
  text = Trimmed(text);
  while (text.size() > kPieceWidth) {
    std::size_t cut = kPieceWidth;
    while (cut > 0 && text[cut - 1] != ' ' && text[cut - 1] != ',') --cut;
    if (cut == 0) cut = kPieceWidth;
    out.push_back(Trimmed(std::string_view(text).substr(0, cut)));
    text = Trimmed(std::string_view(text).substr(cut));
  }
  if (!text.empty()) out.push_back(text);
  return out;
}

// The letter a sales run gives to a line of a purchase register: "WN" -> N,
// "IM" -> M, "IU" -> I, "JU" -> J, "OO" -> O after the double quote.
char SalesLetterOfPurchase(std::string_view code, char letter) {
  if (code.size() < 3 || code[0] != '"') return letter;
  const std::string pair = UpperPl(code.substr(1, 2));
  if (pair == "WN") return 'N';
  if (pair == "IM") return 'M';
  if (pair == "IU") return 'I';
  if (pair == "JU") return 'J';
  if (pair == "OO") return 'O';
  return letter;
}

bool ReadText(const std::string& path, std::string* text) {
  if (!IsFile(path)) return false;
  File f;
  if (!f.Open(path, Access::kRead, Share::kDenyNone)) return false;
  return f.ReadAll(text, 1 << 20);
}

std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (eol == std::string_view::npos) break;
    text.remove_prefix(eol + 1);
  }
  return lines;
}

void AddInto(LetterAmounts& to, const LetterAmounts& from) {
  if (Untouched(from)) return;
  for (std::size_t i = 0; i < to.size(); ++i) to[i] = Round2(to[i] + from[i]);
}

class Run {
 public:
  Run(const VatRegisterParams& p, OptionServices& w) : p_(p), w_(w) {}

  bool Collect(const std::vector<VatRegisterFile>& files);
  void Print(const std::vector<std::string>& skipped, JpkVatWriter* jpk);
  const LetterTable& Total() const { return total_; }
  std::size_t Entries() const { return index_.size(); }

 private:
  void Head();
  void LoadDescriptions();
  void Entry(const VatIndexEntry& at);
  void Totals(std::string_view label, bool final);
  void Summaries();
  // A row: the next queued texts of columns 1-4 and the given cells 5-8.
  void Row(std::string_view c5, std::string_view c6, std::string_view c7, std::string_view c8);
  bool QueuesEmpty() const {
    return q_[0].empty() && q_[1].empty() && q_[2].empty() && q_[3].empty();
  }
  std::string GroupOf(const VatIndexEntry& e) const {
    if (!by_date_) return e.code.str();
    const std::string t = DayToText8(e.date);
    return t.substr(3, 5);
  }

  const VatRegisterParams& p_;
  OptionServices& w_;
  const bool by_date_ = p_.order == 'T';
  std::string records_;  // the collected records, 450 bytes each, in collection order
  std::vector<VatIndexEntry> index_;
  std::vector<bool> purchase_;  // per collected record: from a purchase register
  std::map<char, std::string> descriptions_;
  std::string description_path_;
  LetterTable entry_{}, group_{}, total_{};
  std::uint32_t lp_ = 0;
  std::array<std::vector<std::string>, 4> q_;
  std::array<std::size_t, 4> at_{};
  JpkVatWriter* jpk_ = nullptr;
};

bool Run::Collect(const std::vector<VatRegisterFile>& files) {
  std::uint64_t all = 0;
  for (const VatRegisterFile& f : files) {
    FileInfo info;
    if (GetFileInfo(f.path, &info)) all += info.size / kVatEntrySize;
  }
  std::uint64_t seen = 0;
  std::vector<std::uint8_t> block(kBlockRecords * kVatEntrySize);
  for (const VatRegisterFile& reg : files) {
    File file;
    if (!ProtectedOpen(file, reg.path, Access::kRead, Share::kDenyWrite,
                       Disposition::kOpenExisting, "bZe:ReVat")) {
      ShowStatus("Zajęty "_w + reg.path, kWarning);
      return false;
    }
    const FixedText<5> code(reg.code);
    std::uint64_t offset = 0;
    for (;;) {
      if (w_.AbortRequested()) return false;
      w_.Progress("ReVat", static_cast<std::int64_t>(seen), static_cast<std::int64_t>(all));
      std::size_t got = 0;
      if (!file.ReadAt(offset, block.data(), block.size(), &got)) {
        ShowStatus("Błąd odczytu "_w + reg.path, kWarning);
        return false;
      }
      const std::size_t records = got / kVatEntrySize;
      for (std::size_t i = 0; i < records; ++i) {
        const std::uint8_t* r = block.data() + i * kVatEntrySize;
        const DayNo registered = Get16(r + 15);
        const DayNo vat = Get16(r + 279);
        const DayNo date = vat ? vat : registered;
        if (date < p_.from || date > p_.to) continue;
        VatIndexEntry e;
        e.code = code;
        e.key = FixedText<12>::Decode(r);
        e.date = date;
        e.number = Get16(r + 13);
        e.record = static_cast<std::uint32_t>(index_.size());
        index_.push_back(e);
        purchase_.push_back(reg.purchase);
        records_.append(reinterpret_cast<const char*>(r), kVatEntrySize);
      }
      seen += records;
      offset += got;
      if (got < block.size()) break;
    }
  }
  OrderEntries(index_, by_date_);
  return true;
}

void Run::Head() {
  const std::string period(w_.PeriodText());
  RapStart(period, "REJESTR VAT" + period, 4);
  RapKol('p', 7, "", "Lp");
  RapKol('c', 15, "Data", "rejestracji");
  RapKol('c', 21, "Nr transakcji", "Data dowodu i faktury");
  RapKol('l', 60, "NIP i pełna nazwa sprzedawcy"_w, "Opis");
  RapKol('l', 15, "", "Kwalifikacja");
  RapKol('p', 12, "", "Netto");
  RapKol('p', 11, "", "VAT");
  RapKol('p', 12, "", "Brutto");
  const std::string mask = p_.mask.empty() ? std::string("*") : p_.mask;
  RapNag("ze zbioru VAT\\" + mask + ".R" + std::string(1, p_.kind) + "V" +
         (p_.kind == 'S' ? "  (rejestr sprzedaży)"_w : "  (rejestr zakupów)"_w));
}

void Run::LoadDescriptions() {
  const std::string name = "OP-VAT-" + std::string(1, p_.kind) + ".TXT";
  description_path_ = LocateFile("SETUP\\" + name);
  std::string text;
  if (!ReadText(description_path_, &text)) return;
  for (std::string_view line : TextLines(text)) {
    if (line.empty()) continue;
    descriptions_[line[0]] = Trimmed(line.size() > 2 ? line.substr(2) : std::string_view());
  }
}

void Run::Row(std::string_view c5, std::string_view c6, std::string_view c7, std::string_view c8) {
  std::array<std::string, 4> c;
  for (std::size_t i = 0; i < 4; ++i) {
    if (at_[i] < q_[i].size()) c[i] = q_[i][at_[i]++];
  }
  RapWiersz(c[0], c[1], c[2], c[3], c5, c6, c7, c8);
}

void Run::Entry(const VatIndexEntry& at) {
  const std::uint8_t* r =
      reinterpret_cast<const std::uint8_t*>(records_.data()) + std::size_t{at.record} * kVatEntrySize;
  VatEntry e = DecodeVatEntry(r);
  VatEntryToWin(e);
  e.register_code = at.code;
  const bool purchase = purchase_[at.record];
  const std::string code = at.code.str();
  const std::string ident = e.key.str() + "/" + std::to_string(e.number);
  const DayNo vat_date = at.date;

  entry_ = {};
  ++lp_;
  for (auto& q : q_) q.clear();
  at_ = {};
  q_[0].push_back(std::to_string(lp_) + ".");
  q_[1].push_back(DayToText10(e.registration_date));
  if (e.month_flag != 0) {
    q_[1].push_back("|" + std::to_string(e.month_flag) + "|");
    if (e.month_flag >= 13) q_[1].push_back("*********");
  }
  q_[2].push_back(e.document_no.str());
  q_[2].push_back(ident);
  q_[2].push_back(Trimmed(DayToText8(vat_date) + " " + DayToText8(e.invoice_date)));
  std::string contractor(e.nip.view().substr(0, 15));
  if (!contractor.empty()) contractor += ' ';
  contractor += e.name.str();
  if (!e.address.empty()) contractor += "  " + e.address.str();
  std::vector<std::string> pieces = Pieces(contractor);
  const bool long_text = pieces.size() > 1;
  for (std::string& s : pieces) q_[3].push_back(std::move(s));
  if (long_text && !e.reference.empty()) q_[3].push_back(e.reference.str());
  if (!e.description.empty()) q_[3].push_back(e.description.str());

  if (!e.amounts_ok) {
    RapTekst('-', "Błędna kwota w zapisie "_w + code + " " + ident + " (pominięta)"_w);
  }
  int lines = 0;
  LetterAmounts sum{};
  for (const VatLine& line : e.lines) {
    // Unused lines hold exact zeros: no rounding needed to pass them by.
    if (line.net == 0 && line.vat == 0) continue;
    if (IsZero(line.net)) {
      // The record's convention: a line without net is unused. One with VAT
      // alone is most likely a mistake; it stays out, but can be found.
      if (!IsZero(line.vat)) {
        RapTekst('-', "Pominięta pozycja bez netto: "_w + code + " " + ident + " litera "_w +
                          std::string(1, line.letter ? line.letter : ' ') + " VAT " +
                          Trimmed(Amount15(line.vat)));
      }
      continue;
    }
    char letter = line.letter;
    if (p_.kind == 'S' && purchase) letter = SalesLetterOfPurchase(code, letter);
    const int slot = LetterSlot(letter);
    ++lines;
    std::string c5;
    if (slot == 0) {
      c5 = "@  w/g scen.";
    } else {
      auto d = descriptions_.find(letter);
      c5 = std::string(1, letter) + "  " +
           (d == descriptions_.end() ? std::string() : d->second.substr(0, 12));
    }
    Row(c5, Short(line.net), Short(line.vat), Short(line.net + line.vat));
    const Amount adj_net = AdjustedAmount(p_.kind, letter, line.net);
    const Amount adj_vat = AdjustedAmount(p_.kind, letter, line.vat);
    const std::string rule = DeductionRowText(p_.kind, letter);
    if (!rule.empty()) Row(rule, Short(adj_net), Short(adj_vat), "");
    const LetterAmounts amounts = {line.net, line.vat, adj_net, adj_vat};
    AddInto(entry_[static_cast<std::size_t>(slot)], amounts);
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += amounts[i];
  }
  for (Amount& x : sum) x = Round2(x);
  if (lines >= 2) {
    Row("na FAKT.", Short(sum[kLetNet]), Short(sum[kLetVat]), Short(sum[kLetNet] + sum[kLetVat]));
  }
  if (AmountsDiffer(sum[kLetAdjNet], sum[kLetNet]) || AmountsDiffer(sum[kLetAdjVat], sum[kLetVat])) {
    Row("do VAT-7", Short(sum[kLetAdjNet]), Short(sum[kLetAdjVat]), "");
  }
  while (!QueuesEmpty() && (at_[0] < q_[0].size() || at_[1] < q_[1].size() ||
                            at_[2] < q_[2].size() || at_[3] < q_[3].size())) {
    Row("", "", "", "");
  }
  RapLinia('.');
  for (int s = 0; s < kLetterSlots; ++s) {
    AddInto(group_[static_cast<std::size_t>(s)], entry_[static_cast<std::size_t>(s)]);
  }
  if (jpk_) jpk_->Row(e, entry_);
}

void Run::Totals(std::string_view label, bool final) {
  const LetterTable& table = final ? total_ : group_;
  RapWiersz("", "", "", final ? std::string("RAZEM REJESTR VAT")
                              : "SUMA CZĘŚCIOWA *** "_w + std::string(label) + " ***");
  LetterAmounts sum{};
  for (int slot = 0; slot < kLetterSlots; ++slot) {
    if (slot == kSlotW) continue;
    const LetterAmounts& a = table[static_cast<std::size_t>(slot)];
    if (IsZero(a[kLetNet]) && IsZero(a[kLetVat])) continue;
    const char letter = SlotLetter(slot);
    std::string description = "w/g scen.";
    if (slot != 0) {
      auto d = descriptions_.find(letter);
      description = d == descriptions_.end() ? std::string() : d->second;
    }
    RapWiersz("", "", "", description, std::string(1, letter), Amount15(a[kLetNet]),
              Amount15(a[kLetVat]), Amount15(a[kLetNet] + a[kLetVat]));
    if (AmountsDiffer(a[kLetAdjNet], a[kLetNet])) {
      // A VAT of 0 (a 0 % or exempt purchase under a deduction rule) has no
      // ratio: "=" as the declaration file writes it.
      const std::string ratio = IsZero(a[kLetVat] * a[kLetAdjVat])
                                    ? std::string("=")
                                    : Amount13x4(a[kLetAdjVat] / a[kLetVat] * 100) + " %";
      RapWiersz("", "", "", "", "", Amount15(a[kLetAdjNet]), Amount15(a[kLetAdjVat]), ratio);
    }
    AddInto(sum, a);
  }
  std::string closing;
  if (final) {
    // "(opisy z <folder>\<file>)", the folder shortened after its eighth
    // character until the text fits 69 characters.
    const std::size_t slash = description_path_.find_last_of("\\/");
    std::string folder =
        slash == std::string::npos ? std::string() : description_path_.substr(0, slash);
    const std::string file =
        slash == std::string::npos ? description_path_ : description_path_.substr(slash + 1);
    auto text = [&] { return "(opisy z " + folder + "\\" + file + ")"; };
    if (text().size() > kLabelWidth && folder.size() > 8) {
      const std::size_t over = text().size() - kLabelWidth + 3;
      const std::size_t keep_tail = folder.size() > 8 + over ? folder.size() - 8 - over : 0;
      folder = folder.substr(0, 8) + "..." + folder.substr(folder.size() - keep_tail);
    }
    closing = text();
  }
  RapWiersz("", "", "", "RAZEM " + closing, "", Amount15(sum[kLetNet]), Amount15(sum[kLetVat]),
            Amount15(sum[kLetNet] + sum[kLetVat]));
  if (!IsZero(sum[kLetAdjVat])) {
    RapWiersz("", "", "", "", "do VAT-7", Amount15(sum[kLetAdjNet]), Amount15(sum[kLetAdjVat]), "");
  }
  if (!final) {
    RapLinia('-');
    RapTekst('1', "");
    for (int s = 0; s < kLetterSlots; ++s) {
      AddInto(total_[static_cast<std::size_t>(s)], group_[static_cast<std::size_t>(s)]);
    }
    group_ = {};
  } else if (p_.kind == 'Z') {
    RapLinia('-');
  } else {
    RapTekst('1', "");
  }
}

void Run::Summaries() {
  std::string text;
  if (!ReadText(LocateFile("SETUP\\R" + std::string(1, p_.kind) + "V-SUM"), &text)) return;
  for (std::string_view line : TextLines(text)) {
    if (line.empty() || line[0] != '*') continue;
    line.remove_prefix(1);
    const std::size_t space = line.find(' ');
    const std::string_view letters = line.substr(0, space);
    const std::string label = space == std::string_view::npos ? std::string() : Trimmed(line.substr(space));
    Amount net = 0, vat = 0;
    for (char c : letters) {
      if (c < 'A' || c > 'Z') continue;
      net += total_[static_cast<std::size_t>(LetterSlot(c))][kLetNet];
      vat += total_[static_cast<std::size_t>(LetterSlot(c))][kLetVat];
    }
    RapWiersz("", "", "", label, std::string(letters), Amount15(net), Amount15(vat),
              Amount15(net + vat));
  }
}

void Run::Print(const std::vector<std::string>& skipped, JpkVatWriter* jpk) {
  jpk_ = jpk;
  Head();
  for (const std::string& s : skipped) {
    RapTekst('-', "Pominięty zbiór o długości niepodzielnej przez 450: "_w + s);
  }
  LoadDescriptions();
  std::string group;
  for (std::size_t i = 0; i < index_.size(); ++i) {
    const std::string g = GroupOf(index_[i]);
    if (i > 0 && g != group) Totals(group, false);
    group = g;
    Entry(index_[i]);
  }
  if (!index_.empty()) Totals(group, false);
  Totals("", true);
  Summaries();
}

}  // namespace

bool VatRegister(const VatRegisterParams& p, OptionServices& window) {
  if (!CheckVatRegister(p, window)) return false;
  std::vector<std::string> skipped;
  const std::vector<VatRegisterFile> files = ChooseRegisters(p, &skipped);
  if (files.empty()) {
    ShowStatus("Nie ma rejestrów"_w, kWarning);
    window.FieldError(kFieldReGr, "Nie ma rejestrów"_w);
    return false;
  }
  Run run(p, window);
  if (!run.Collect(files)) return false;
  // Without its fragment the run goes on; the JPK button then says so.
  JpkVatWriter* jpk = p.jpk && p.jpk->Begin(p.kind) ? p.jpk : nullptr;
  if (jpk) JpkVatRegisterKind = p.kind;
  run.Print(skipped, jpk);
  if (run.Entries() == 0) ShowStatus("Brak zapisów"_w, kWarning);
  if (p.declaration != 'N') {
    AppendDeclarationLines(p.db_dir, DeclarationLines(p.kind, p.declaration, p.to, run.Total()));
  }
  if (jpk) jpk->End();
  if (p.totals) *p.totals = run.Total();
  return true;
}

}  // namespace zel
