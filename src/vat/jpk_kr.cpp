#include "vat/jpk_kr.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "menu/current_option.hpp"
#include "platform/folders.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/journal_entry.hpp"

namespace zel {

char JpkVatRegisterKind = 'S';

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::size_t kFlushAt = 1 << 20;
constexpr std::size_t kMaxFragmentLine = 250;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The Polish letters as the taxpayer file's "Pol" line lists them, in the
// order of this table.
const std::string& PolishLetters() {
  static const std::string kLetters = "ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w;
  return kLetters;
}

}  // namespace

std::string JpkAmount(Amount x) {
  if (!AmountsDiffer(x, 0)) return "0";
  std::string s = NumberText(x, 2);
  return s.empty() ? "0" : s;
}

std::string JpkDate(DayNo d) {
  if (d == 0) return {};
  const std::string t = DayToText10(d);  // DD-MM-YYYY
  if (t.size() != 10) return {};
  return t.substr(6, 4) + "-" + t.substr(3, 2) + "-" + t.substr(0, 2);
}

namespace {

// "    <tag>value</tag>" onto the end of `out`. The value is cut before it is
// escaped, character by character, so that the whole line stays within the
// 250 bytes a fragment line may hold: a line cut later would end inside an
// entity or before its closing tag. Line breaks and tabs inside a value
// become spaces, so that every element stays on its own line.
void AppendElement(std::string& out, std::string_view tag, std::string_view value) {
  const std::string_view v = Trim(value);
  out += "    <";
  out += tag;
  out += '>';
  if (v.empty() || v == "-") {
    out += "BRAK";
  } else {
    const std::size_t overhead = 4 + 2 + 3 + 2 * tag.size();
    const std::size_t budget = kMaxFragmentLine > overhead ? kMaxFragmentLine - overhead : 0;
    const std::size_t start = out.size();
    AppendXmlText(out, value);
    bool plain = out.size() - start <= budget;
    for (std::size_t i = start; plain && i < out.size(); ++i) {
      if (out[i] == '\r' || out[i] == '\n' || out[i] == '\t') plain = false;
    }
    if (!plain) {
      out.resize(start);
      std::string piece;
      for (char c : value) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
        piece.clear();
        AppendXmlText(piece, std::string_view(&c, 1));
        if (out.size() - start + piece.size() > budget) break;
        out += piece;
      }
    }
  }
  out += "</";
  out += tag;
  out += '>';
}

}  // namespace

std::string JpkElement(std::string_view tag, std::string_view value) {
  std::string line;
  line.reserve(2 * tag.size() + value.size() + 16);
  AppendElement(line, tag, value);
  return line;
}

void AppendJpkElement(std::string& out, std::string_view tag, std::string_view value) {
  AppendElement(out, tag, value);
}

std::string FragmentPath(std::string_view code) { return TempName(code); }

JpkKrWriter::JpkKrWriter(ChartTable* chart) : chart_(chart) {}

// A run that never reached End (aborted, or stopped by a failure) leaves no
// fragments: assembled, they would make a file without its control elements
// or with the rows of a part of the period.
JpkKrWriter::~JpkKrWriter() {
  if (open_) Discard();
}

bool JpkKrWriter::Begin() {
  rows_ = 0;
  sum_ = sum_wn_ = sum_ma_ = 0;
  open_ = true;
  bool all = true;
  for (auto [f, code] : {std::pair{&zois_, "ZOiS"}, std::pair{&dzie_, "Dzie"},
                         std::pair{&koza_, "KoZa"}}) {
    f->buffer.clear();
    const std::string path = FragmentPath(code);
    f->ok = f->file.Open(path, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways);
    if (!f->ok) {
      ShowStatus("Zakazany " + path, kWarning);
      all = false;
    }
  }
  return all;
}

void JpkKrWriter::Flush(Fragment& f) {
  if (f.ok && !f.buffer.empty() && !f.file.Append(f.buffer)) {
    f.ok = false;
    ShowStatus("Zakazany " + f.file.native_path(), kWarning);
  }
  f.buffer.clear();
}

