// The JPK_KR audit file (books of account) and the assembly of every JPK
// file from its fragments.
//
// Two stages. While the trial balance runs, JpkKrWriter writes its rows as
// complete XML lines into three fragment files of the workstation's
// temporary folder (TempName "ZOiS", "Dzie", "KoZa"), made anew for each run:
// one ZOiS row per account row of the balance, one Dziennik and one
// KontoZapis row per posting of the period, and the two control elements.
// Afterwards XmlE (the JPK button of the preview) writes DbDir + "JPK\..."
// from the declaration, the header, the taxpayer data of "Podmiot1.TXT" and
// the fragments copied line by line. Texts inside are Windows-1250; XmlText
// turns them into UTF-8 character data.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/types.hpp"
#include "platform/file.hpp"
#include "statements/jpk_kr_sink.hpp"

namespace zel {

class ChartTable;
struct JournalEntry;

// Number and date forms of the JPK files: amounts "0" or the shortest text
// with a point and at most two decimals ("12.5"); dates "YYYY-MM-DD" (empty
// for day 0).
std::string JpkAmount(Amount x);
std::string JpkDate(DayNo d);
// "    <tag>" + XmlText(value) + "</tag>"; an empty value or "-" is "BRAK".
// The value is cut before escaping so that the line stays within the 250
// bytes of a fragment line.
std::string JpkElement(std::string_view tag, std::string_view value);
// The same line (without its end) appended to `out`.
void AppendJpkElement(std::string& out, std::string_view tag, std::string_view value);

// The fragment file names of this workstation: TempName("ZOiS") etc.
std::string FragmentPath(std::string_view code);

class JpkKrWriter : public JpkKrSink {
 public:
  // Account names come from `chart` (nullptr: the program's Chart()).
  explicit JpkKrWriter(ChartTable* chart = nullptr);
  ~JpkKrWriter() override;

  bool Begin() override;
  void AccountRow(std::string_view symbol, const std::array<Amount, 8>& amounts) override;
  void Posting(const JournalEntry& entry) override;
  void End() override;
  // Closes and removes the fragments of an unfinished run.
  void Discard() override;

  std::int64_t JournalRows() const { return rows_; }

 private:
  struct Fragment {
    File file;
    std::string buffer;
    bool ok = false;
  };
  void Line(Fragment& f, std::string_view line);
  void Flush(Fragment& f);
  std::string AccountName(std::string_view symbol);

  ChartTable* chart_;
  Fragment zois_, dzie_, koza_;
  bool open_ = false;
  std::int64_t rows_ = 0;
  Amount sum_ = 0;
  Amount sum_wn_ = 0;
  Amount sum_ma_ = 0;
};

// A factory for the statements' registration (RegisterStatementProcedures).
std::unique_ptr<JpkKrSink> MakeJpkKrWriter();

// The taxpayer data of the JPK header and of Podmiot1, by key ("KUr", "NIP",
// "PNa", "Reg", "KKr", "Woj", "Pow", "Gmi", "Uli", "NDo", "NLo", "Mie",
// "KPo", "Poc"; "USk" is read but not written). Windows-1250.
struct TaxpayerData {
  std::string KUr, USk, NIP, PNa, Reg, KKr, Woj, Pow, Gmi, Uli, NDo, NLo, Mie, KPo, Poc;
  // The elements whose value came from the built-in sample entity (names
  // joined by ", "); "Podmiot1.TXT" alone when no taxpayer file was read.
  std::string from_sample;
};
// The built-in sample entity, used when no taxpayer file exists: a valid tax
// office code and NIP and REGON numbers with correct check digits.
TaxpayerData DefaultTaxpayer();
// Parses the text of a taxpayer file ("key=value" lines and "Pol" tables)
// over the defaults a file gives for missing keys.
TaxpayerData ParseTaxpayer(std::string_view text);
// Reads DbDir + "Podmiot1.TXT", else "#\Podmiot1.TXT", else the defaults.
TaxpayerData ReadTaxpayer();

// The register kind letter ("S" sales, "Z" purchases) of the last VAT
// register run, for the JPK_VAT file name; set by the VAT register.
extern char JpkVatRegisterKind;

// The file XmlE writes for the current option's menu position and the
// current dates (DbDir + "JPK\JPK_..." + ".XML").
std::string JpkFileName(std::string_view menu_position);

// The header values the schema would refuse (KodUrzedu, NIP, REGON,
// KodKraju, the dates DataOd and DataDo), by element name joined by ", ";
// empty when every one fits its pattern.
std::string JpkHeaderFaults(const TaxpayerData& t, DayNo from, DayNo to);

// The JPK button: assembles the file for the current option (OptionKey),
// shows file name + "  O.K." (level 2) or "Zakazany " + file name (level 0).
// A file written with sample taxpayer values or with header values the
// schema refuses ends with a warning (level 0) naming them instead of O.K.
// Returns the file name written, empty when none was.
std::string XmlE();

}  // namespace zel
