#include "app/demo_files.hpp"

#include <array>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <vector>

#include "books/journal_posting.hpp"
#include "books/journal_rewrite.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/pltext.hpp"
#include "platform/file.hpp"
#include "platform/folders.hpp"
#include "platform/paths.hpp"
#include "platform/program_files.hpp"
#include "shell/form_templates.hpp"
#include "shell/settings.hpp"
#include "shell/state.hpp"
#include "store/account_record.hpp"
#include "store/declaration.hpp"
#include "store/journal_entry.hpp"
#include "store/journal_file.hpp"
#include "vat/vat7_declaration.hpp"
#include "vat/vat_entry.hpp"
#include "vat/vat_register.hpp"

namespace zel {
namespace {

constexpr std::size_t kBlockRecords = 4000;
constexpr std::string_view kTempSuffix = ".demo$";

// DbDir and StationExt as the settings and store code read them, for the
// time of one write; the previous values come back afterwards.
class DatabaseScope {
 public:
  explicit DatabaseScope(std::string_view db_dir) : db_dir_(DbDir), station_(StationExt) {
    DbDir = db_dir;
    if (StationExt.empty()) StationExt = ".xxx";
  }
  ~DatabaseScope() {
    DbDir = db_dir_;
    StationExt = station_;
  }

 private:
  FixedText<250> db_dir_;
  FixedText<4> station_;
};

bool Fail(std::string* err, std::string message) {
  if (err != nullptr) *err = std::move(message);
  return false;
}

// Writes `count` records of `size` bytes, each filled by `fill`, beside the
// file and renames them over it.
bool WriteRecords(const std::string& path, std::size_t count, std::size_t size,
                  const std::function<void(std::size_t, std::uint8_t*)>& fill, std::string* err) {
  const std::string temp = path + std::string(kTempSuffix);
  File f;
  if (!f.Open(temp, Access::kReadWrite, Share::kExclusive, Disposition::kCreateAlways)) {
    const IoError why = f.error();
    RemoveFile(temp);  // an open can fail after it created the file
    return Fail(err, "Nie można utworzyć "_w + temp + " (" + IoErrorText(why) + ")");
  }
  std::vector<std::uint8_t> block(kBlockRecords * size);
  std::uint64_t offset = 0;
  for (std::size_t first = 0; first < count; first += kBlockRecords) {
    const std::size_t n = std::min(kBlockRecords, count - first);
    for (std::size_t i = 0; i < n; ++i) fill(first + i, block.data() + i * size);
    if (!f.WriteAt(offset, block.data(), n * size)) {
      f.Close();
      RemoveFile(temp);
      return Fail(err, "Błąd zapisu "_w + temp + " (" + IoErrorText(LastIoError()) + ")");
    }
    offset += n * size;
  }
  if (!f.Close() || !ReplaceFile(temp, path)) {
    RemoveFile(temp);
    return Fail(err, "Nie można zapisać "_w + path);
  }
  return true;
}

bool WriteText(const std::string& path, const std::string& text, std::string* err) {
  if (!WriteFileAtomically(path, text, kTempSuffix))
    return Fail(err, "Nie można zapisać "_w + path);
  return true;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

bool WriteChart(const DemoYear& year, const std::string& path, std::string* err) {
  return WriteRecords(
      path, year.accounts.size(), kAccountRecordSize,
      [&year](std::size_t i, std::uint8_t* p) {
        const DemoAccount& a = year.accounts[i];
        AccountRecord r;
        r.symbol = a.symbol;
        r.status = 1;
        r.name = a.name;
        r.address = a.address;
        r.nip = a.nip;
        r.shortName = a.short_name;
        AccountTextsToDos(r);
        r.written.day = year.bo_date;
        r.written.minutes = 8 * 60;
        r.written.user = {'D', 'E', 'M'};
        EncodeAccountRecord(r, p);
      },
      err);
}

bool WriteRegister(const DemoRegister& reg, std::string_view db_dir, std::string* err) {
  const std::string folder = std::string(db_dir) + reg.folder;
  if (!IsFolder(folder) && !MakeFolders(folder)) {
    return Fail(err, "Nie można utworzyć folderu "_w + folder);
  }
  const std::string path = folder + "\\" + VatRegisterFileName(reg.code, reg.kind);
  if (reg.extra_bytes > 0) {
    std::string bytes(reg.entries.size() * kVatEntrySize + reg.extra_bytes, '\0');
    for (std::size_t i = 0; i < reg.entries.size(); ++i) {
      VatEntry e = reg.entries[i];
      VatEntryToDos(e);
      EncodeVatEntry(e, reinterpret_cast<std::uint8_t*>(bytes.data()) + i * kVatEntrySize);
    }
    return WriteText(path, bytes, err);
  }
  return WriteRecords(
      path, reg.entries.size(), kVatEntrySize,
      [&reg](std::size_t i, std::uint8_t* p) {
        VatEntry e = reg.entries[i];
        VatEntryToDos(e);
        EncodeVatEntry(e, p);
      },
      err);
}

bool WriteRegisters(const DemoYear& year, std::string_view db_dir, std::string* err) {
  for (const DemoRegister& reg : year.registers) {
    if (!WriteRegister(reg, db_dir, err)) return false;
  }
  for (const DemoRegister& reg : year.extra_registers) {
    if (!WriteRegister(reg, db_dir, err)) return false;
  }
  return true;
}

bool WriteTaxpayer(const DemoFirm& firm, std::string* err) {
  DeclarationData d;
  d.Nip = firm.nip;
  d.USk = firm.tax_office;
  d.Naz = firm.name;
  d.Pes = firm.regon;
  d.Kra = "Polska";
  d.Woj = firm.province;
  d.Pow = firm.county;
  d.Gmi = firm.commune;
  d.Uli = firm.street;
  d.NrD = firm.house;
  d.NrL = firm.flat;
  d.Mia = firm.town;
  d.Kod = firm.postcode;
  d.Poc = firm.post_office;
  d.RPo = "p.n.o.f.";
  d.PIm = "Jan";
  d.DUr = DayFromDdMmYy("120570");
  d.oIm = "Anna"_w;
  d.oNa = "Przykładowa"_w;
  d.oTe = "22 000 00 00";
  if (!WriteTaxpayerFile(d))
    return Fail(err, "Nie można zapisać "_w + std::string(DbDir.view()) + "VAT\\Pod.7BT");
  return true;
}

// The declaration data of March: the registers' totals of sales and
// purchases written as the register writes them with "Z" (a marker line,
// then one line per letter), then the values typed in the declaration
// windows: the surplus carried from February, the signature date and the
// answers.
bool WriteDeclarationData(const DemoYear& year, const std::string& dir, std::string* err) {
  const std::string bz = DayToText10(year.bz_date);
  const int y = std::atoi(bz.substr(6, 4).c_str());
  DayNo from = 0;
  DayNo to = 0;
  MonthBounds(y, 3, &from, &to);
  const std::string path = dir + "VAT\\VAT.7BT";
  if (IsFile(path) && !RemoveFile(path)) return Fail(err, "Nie można zapisać "_w + path);
  for (char kind : {'S', 'Z'}) {
    VatRegisterParams p;
    p.kind = kind;
    p.from = from;
    p.to = to;
    p.declaration = 'Z';
    p.db_dir = dir;
    SilentOptionServices silent;
    if (!VatRegister(p, silent)) return Fail(err, "Nie można zapisać "_w + path);
  }
  DeclarationData d;
  d.answers[6] = "Tak";  // the surplus carried to the next month
  const auto year16 = static_cast<std::uint16_t>(y);
  const std::string lines = TypedValueLine(year16, 3, 'a', 150) +
                            SignatureDateLine(year16, 3, static_cast<DayNo>(to + 25)) +
                            AnswersLine(year16, 3, d);
  if (!AppendDeclarationLines(dir, lines)) return Fail(err, "Nie można zapisać "_w + path);
  return true;
}

void WriteSettings(const DemoYear& year) {
  const DemoFirm& f = year.firm;
  WriteSetting(true, "Dla kogo", f.short_name);
  WriteSetting(true, "DatyBOBZ", DayToText10(year.bo_date) + ";" + DayToText10(year.bz_date));
  WriteSetting(true, "GlebPods", "1;3;8");
  WriteSetting(true, "FirmUsSi", f.name + ";" + f.nip + ";T;N");
  WriteSetting(true, "ZRoboczy", year.working_name);
  WriteSetting(true, "ZbRoczny", year.annual_name);
}

}  // namespace

std::string VatDescriptionText(char kind) {
  static constexpr std::array<const char*, 26> kSales = {
      "A Sprzedaż krajowa 23%",
      "B Sprzedaż krajowa 8%",
      "C Sprzedaż krajowa 5%",
      "D Sprzedaż krajowa 0%",
      "E Sprzedaż 0% (art. 129)",
      "F Usługi poza terytorium kraju (art. 100)",
      "G Dostawa poza terytorium kraju",
      "H Sprzedaż zwolniona",
      "I Import usług - podatek należny",
      "J Import usług art. 28b - podatek należny",
      "K Eksport towarów",
      "L Wewnątrzwspólnotowa dostawa towarów",
      "M Import towarów art. 33a",
      "N Wewnątrzwspólnotowe nabycie towarów",
      "O Nabywca jako podatnik - dostawa",
      "P Spis z natury",
      "Q Zwrot za kasy rejestrujące",
      "R Import towarów - korekta",
      "S Wewnątrzwspólnotowe nabycie - korekta",
      "T Import usług art. 28b - korekta",
      "U Import usług - korekta",
      "V Nabywca jako podatnik - korekta",
      "W Poza rejestrem",
      "X Inne",
      "Y Inne",
      "Z Korekta podatku należnego",
  };
  static constexpr std::array<const char*, 26> kPurchases = {
      "A Zakupy pozostałe 23%",
      "B Zakupy pozostałe 8%",
      "C Zakupy pozostałe 5%",
      "D Zakupy pozostałe 0%",
      "E Zakupy 23% - odliczenie 46%",
      "F Zakupy 8% - odliczenie 46%",
      "G Zakupy 5% - odliczenie 46%",
      "H Zakupy 0% - odliczenie 46%",
      "I Zakupy 23% bez odliczenia",
      "J Zakupy 8% bez odliczenia",
      "K Zakupy 5% bez odliczenia",
      "L Zakupy zwolnione",
      "M Środki trwałe 23%",
      "N Środki trwałe 8%",
      "O Samochód - odliczenie 1/2",
      "P Środki trwałe - odliczenie 46%",
      "Q Samochód - 46% z 1/2",
      "R Środki trwałe 23% - odliczenie 46%",
      "S Środki trwałe bez odliczenia",
      "T Środki trwałe zwolnione",
      "U Wydatki na samochód - odliczenie 1/2",
      "V Wydatki na samochód - 46% z 1/2",
      "W Zakupy wewnętrzne (poza zestawieniem)",
      "X Import usług - podatek naliczony",
      "Y Import środków trwałych",
      "Z Korekta podatku naliczonego",
  };
  std::vector<std::string> lines;
  for (const char* l : kind == 'S' ? kSales : kPurchases) lines.push_back(Utf8ToWin(l));
  return Lines(lines);
}

std::string VatSummaryText(char kind) {
  const std::string m(1, kVatSummaryMarker);
  std::vector<std::string> lines;
  if (kind == 'S') {
    lines = {m + "ABC Sprzedaż krajowa opodatkowana", m + "DEH Sprzedaż krajowa 0% i zwolniona",
             m + "FGKL Dostawy i usługi poza krajem", m + "N Wewnątrzwspólnotowe nabycie"};
  } else {
    lines = {m + "ABCD Zakupy pozostałe z pełnym odliczeniem",
             m + "EFGHPR Zakupy z odliczeniem 46%", m + "IJKLST Zakupy bez odliczenia",
             m + "MNOPQRSTY Środki trwałe", m + "OQUV Samochody"};
  }
  for (std::string& l : lines) l = Utf8ToWin(l);
  return Lines(lines);
}

std::string Podmiot1Text(const DemoFirm& f) {
  return Lines({
      "Pol=" + std::string("ąćęłńóśżźĄĆĘŁŃÓŚŻŹ"_w),
      "KUr=" + f.tax_office_code,
      "USk=" + f.tax_office,
      "NIP=" + f.nip,
      "PNa=" + f.name,
      "Reg=" + f.regon,
      "KKr=PL",
      "Woj=" + f.province,
      "Pow=" + f.county,
      "Gmi=" + f.commune,
      "Uli=" + f.street,
      "NDo=" + f.house,
      "NLo=" + f.flat,
      "Mie=" + f.town,
      "KPo=" + f.postcode,
      "Poc=" + f.post_office,
  });
}

bool WriteDemoYear(const DemoYear& year, std::string_view db_dir, std::string* err) {
  const std::string dir(db_dir);
  if (!MakeFolders(dir) || !MakeFolders(dir + "VAT") || !MakeFolders(dir + "SETUP")) {
    return Fail(err, "Nie można utworzyć folderu "_w + dir);
  }
  DatabaseScope scope(dir);

  if (!WriteChart(year, dir + std::string(kDemoChartName) + ".PFX", err)) return false;

  if (!WriteRecords(
          JournalPath(year.working_name), year.working.size(), kJournalRecordSize,
          [&year](std::size_t i, std::uint8_t* p) { EncodeJournalEntry(year.working[i], p); },
          err)) {
    return false;
  }
  // The month working files with their lists ("MMx.ZFX" names the file
  // itself, "MIESIACE.ZFX" all of them in posting order) and, in the sample
  // year, a backup ".BAK" of each as a month's data entry leaves it.
  std::string all_months;
  // The annual file holds them all: the journal of postings says so, so
  // that posting "all month files" into it posts nothing a second time.
  std::string posted;
  const std::string stamp = DayToText10(year.bz_date) + " 00:00";
  for (const DemoMonthFile& m : MonthFiles(year)) {
    PostingSums sums;
    for (std::size_t i = m.first; i < m.last; ++i) sums.Add(year.working[i]);
    posted += PostingJournalLine(m.name, sums, stamp);
    auto fill = [&year, &m](std::size_t i, std::uint8_t* p) {
      EncodeJournalEntry(year.working[m.first + i], p);
    };
    if (!WriteRecords(JournalPath(m.name), m.last - m.first, kJournalRecordSize, fill, err))
      return false;
    if (year.options.postings == 0 &&
        !WriteRecords(dir + m.name + ".BAK", m.last - m.first, kJournalRecordSize, fill, err)) {
      return false;
    }
    if (!WriteText(dir + m.name + ".ZFX", m.name + "\r\n", err)) return false;
    all_months += m.name + "\r\n";
  }
  if (!WriteText(dir + kDemoMonthList + ".ZFX", all_months, err)) return false;
  if (!WriteText(PostingJournalPath(year.annual_name), posted, err)) return false;

  const std::vector<std::uint32_t> order = AnnualOrder(year);
  if (!WriteRecords(
          JournalPath(year.annual_name), order.size(), kJournalRecordSize,
          [&year, &order](std::size_t i, std::uint8_t* p) {
            EncodeJournalEntry(year.working[order[i]], p);
          },
          err)) {
    return false;
  }

  if (!WriteRegisters(year, dir, err)) return false;
  for (char kind : {'S', 'Z'}) {
    const std::string k(1, kind);
    if (!WriteText(dir + "SETUP\\OP-VAT-" + k + ".TXT", VatDescriptionText(kind), err))
      return false;
    if (!WriteText(dir + "SETUP\\R" + k + "V-SUM", VatSummaryText(kind), err)) return false;
  }
  if (!WriteText(dir + "Podmiot1.TXT", Podmiot1Text(year.firm), err)) return false;
  if (!WriteTaxpayer(year.firm, err)) return false;
  WriteSettings(year);
  if (!WriteDeclarationData(year, dir, err)) return false;
  return true;
}

bool WriteStationSettings(std::string_view db_dir, std::string* err) {
  std::string folder(db_dir);
  // Inside the Zel folder the database is named relative to it: shorter, and
  // the pair can move together.
  const std::string zel = Utf8ToWin(ZelFolder()) + "/";
  if (!ZelFolder().empty() && folder.compare(0, zel.size(), zel) == 0)
    folder = folder.substr(zel.size());
  const std::string value = folder + ";" + std::string(kDemoChartName);
  if (value.size() > kSettingValueSize) {
    return Fail(err, "Za długa nazwa folderu bazy dla ustawień (najwyżej "_w +
                         std::to_string(kSettingValueSize - kDemoChartName.size() - 1) +
                         " znaków): " + folder);
  }
  const FixedText<4> station = StationExt;
  if (StationExt.empty()) StationExt = ".xxx";
  WriteSetting(false, "DirxBaza", value);
  StationExt = station;
  for (char kind : {'S', 'Z'}) {
    const std::string k(1, kind);
    const std::string description = "SETUP\\OP-VAT-" + k + ".TXT";
    const std::string summary = "SETUP\\R" + k + "V-SUM";
    if (!FileOrFolderExists("SETUP")) MakeFolder("SETUP");
    if (!FileOrFolderExists(description) && !WriteText(description, VatDescriptionText(kind), err))
      return false;
    if (!FileOrFolderExists(summary) && !WriteText(summary, VatSummaryText(kind), err))
      return false;
  }
  // The printed forms (the VAT-7 pages) in the shared folder "!", when the
  // program's data folder is there to take them from.
  if (DataFolder().empty()) return true;
  return InstallFormTemplates(err);
}

}  // namespace zel