void JpkKrWriter::Line(Fragment& f, std::string_view line) {
  if (!f.ok) return;
  f.buffer += line;
  f.buffer += kEol;
  if (f.buffer.size() >= kFlushAt) Flush(f);
}

std::string JpkKrWriter::AccountName(std::string_view symbol) {
  ChartTable& chart = chart_ ? *chart_ : Chart();
  std::size_t slot = 0;
  if (symbol.empty() || !chart.Contains(symbol, &slot)) return {};
  return chart.At(slot).name.str();
}

void JpkKrWriter::AccountRow(std::string_view symbol, const std::array<Amount, 8>& a) {
  if (!open_) return;
  auto element = [this](Fragment& f, std::string_view tag, std::string_view value) {
    if (!f.ok) return;
    AppendElement(f.buffer, tag, value);
    f.buffer += kEol;
    if (f.buffer.size() >= kFlushAt) Flush(f);
  };
  const char first = symbol.empty() ? ' ' : symbol[0];
  const bool result_account = first == '4' || first == '5' || first == '7';
  Line(zois_, "  <ZOiS typ=\"G\">");
  element(zois_, "KodKonta", symbol);
  element(zois_, "OpisKonta", AccountName(symbol));
  element(zois_, "TypKonta", result_account ? "wynikowe" : "bilansowe");
  element(zois_, "KodZespolu", symbol.substr(0, 1));
  element(zois_, "OpisZespolu", AccountName(symbol.substr(0, 1)));
  element(zois_, "KodKategorii", symbol.size() > 1 ? symbol.substr(1, 2) : "");
  element(zois_, "OpisKategorii", AccountName(symbol.substr(0, std::min<std::size_t>(3, symbol.size()))));
  static const char* const kTags[8] = {"BilansOtwarciaWinien", "BilansOtwarciaMa",
                                       "ObrotyWinien",         "ObrotyMa",
                                       "ObrotyWinienNarast",   "ObrotyMaNarast",
                                       "SaldoWinien",          "SaldoMa"};
  for (std::size_t i = 0; i < 8; ++i) element(zois_, kTags[i], JpkAmount(a[i]));
  Line(zois_, "  </ZOiS>");
}

void JpkKrWriter::Posting(const JournalEntry& e) {
  if (!open_) return;
  auto element = [this](Fragment& f, std::string_view tag, std::string_view value) {
    if (!f.ok) return;
    AppendElement(f.buffer, tag, value);
    f.buffer += kEol;
    if (f.buffer.size() >= kFlushAt) Flush(f);
  };
  ++rows_;
  const std::string n = IntTextOrEmpty(rows_);
  const std::string document(e.documentNo.view());
  const std::string number = document + ";" + std::to_string(e.entryNo);
  const std::string description = DosToWin(e.description.view());
  const std::string amount = JpkAmount(e.amount);
  // The audit file admits no empty date: a posting without an operation or
  // document date carries its booking date there.
  const DayNo operation = e.operationDate ? e.operationDate : e.bookingDate;
  const DayNo document_date = e.documentDate ? e.documentDate : e.bookingDate;
  sum_ += e.amount;

  Line(dzie_, "  <Dziennik typ=\"G\">");
  element(dzie_, "LpZapisuDziennika", n);
  element(dzie_, "NrZapisuDziennika", number);
  element(dzie_, "OpisDziennika", description);
  element(dzie_, "NrDowoduKsiegowego", document);
  element(dzie_, "RodzajDowodu", std::string_view(document).substr(0, 2));
  element(dzie_, "DataOperacji", JpkDate(operation));
  element(dzie_, "DataDowodu", JpkDate(document_date));
  element(dzie_, "DataKsiegowania", JpkDate(e.bookingDate));
  element(dzie_, "KodOperatora", "000");
  element(dzie_, "OpisOperacji", description);
  element(dzie_, "DziennikKwotaOperacji", amount);
  Line(dzie_, "  </Dziennik>");

  const bool debit = e.IsDebit();
  const std::string_view wn_account = debit ? e.account.view() : e.counterAccount.view();
  const std::string_view ma_account = debit ? e.counterAccount.view() : e.account.view();
  const std::string_view wn = debit ? std::string_view(amount) : std::string_view("0");
  const std::string_view ma = debit ? std::string_view("0") : std::string_view(amount);
  (debit ? sum_wn_ : sum_ma_) += e.amount;
  Line(koza_, "  <KontoZapis typ=\"G\">");
  element(koza_, "LpZapisu", n);
  element(koza_, "NrZapisu", number);
  element(koza_, "KodKontaWinien", wn_account);
  element(koza_, "KwotaWinien", wn);
  element(koza_, "KwotaWinienWaluta", wn);
  element(koza_, "KodWalutyWinien", "PLN");
  element(koza_, "OpisZapisuWinien", description);
  element(koza_, "KodKontaMa", ma_account);
  element(koza_, "KwotaMa", ma);
  element(koza_, "KwotaMaWaluta", ma);
  element(koza_, "KodWalutyMa", "PLN");
  element(koza_, "OpisZapisuMa", description);
  Line(koza_, "  </KontoZapis>");
}

