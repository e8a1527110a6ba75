#include "vat/jpk_schemas.hpp"

#include <array>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "fields/option_values.hpp"
#include "output/report_document.hpp"
#include "platform/folders.hpp"
#include "shell/file_access.hpp"
#include "shell/settings_keys.hpp"
#include "shell/status.hpp"
#include "store/block_reader.hpp"
#include "store/journal_file.hpp"

namespace zel {

namespace {

constexpr std::size_t kTurnoverBlock = 240;

struct Kind {
  const char* form;
  const char* purpose;
  const char* basis;
};

// In the listing's order; the namespace digit is the position + 1.
const std::array<Kind, 7>& Kinds() {
  static const std::array<Kind, 7> kKinds = {{
      {"KR", "ksiąg rachunkowych", ""},
      {"WB", "wyciągu bankowego", ""},
      {"MAG", "obrotu magazynowego", "danych z THD ?"},
      {"VAT", "ewidencji sprzedaży i zakupu", "- nie dotyczy -"},
      {"FA", "faktur VAT", "rejestru sprzedaży"},
      {"PKPiR", "podatkowej księgi przychodów i rozchodów", "- nie dotyczy -"},
      {"EWP", "ewidencji przychodów", ""},
  }};
  return kKinds;
}

constexpr std::string_view kEtd = "http://crd.gov.pl/xml/schematy/dziedzinowe/mf/2016/01/25/eD/DefinicjeTypy/";
constexpr std::string_view kKck = "http://crd.gov.pl/xml/schematy/dziedzinowe/mf/2013/05/23/eD/KodyCECHKRAJOW/";

}  // namespace

JournalTurnover ReadJournalTurnover(std::string_view path) {
  JournalTurnover t;
  if (!FileExists(path)) return t;
  File file;
  if (!OpenShared(file, path, Share::kDenyWrite, "bZe:ZaXSD")) return t;
  t.found = true;
  FileSource source(file);
  BlockReader reader(source, path, kTurnoverBlock);
  for (;;) {
    const JournalView v = reader.NextView();
    if (reader.AtEnd() || v.IsSentinel()) break;
    if (v.IsControl() || v.AmountDamaged()) continue;
    ++t.records;
    (v.IsDebit() ? t.debit : t.credit) += v.amount();
  }
  return t;
}

std::string JpkSchemaText(int n, std::string_view form) {
  const std::string tns = "http://jpk.mf.gov.pl/wzor/2016/03/09/0309" + std::to_string(n) + "/";
  const std::string f(form);
  std::string s;
  auto line = [&s](std::string_view l) {
    s += l;
    s += "\r\n";
  };
  line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  line("<xsd:schema xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:etd=\"" + std::string(kEtd) +
       "\" xmlns:kck=\"" + std::string(kKck) + "\" xmlns:tns=\"" + tns + "\" targetNamespace=\"" +
       tns + "\" elementFormDefault=\"qualified\" attributeFormDefault=\"unqualified\" xml:lang=\"pl\">");
  line("\t<xsd:import namespace=\"" + std::string(kEtd) + "\" schemaLocation=\"" + std::string(kEtd) +
       "StrukturyDanych_v4-0E.xsd\"/>");
  line("\t<xsd:import namespace=\"" + std::string(kKck) + "\" schemaLocation=\"" + std::string(kKck) +
       "KodyCechKrajow_v3-0E.xsd\"/>");
  line("\t<xsd:simpleType name=\"TKodFormularza\">");
  line("\t\t<xsd:restriction base=\"xsd:string\">");
  line("\t\t\t<xsd:enumeration value=\"JPK_" + f + "\"/>");
  line("\t\t</xsd:restriction>");
  line("\t</xsd:simpleType>");
  line("\t<xsd:simpleType name=\"TCelZlozenia\">");
  line("\t\t<xsd:restriction base=\"xsd:byte\">");
  line("\t\t\t<xsd:enumeration value=\"1\"/>");
  line("\t\t</xsd:restriction>");
  line("\t</xsd:simpleType>");
  line("\t<xsd:complexType name=\"TNaglowek\">");
  line("\t\t<xsd:sequence>");
  line("\t\t\t<xsd:element name=\"KodFormularza\">");
  line("\t\t\t\t<xsd:complexType>");
  line("\t\t\t\t\t<xsd:simpleContent>");
  line("\t\t\t\t\t\t<xsd:extension base=\"tns:TKodFormularza\">");
  line("\t\t\t\t\t\t\t<xsd:attribute name=\"kodSystemowy\" type=\"xsd:string\" use=\"required\" fixed=\"JPK_" +
       f + " (1)\"/>");
  line("\t\t\t\t\t\t\t<xsd:attribute name=\"wersjaSchemy\" type=\"xsd:string\" use=\"required\" fixed=\"1-0\"/>");
  line("\t\t\t\t\t\t</xsd:extension>");
  line("\t\t\t\t\t</xsd:simpleContent>");
  line("\t\t\t\t</xsd:complexType>");
  line("\t\t\t</xsd:element>");
  line("\t\t\t<xsd:element name=\"WariantFormularza\">");
  line("\t\t\t\t<xsd:simpleType>");
  line("\t\t\t\t\t<xsd:restriction base=\"xsd:byte\">");
  line("\t\t\t\t\t\t<xsd:enumeration value=\"1\"/>");
  line("\t\t\t\t\t</xsd:restriction>");
  line("\t\t\t\t</xsd:simpleType>");
  line("\t\t\t</xsd:element>");
  line("\t\t\t<xsd:element name=\"CelZlozenia\" type=\"tns:TCelZlozenia\"/>");
  line("\t\t\t<xsd:element name=\"DataWytworzeniaJPK\" type=\"etd:TDataCzas\"/>");
  line("\t\t\t<xsd:element name=\"DataOd\" type=\"etd:TData\"/>");
  line("\t\t\t<xsd:element name=\"DataDo\" type=\"etd:TData\"/>");
  line("\t\t\t<xsd:element name=\"DomyslnyKodWaluty\" type=\"kck:currCode_Type\"/>");
  line("\t\t\t<xsd:element name=\"KodUrzedu\" type=\"etd:TKodUS\"/>");
  line("\t\t</xsd:sequence>");
  line("\t</xsd:complexType>");
  line("\t<xsd:simpleType name=\"TKwotowy\">");
  line("\t\t<xsd:restriction base=\"xsd:decimal\">");
  line("\t\t\t<xsd:totalDigits value=\"18\"/>");
  line("\t\t\t<xsd:fractionDigits value=\"2\"/>");
  line("\t\t</xsd:restriction>");
  line("\t</xsd:simpleType>");
  line("\t<xsd:simpleType name=\"TNaturalnyJPK\">");
  line("\t\t<xsd:restriction base=\"etd:TNaturalny\">");
  line("\t\t\t<xsd:minExclusive value=\"0\"/>");
  line("\t\t</xsd:restriction>");
  line("\t</xsd:simpleType>");
  line("\t<xsd:simpleType name=\"TZnakowyJPK\">");
  line("\t\t<xsd:restriction base=\"xsd:token\">");
  line("\t\t\t<xsd:minLength value=\"1\"/>");
  line("\t\t\t<xsd:maxLength value=\"256\"/>");
  line("\t\t</xsd:restriction>");
  line("\t</xsd:simpleType>");
  line("</xsd:schema>");
  return s;
}

bool JpkSchemaListing(OptionServices& window) {
  const std::string period(window.PeriodText());
  RapStart("ZaXSD", "JEDNOLITE PLIKI KONTROLNE" + period, 2);
  RapKol('l', 6, "", "Skrót"_w);
  RapKol('l', 42, "", "Jednolity plik kontrolny dla");
  RapKol('l', 40, "", "Na podstawie");
  RapKol('p', 7, "Liczba", "plików"_w);
  RapKol('p', 9, "Liczba", "rekordów"_w);
  RapKol('p', 15, "Obroty", "winien");
  RapKol('p', 15, "Obroty", "ma");
  RapNag("schematy zapisane w folderze bieżącym"_w);

  const std::string annual = AnnualFilePath();
  const std::string annual_name = DbSettings.annual_journal.str() + ".DFX";
  std::string failed;
  for (std::size_t i = 0; i < Kinds().size(); ++i) {
    const Kind& k = Kinds()[i];
    const std::string purpose = Utf8ToWin(k.purpose);
    if (i == 0) {
      const JournalTurnover t = ReadJournalTurnover(annual);
      if (t.found) {
        RapWiersz(k.form, purpose, "zbioru rocznego "_w + annual_name, "1", std::to_string(t.records),
                  Amount15(t.debit), Amount15(t.credit));
      } else {
        RapWiersz(k.form, purpose, "Nie ma "_w + annual_name);
      }
    } else {
      RapWiersz(k.form, purpose, Utf8ToWin(k.basis));
    }
    RapWiersz("", "- koniec -");
    RapLinia('.');
    const std::string file = "JPK_" + std::string(k.form) + "(1)_v1-0.xsd";
    if (!WriteFileAtomically(file, JpkSchemaText(static_cast<int>(i) + 1, k.form), ".tmp")) {
      failed = file;
    }
  }
  if (!failed.empty()) ShowStatus("Nie zapisano "_w + failed, kWarning);
  return true;
}

}  // namespace zel