void JpkKrWriter::End() {
  if (!open_) return;
  auto element = [this](Fragment& f, std::string_view tag, std::string_view value) {
    if (!f.ok) return;
    AppendElement(f.buffer, tag, value);
    f.buffer += kEol;
    if (f.buffer.size() >= kFlushAt) Flush(f);
  };
  open_ = false;
  const std::string n = IntTextOrEmpty(rows_);
  Line(dzie_, "  <DziennikCtrl>");
  element(dzie_, "LiczbaWierszyDziennika", n);
  element(dzie_, "SumaKwotOperacji", JpkAmount(sum_));
  Line(dzie_, "  </DziennikCtrl>");
  Line(koza_, "  <KontoZapisCtrl>");
  element(koza_, "LiczbaWierszyKontoZapisj", n);
  element(koza_, "SumaWinien", JpkAmount(sum_wn_));
  element(koza_, "SumaMa", JpkAmount(sum_ma_));
  Line(koza_, "  </KontoZapisCtrl>");
  bool all = true;
  for (Fragment* f : {&zois_, &dzie_, &koza_}) {
    Flush(*f);
    if (f->file.IsOpen() && !f->file.Close() && f->ok) {
      ShowStatus("Zakazany " + f->file.native_path(), kWarning);
      f->ok = false;
    }
    all = all && f->ok;
    f->ok = false;
  }
  // A fragment that lost lines would give a file whose rows disagree with
  // its control elements: none is kept.
  if (!all) {
    Discard();
  }
}

// Closes and removes the fragments of an unfinished run.
void JpkKrWriter::Discard() {
  open_ = false;
  for (auto [f, code] : {std::pair{&zois_, "ZOiS"}, std::pair{&dzie_, "Dzie"},
                         std::pair{&koza_, "KoZa"}}) {
    f->buffer.clear();
    f->ok = false;
    if (f->file.IsOpen()) f->file.Close();
    const std::string path = FragmentPath(code);
    if (IsFile(path)) RemoveFile(path);
  }
}

std::unique_ptr<JpkKrSink> MakeJpkKrWriter() { return std::make_unique<JpkKrWriter>(); }

// --- taxpayer data ---

TaxpayerData DefaultTaxpayer() {
  TaxpayerData t;
  t.KUr = "1471";
  t.USk = "Pierwszy Mazowiecki Urząd Skarbowy w Warszawie"_w;
  t.NIP = "1234563218";  // check digit 8 by the weights 6 5 7 2 3 4 5 6 7
  t.PNa = "Podmiot przykładowy"_w;
  t.Reg = "123456785";  // check digit 5 by the weights 8 9 2 3 4 5 6 7
  t.KKr = "PL";
  t.Woj = "mazowieckie";
  t.Pow = "Warszawa";
  t.Gmi = "Warszawa";
  t.Uli = "Przykładowa"_w;
  t.NDo = std::string("1");  // temporaries: GCC 12 -O3 falsely flags -Wrestrict on "1"
  t.NLo = std::string("1");
  t.Mie = "Warszawa";
  t.KPo = "00-001";
  t.Poc = "Warszawa";
  return t;
}

TaxpayerData ParseTaxpayer(std::string_view text) {
  TaxpayerData t = DefaultTaxpayer();
  t.USk.clear();
  t.PNa = t.Pow = t.Gmi = t.Uli = t.NDo = t.NLo = "BRAK";
  std::string table = PolishLetters();
  const std::string& letters = PolishLetters();
  // Keys whose missing value the sample entity fills in, with their element.
  struct SampleKey {
    const char* key;
    const char* element;
    bool seen;
  };
  SampleKey sample[] = {{"KUr", "KodUrzedu", false}, {"NIP", "NIP", false},
                        {"Reg", "REGON", false},     {"Woj", "Wojewodztwo", false},
                        {"Mie", "Miejscowosc", false}, {"KPo", "KodPocztowy", false},
                        {"Poc", "Poczta", false}};
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key;
    for (char c : line.substr(0, eq)) {
      if (c != ' ') key += c;
    }
    std::string value(Trim(line.substr(eq + 1)));
    if (value.empty()) value = "BRAK";
    if (key == "Pol" && value.size() == 18) {
      table = value;
      continue;
    }
    for (char& c : value) {
      const std::size_t at = table.find(c);
      if (at != std::string::npos) c = letters[at];
    }
    std::string* slot = key == "KUr"   ? &t.KUr
                        : key == "USk" ? &t.USk
                        : key == "NIP" ? &t.NIP
                        : key == "PNa" ? &t.PNa
                        : key == "Reg" ? &t.Reg
                        : key == "KKr" ? &t.KKr
                        : key == "Woj" ? &t.Woj
                        : key == "Pow" ? &t.Pow
                        : key == "Gmi" ? &t.Gmi
                        : key == "Uli" ? &t.Uli
                        : key == "NDo" ? &t.NDo
                        : key == "NLo" ? &t.NLo
                        : key == "Mie" ? &t.Mie
                        : key == "KPo" ? &t.KPo
                        : key == "Poc" ? &t.Poc
                                       : nullptr;
    if (slot) *slot = value;
    for (SampleKey& k : sample)
      if (key == k.key) k.seen = true;
  }
  for (const SampleKey& k : sample) {
    if (k.seen) continue;
    if (!t.from_sample.empty()) t.from_sample += ", ";
    t.from_sample += k.element;
  }
  return t;
}

TaxpayerData ReadTaxpayer() {
  for (const std::string& path : {DbDir.str() + "Podmiot1.TXT", std::string("#\\Podmiot1.TXT")}) {
    File f;
    if (!f.Open(path, Access::kRead, Share::kDenyNone)) continue;
    std::string text;
    if (f.ReadAll(&text, 1 << 20)) return ParseTaxpayer(text);
  }
  TaxpayerData t = DefaultTaxpayer();
  t.from_sample = "Podmiot1.TXT";
  return t;
}

// --- assembly ---

namespace {

struct JpkKind {
  char digit;
  std::string name_part;
  std::string form;
  std::string suffix;
  std::vector<std::string> fragments;
};

JpkKind KindOf(std::string_view position) {
  if (position == "DD") {
    return {'4', "VAT", "VAT", std::string("_") + JpkVatRegisterKind, {"SZWi"}};
  }
  if (position == "EA") return {'1', "KR_", "KR", "", {"ZOiS", "Dzie", "KoZa"}};
  return {'0', "NIC", "NIC", "", {"ZOiS", "Dzie", "KoZa"}};
}

// Writes the file through one buffer; remembers the first failure.
class XmlOut {
 public:
  explicit XmlOut(File& f) : f_(f) {}
  void Line(std::string_view s) {
    buffer_ += s;
    buffer_ += kEol;
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Flush() {
    if (ok_ && !buffer_.empty()) ok_ = f_.Append(buffer_);
    buffer_.clear();
  }
  bool ok() const { return ok_; }

 private:
  File& f_;
  std::string buffer_;
  bool ok_ = true;
};

std::string Comment(std::string_view position, std::string_view text) {
  std::string folded = FoldPl(text);
  // "--" may not stand inside an XML comment.
  for (std::size_t at; (at = folded.find("--")) != std::string::npos;) folded[at + 1] = ' ';
  return " <!--  Zel." + std::string(position) + " : " + XmlText(folded) + "  Zel -->";
}

// Copies a fragment line by line, each line cut to 250 bytes (never inside a
// UTF-8 sequence). A missing fragment gives nothing.
void CopyFragment(std::string_view code, XmlOut& out) {
  File f;
  if (!f.Open(FragmentPath(code), Access::kRead, Share::kDenyWrite)) return;
  std::string pending;
  std::string block(1 << 20, '\0');
  std::uint64_t offset = 0;
  auto emit = [&out](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxFragmentLine) {
      std::size_t n = kMaxFragmentLine;
      while (n > 0 && (static_cast<unsigned char>(line[n]) & 0xC0) == 0x80) --n;
      line = line.substr(0, n);
    }
    out.Line(line);
  };
  for (;;) {
    std::size_t got = 0;
    if (!f.ReadAt(offset, block.data(), block.size(), &got) || got == 0) break;
    offset += got;
    // Whole lines are taken from the block itself; only a line that runs
    // over the block's end is put together in `pending`.
    const std::string_view data(block.data(), got);
    std::size_t start = 0;
    for (std::size_t eol; (eol = data.find('\n', start)) != std::string_view::npos; start = eol + 1) {
      if (pending.empty()) {
        emit(data.substr(start, eol - start));
      } else {
        pending.append(data.substr(start, eol - start));
        emit(pending);
        pending.clear();
      }
    }
    pending.append(data.substr(start));
  }
  if (!pending.empty()) emit(pending);
}

std::string Timestamp() {
  const DateTime now = Now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return buf;
}

}  // namespace

std::string JpkFileName(std::string_view menu_position) {
  const JpkKind kind = KindOf(menu_position);
  std::string who(ForWhom.view().substr(0, std::min<std::size_t>(7, ForWhom.size())));
  for (char& c : who) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return DbDir.str() + "JPK\\JPK_" + kind.name_part + "_" + JpkDate(ToDate).substr(0, 7) + "_" +
         who + kind.suffix + ".XML";
}

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The schema's NIP: [1-9]((\d[1-9])|([1-9]\d))\d{7}.
bool NipFits(std::string_view s) {
  return s.size() == 10 && AllDigits(s) && s[0] != '0' && (s[1] != '0' || s[2] != '0');
}

// A date the schema admits: 1900-01-01 to 2030-12-31.
bool DateFits(DayNo d) {
  const std::string t = JpkDate(d);
  return t.size() == 10 && t <= "2030-12-31";
}

}  // namespace

std::string JpkHeaderFaults(const TaxpayerData& t, DayNo from, DayNo to) {
  std::string faults;
  auto add = [&faults](const char* element) {
    if (!faults.empty()) faults += ", ";
    faults += element;
  };
  if (t.KUr.size() != 4 || !AllDigits(t.KUr)) add("KodUrzedu");
  if (!NipFits(t.NIP)) add("NIP");
  if (!((t.Reg.size() == 9 || t.Reg.size() == 14) && AllDigits(t.Reg))) add("REGON");
  if (t.KKr != "PL") add("KodKraju");
  if (!DateFits(from)) add("DataOd");
  if (!DateFits(to)) add("DataDo");
  return faults;
}

std::string XmlE() {
  const std::string position(OptionKey.view());
  const TaxpayerData tp = ReadTaxpayer();
  MakeFolder(DbDir.str() + "JPK");
  const JpkKind kind = KindOf(position);
  const std::string name = JpkFileName(position);
  const std::string temp = name + ".tmp";

  // Without the fragments of a run that was asked for the JPK the file would
  // have no rows: the schema rejects it, so nothing is written at all.
  for (const std::string& code : kind.fragments) {
    if (!IsFile(FragmentPath(code))) {
      ShowStatus("Brak danych JPK: wykonaj zestawienie z odpowiedzią T na pytanie o JPK"_w,
                 kWarning);
      return {};
    }
  }

  File file;
  if (!file.Open(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
    ShowStatus("Zakazany " + name, kWarning);
    return {};
  }
  XmlOut out(file);
  const std::string caption(OptionCaption.view());
  auto el = [](std::string_view indent, std::string_view tag, std::string_view value) {
    return std::string(indent) + "<" + std::string(tag) + ">" + XmlText(value) + "</" +
           std::string(tag) + ">";
  };
  out.Line("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  out.Line(std::string("<JPK xmlns=\"http://jpk.mf.gov.pl/wzor/2016/03/09/0309") + kind.digit +
           "/\" xmlns:P1=\"http://crd.gov.pl/xml/schematy/dziedzinowe/mf/2016/01/25/eD/"
           "DefinicjeTypy/\">");
  out.Line(Comment(position, caption));
  out.Line("  <Naglowek>");
  out.Line("    <KodFormularza kodSystemowy=\"JPK_" + kind.form +
           " (1)\" wersjaSchemy=\"1-0\">JPK_" + kind.form + "</KodFormularza>");
  out.Line(el("    ", "WariantFormularza", "1"));
  out.Line(el("    ", "CelZlozenia", "1"));
  out.Line(el("    ", "DataWytworzeniaJPK", Timestamp()));
  out.Line(el("    ", "DataOd", JpkDate(FromDate)));
  out.Line(el("    ", "DataDo", JpkDate(ToDate)));
  out.Line(el("    ", "DomyslnyKodWaluty", "PLN"));
  out.Line(el("    ", "KodUrzedu", tp.KUr));
  out.Line("  </Naglowek>");
  out.Line(Comment(position, "Podmiot1"));
  out.Line("  <Podmiot1>");
  out.Line("    <IdentyfikatorPodmiotu>");
  out.Line(el("      ", "P1:NIP", tp.NIP));
  out.Line(el("      ", "P1:PelnaNazwa", tp.PNa));
  out.Line(el("      ", "P1:REGON", tp.Reg));
  out.Line("    </IdentyfikatorPodmiotu>");
  out.Line("    <AdresPodmiotu>");
  out.Line(el("      ", "P1:KodKraju", tp.KKr));
  out.Line(el("      ", "P1:Wojewodztwo", tp.Woj));
  out.Line(el("      ", "P1:Powiat", tp.Pow));
  out.Line(el("      ", "P1:Gmina", tp.Gmi));
  out.Line(el("      ", "P1:Ulica", tp.Uli));
  out.Line(el("      ", "P1:NrDomu", tp.NDo));
  out.Line(el("      ", "P1:NrLokalu", tp.NLo));
  out.Line(el("      ", "P1:Miejscowosc", tp.Mie));
  out.Line(el("      ", "P1:KodPocztowy", tp.KPo));
  out.Line(el("      ", "P1:Poczta", tp.Poc));
  out.Line("    </AdresPodmiotu>");
  out.Line("  </Podmiot1>");
  for (std::size_t i = 0; i < kind.fragments.size(); ++i) {
    out.Line(Comment(position, kind.fragments[i]));
    CopyFragment(kind.fragments[i], out);
  }
  out.Line(Comment(position, "koniec"));
  out.Line("</JPK>");
  out.Flush();
  const bool closed = file.Close();
  if (!out.ok() || !closed || !ReplaceFile(temp, name)) {
    RemoveFile(temp);
    ShowStatus("Zakazany " + name, kWarning);
    return {};
  }
  // A file that looks ready to send but is not says so instead of O.K.
  std::string warning;
  const std::string faults = JpkHeaderFaults(tp, FromDate, ToDate);
  if (!faults.empty()) warning = "  niezgodne ze schematem: "_w + faults;
  if (!tp.from_sample.empty()) warning += "  dane przykładowe: "_w + tp.from_sample;
  if (!warning.empty()) {
    ShowStatus(name + "  UWAGA:" + warning, kWarning);
  } else {
    ShowStatus(name + "  O.K.", kInfo);
  }
  return name;
}

}  // namespace zel
