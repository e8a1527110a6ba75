// The bZestaw hooks the parameter window calls for the option fields: the
// trial-balance road (Rocz, KonW, JPKo, OpKo) stores into the option values,
// every other catalogued field keeps its committed text, upper-cased where
// the catalogue says so, so that every option's window can be filled and run.
#include <algorithm>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "common/dates.hpp"
#include "common/globals.hpp"
#include "common/numbers.hpp"
#include "common/pltext.hpp"
#include "fields/b_zestaw.hpp"
#include "fields/dekret_window.hpp"
#include "fields/field_catalogue.hpp"
#include "fields/okna_f3_records.hpp"
#include "fields/option_field_hooks.hpp"
#include "fields/option_values.hpp"
#include "fields/vat7_fields.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/current_option.hpp"
#include "menu/desktop_services.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"
#include "shell/status.hpp"
#include "store/chart.hpp"
#include "store/declaration.hpp"
#include "store/document_book.hpp"

namespace zel {

namespace {

constexpr std::int16_t kRocz = 42;
constexpr std::int16_t kJPKo = 44;
constexpr std::int16_t kRobo = 69;
constexpr std::int16_t kKonW = 71;
constexpr std::int16_t kDowW = 76;
constexpr std::int16_t kOpKo = 80;
constexpr std::int16_t kDaHo = 43;   // the horizon date of the settlement analyses
constexpr std::int16_t kDatN = 180;  // an optional posting date of the import
constexpr std::int16_t kDekL = 81;   // postings of the working file (document window)
constexpr std::int16_t kDekP = 82;   // free part of its document list, percent
constexpr std::int16_t kNDow = 83;

bool InDocumentWindow() {
  return OptionIndex == kDocumentOptionIndex;
}

// What a table cell shows. The document window numbers its lines down the
// rows however far the table is scrolled, and marks an empty debit account
// with "wn".
std::string ShownCell(int row, int column) {
  if (row < 0 || row >= kTableRows || column < 0 || column >= kTableColumns) return {};
  std::string cell(
      Options.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].view());
  if (InDocumentWindow() && column == kColLine) return std::to_string(row + 1);
  if (InDocumentWindow() && column == kColDebit && cell.empty()) return "wn";
  return cell;
}

bool IsHookDate(int n) { return n == kDaHo || n == kDatN; }

// DaHo starts from the stored horizon, else the period's end.
std::string HorizonText() {
  return DayToDdMmYy(DbSettings.horizon != 0 ? DbSettings.horizon : ToDate);
}

int NumberOf(const FieldSet* fields, int slot) {
  if (!fields || slot < 1 || slot > fields->SlotCount()) return 0;
  return fields->Slot(slot).number;
}

// The table cell a slot shows: row (0-based in the option values) and
// column, or false outside the table block.
bool CellOf(const FZestaw* form, const FieldSet* fields, int slot, int* row, int* column) {
  if (!form || !fields) return false;
  const TableBlock& tb = fields->Table();
  if (tb.header_slot == 0 || tb.columns == 0 || slot <= tb.header_slot || slot >= tb.footer_slot) {
    return false;
  }
  int visible_row = (slot - tb.header_slot - 1) / tb.columns;
  *column = (slot - tb.header_slot - 1) % tb.columns;
  *row = form->FirstShownRow() - 1 + visible_row;
  return *row >= 0 && *row < kTableRows && *column < kTableColumns;
}

// The F3 window kind of a field, 0 when it has none.
std::uint8_t F3Kind(int n) {
  switch (n) {
    case kKonW: return 125;
    case kDowW: return 126;
    case 219: return 127;
    case 224: case 225: return 128;
    case 227: case 228: return 129;
    case 229: return 130;
    default: return 0;
  }
}

// The F3 window of a cell of the document window's table: the account card
// on the two account columns, the currency window on the amount and the
// purchase-register window on the VAT register; 0 for the other columns.
std::uint8_t DocumentCellF3(const FZestaw* form, const FieldSet* fields, int slot) {
  int row = 0;
  int column = 0;
  if (!CellOf(form, fields, slot, &row, &column)) return 0;
  switch (column) {
    case kColDebit:
    case kColCredit: return 122;
    case kColAmount: return 123;
    case kColVat: return 124;
    default: return 0;
  }
}

// Opens the F3 window of a document cell. The account card edits the
// account typed in the cell (a symbol not yet in the chart is a new
// account). What the cell's editor holds comes back into it when the F3
// window returns after an Enter or a save, so that a value typed but not
// yet committed is not lost.
bool OpenDocumentCellF3(FZestaw* form, std::uint8_t card) {
  std::string typed = form->Editor().text;
  if (card == 122) {
    typed = UpperPl(TrimBlanks(typed));
    if (typed.empty() || typed == "WN") {
      ShowStatus("Podaj symbol konta"_w, kInfo);
      return true;
    }
    if (!UsableAccountSymbol(typed)) {
      ShowStatus("Zmień symbol"_w, kInfo);
      return true;
    }
    LoadAccount(typed);
  }
  form->SetReturnText(typed);
  Desktop().ShowKind(card, 1);
  return true;
}

bool IsDeclarationShown(int n) {
  return n == kVatTaxpayer || (n >= kVatDue && n <= kVatInputTax);
}

// Whole złoty as the declaration prints them; empty for zero.
std::string DeclarationAmountText(Amount x) {
  if (!AmountsDiffer(x, 0)) return {};
  std::string t = Amount15(x).substr(0, 12);
  const std::size_t first = t.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : t.substr(first);
}

// The text a VAT-7 window field shows from the declaration data.
std::string DeclarationFieldText(int n) {
  const DeclarationData& d = Declaration();
  auto slot = [&d](int i) { return d.amounts[static_cast<std::size_t>(i)]; };
  switch (n) {
    case kVatTaxpayer:
      if (d.Nip.empty()) return d.Naz.str();
      return Concat({d.Naz.view(), ", NIP ", d.Nip.view()}).substr(0, 50);
    case kVatDue: return DeclarationAmountText(slot(29));
    case kVatDueTax: return DeclarationAmountText(slot(30));
    case kVatSurplus: return DeclarationAmountText(slot(31));
    case kVatInput: return DeclarationAmountText(slot(32) + slot(34));
    case kVatInputTax: return DeclarationAmountText(slot(33) + slot(35));
    default: return {};
  }
}

// Reloads the declaration data for the window's period and shows the
// taxpayer and the totals again.
void ReloadDeclaration(FZestaw* form, const FieldSet* fields) {
  DeclarationPeriod(Declaration());
  LoadDeclarationData();
  if (!form || !fields) return;
  for (int slot = 1; slot <= fields->SlotCount(); ++slot) {
    const int n = fields->Slot(slot).number;
    if (IsDeclarationShown(n)) form->PutValue(slot, DeclarationFieldText(n));
  }
}

std::string MaskFieldText() {
  const AccountMaskList& m = Options.masks;
  if (m.count == 0) return {};
  if (m.count == 1) return m.masks[0].str();
  return std::string(kPlaceholder);
}

// DowW shows its one mask, or the placeholder of a longer list.
std::string DocumentFieldText() {
  const DocumentMaskList& m = Options.documents;
  if (m.count == 0) return {};
  if (m.count == 1) return m.masks[0].str();
  return std::string(kPlaceholder);
}

}  // namespace

void bZestaw::ShowOptionTexts() {
  if (form_) form_->ReloadValues();
}

bool bZestaw::nLeftTopRd(std::string_view owner, std::int16_t& left, std::int16_t& top) {
  CheckOwner(owner, "nLeftTopRd");
  if (OptionCode.empty()) return false;
  ReadSetting(false, OptionCode.str() + "LT");
  if (!SettingFound() || SettingNumber(2) <= 0) return false;
  left = SettingNumber(1);
  top = SettingNumber(2);
  return true;
}

bool bZestaw::nDrukPanel(std::string_view owner) {
  CheckOwner(owner, "nDrukPanel");
  switch (OptionIndex) {
    case 11: case 40: case 79: case 81: case 83: case 85: case 92: return false;
    default: return true;
  }
}

void bZestaw::ewDrukFis(std::string_view owner) { CheckOwner(owner, "ewDrukFis"); }
void bZestaw::ewSzukFis(std::string_view owner) { CheckOwner(owner, "ewSzukFis"); }
void bZestaw::ewZapiFis(std::string_view owner) { CheckOwner(owner, "ewZapiFis"); }
void bZestaw::SkasujZmi(std::string_view owner) { CheckOwner(owner, "SkasujZmi"); }
void bZestaw::Dokum2poA(std::string_view owner, int) { CheckOwner(owner, "Dokum2poA"); }

void bZestaw::Zmien2poA(std::string_view owner, int first_row) {
  CheckOwner(owner, "Zmien2poA");
  if (!form_ || !fields_) return;
  const TableBlock& tb = fields_->Table();
  if (tb.header_slot == 0 || tb.columns == 0) return;
  for (int r = 0; r < tb.visible_rows; ++r) {
    for (int c = 0; c < tb.columns; ++c) {
      int slot = tb.header_slot + 1 + r * tb.columns + c;
      if (slot >= tb.footer_slot) return;
      form_->PutValue(slot, ShownCell(first_row - 1 + r, c));
    }
  }
}

void bZestaw::nZmien2poA(std::string_view owner, int slot) {
  CheckOwner(owner, "nZmien2poA");
  if (!form_) return;
  int row = 0;
  int column = 0;
  if (CellOf(form_, fields_, slot, &row, &column)) {
    form_->PutValue(slot, ShownCell(row, column));
    return;
  }
  switch (NumberOf(fields_, slot)) {
    case kDekL:
      if (InDocumentWindow()) {
        form_->PutValue(slot, std::to_string(WorkingBook().Postings()));
        return;
      }
      break;
    case kDekP:
      if (InDocumentWindow()) {
        form_->PutValue(slot, std::to_string(WorkingBook().FreePercent()));
        return;
      }
      break;
    default:
      break;
  }
  switch (NumberOf(fields_, slot)) {
    case kRocz: form_->PutValue(slot, DbSettings.annual_journal.view()); return;
    case kRobo: form_->PutValue(slot, DbSettings.working_journal.view()); return;
    case kKonW: form_->PutValue(slot, MaskFieldText()); return;
    case kDowW: form_->PutValue(slot, DocumentFieldText()); return;
    case kJPKo: form_->PutValue(slot, Options.with_jpk ? "T" : "N"); return;
    case kOpKo: form_->PutValue(slot, std::string(1, DbSettings.opis_kont)); return;
    case kDaHo: form_->PutValue(slot, HorizonText()); return;
    case kVatTaxpayer:
      // Showing the taxpayer reads the declaration data for the period.
      DeclarationPeriod(Declaration());
      LoadDeclarationData();
      form_->PutValue(slot, DeclarationFieldText(kVatTaxpayer));
      return;
    case kVatDue: case kVatDueTax: case kVatSurplus: case kVatInput: case kVatInputTax:
      form_->PutValue(slot, DeclarationFieldText(NumberOf(fields_, slot)));
      return;
    default: {
      const int number = NumberOf(fields_, slot);
      if (OptionFieldHooks* hooks = OptionFieldHooksOf(OptionIndex)) {
        // The slots of one number count from the first of them.
        int row = 0;
        for (int s = fields_->FindSlot(static_cast<std::int16_t>(number)); s > 0 && s < slot;
             s = fields_->FindSlot(static_cast<std::int16_t>(number), s + 1)) {
          ++row;
        }
        std::string shown;
        if (hooks->Shown(number, row, &shown)) {
          form_->PutValue(slot, shown);
          return;
        }
      }
      form_->PutValue(slot, OptionText(number));
      return;
    }
  }
}

std::string bZestaw::nAutomEdit(std::string_view owner, int) {
  CheckOwner(owner, "nAutomEdit");
  return {};
}

std::string bZestaw::nUstawWzor(std::string_view owner, int slot) {
  CheckOwner(owner, "nUstawWzor");
  switch (NumberOf(fields_, slot)) {
    case kDaHo: return HorizonText();
    case kDatN: return DayToDdMmYy(Today);
    default: return {};
  }
}

bool bZestaw::OznaczAqua(std::string_view owner, int slot) {
  CheckOwner(owner, "OznaczAqua");
  if (InDocumentWindow() && DocumentCellF3(form_, fields_, slot) != 0) return true;
  const FieldInfo* info = FindField(static_cast<std::int16_t>(NumberOf(fields_, slot)));
  return info && info->f3_window;
}

bool bZestaw::ZmieNaDuze(std::string_view owner, int slot) {
  CheckOwner(owner, "ZmieNaDuze");
  const FieldInfo* info = FindField(static_cast<std::int16_t>(NumberOf(fields_, slot)));
  return info && info->upper;
}

void bZestaw::nZmianEdit(std::string_view owner, int slot, std::string& text) {
  CheckOwner(owner, "nZmianEdit");
  if (IsHookDate(NumberOf(fields_, slot))) text = DigitsOnly(text, nullptr);
}

void bZestaw::nUzupeEdit(std::string_view owner, int slot, std::string& value) {
  CheckOwner(owner, "nUzupeEdit");
  int row = 0;
  int column = 0;
  if (CellOf(form_, fields_, slot, &row, &column)) {
    // A cell keeps as many characters as its column is wide.
    const std::size_t width =
        std::min<std::size_t>(fields_->Slot(slot).max_length, kSlotValueCapacity);
    if (width > 0 && value.size() > width) value.resize(width);
    return;
  }
  switch (NumberOf(fields_, slot)) {
    case kJPKo:
      // A yes/no answer: "T" for yes, anything else is no.
      if (!value.empty()) value = (value[0] == 'T' || value[0] == 't') ? "T" : "N";
      return;
    case kOpKo:
      if (!value.empty()) {
        char c = value[0];
        if (c != 'n') c = UpperPl(std::string(1, c))[0];
        value = std::string_view("PONHBn").find(c) != std::string_view::npos ? std::string(1, c) : "N";
      }
      return;
    case kRocz:
    case kRobo:
      if (value.size() > 8) value.resize(8);
      return;
    case kDaHo:
    case kDatN: {
      // Completed as the window's own dates are, from the field's template.
      DateCompletion d = CompleteDate(value, form_ ? form_->Template().view() : std::string_view());
      if (d.bad && form_) form_->ValueWarning("Błędna postać daty"_w);
      value = d.value;
      return;
    }
    default:
      if (value.size() > 50) value.resize(50);
      return;
  }
}

void bZestaw::nEdit2zmie(std::string_view owner, int slot, bool) {
  CheckOwner(owner, "nEdit2zmie");
  if (!form_ || !fields_ || slot < 1 || slot > fields_->SlotCount()) return;
  int row = 0;
  int column = 0;
  if (CellOf(form_, fields_, slot, &row, &column)) {
    Options.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = form_->RowValue(column);
    return;
  }
  std::string_view value = fields_->Slot(slot).value.view();
  switch (NumberOf(fields_, slot)) {
    case kRocz: DbSettings.annual_journal = value; return;
    case kRobo:
      DbSettings.working_journal = value;
      if (InDocumentWindow()) {
        DekretWorkFileCommitted();
        form_->ShowValuesAgain(true);
      }
      return;
    case kNDow:
      SetOptionText(kNDow, value);
      if (InDocumentWindow()) {
        DekretNumberCommitted(value);
        form_->ShowValuesAgain(true);
      }
      return;
    case kKonW:
      // The placeholder stands for a list edited in its own window: kept.
      if (value == kPlaceholder) return;
      Options.masks.Clear();
      if (!value.empty()) Options.masks.Add(value);
      return;
    case kDowW:
      // The placeholder stands for the list of selected documents: kept.
      if (value == kPlaceholder) return;
      Options.documents.SetFromField(value);
      SetOptionText(kDowW, value);
      return;
    case kJPKo: Options.with_jpk = value == "T"; return;
    case kOpKo: DbSettings.opis_kont = value.empty() ? 'N' : value[0]; return;
    case kDaHo:
      DbSettings.horizon = DayFromDdMmYy(value);
      SetOptionText(kDaHo, value);
      return;
    case kVatYear:
    case kVatMonth:
      SetOptionText(NumberOf(fields_, slot), value);
      ReloadDeclaration(form_, fields_);
      return;
    case kVatNumber:
      SetOptionText(kVatNumber, value);
      Declaration().number = static_cast<std::uint8_t>(std::clamp(ParseInt(value), 0, 255));
      return;
    case kVatPurpose:
      SetOptionText(kVatPurpose, value);
      Declaration().purpose = value;
      return;
    case kVatSurplus: {
      // The surplus is a typed value of the declaration: a changed one goes
      // to the declaration data as its "a" line.
      SetOptionText(kVatSurplus, value);
      DeclarationData& d = Declaration();
      const Amount typed = ParseTypedAmount(value);
      if (DeclarationPeriod(d) && AmountsDiffer(typed, d.amounts[31]) &&
          AppendDeclarationLines(DbDir.view(), TypedValueLine(d.year, d.month, 'a', typed))) {
        ReloadDeclaration(form_, fields_);
      }
      return;
    }
    default: {
      const int number = NumberOf(fields_, slot);
      SetOptionText(number, value);
      if (OptionFieldHooks* hooks = OptionFieldHooksOf(OptionIndex); hooks && hooks->Stored(number))
        ShowOptionTexts();
      return;
    }
  }
}

bool bZestaw::F3orDbKlik(std::string_view owner, int slot) {
  CheckOwner(owner, "F3orDbKlik");
  if (InDocumentWindow()) {
    if (const std::uint8_t card = DocumentCellF3(form_, fields_, slot); card != 0) {
      return OpenDocumentCellF3(form_, card);
    }
  }
  std::uint8_t kind = F3Kind(NumberOf(fields_, slot));
  if (kind == 0) return false;
  Desktop().ShowKind(kind, 1);
  return true;
}

void bZestaw::zF3powrot(std::string_view owner, int slot) {
  CheckOwner(owner, "zF3powrot");
  if (NumberOf(fields_, slot) == kKonW && form_) form_->PutValue(slot, MaskFieldText());
  if (NumberOf(fields_, slot) == kDowW && form_) form_->PutValue(slot, DocumentFieldText());
  // Back from a declaration window: its save changed the declaration data.
  const int n = NumberOf(fields_, slot);
  if (IsDeclarationShown(n) || n == kVatSignature) ReloadDeclaration(form_, fields_);
}

bool bZestaw::F4ewF5Klik(std::string_view owner, int slot, std::uint16_t key_code) {
  CheckOwner(owner, "F4ewF5Klik");
  const FieldInfo* info = FindField(static_cast<std::int16_t>(NumberOf(fields_, slot)));
  if (!info || info->f4_list == 0 || !form_) return false;
  form_->OpenList(info->f4_list, info->f4_extension ? info->f4_extension : "", key_code == kKeyF5);
  return true;
}

bool bZestaw::F4i5powrot(std::string_view owner, int) {
  CheckOwner(owner, "F4i5powrot");
  return true;
}

bool bZestaw::nRollEditP(std::string_view owner, int slot, std::uint16_t key_code) {
  CheckOwner(owner, "nRollEditP");
  OptionFieldHooks* hooks = OptionFieldHooksOf(OptionIndex);
  if (!hooks || (key_code != kKeyPageUp && key_code != kKeyPageDown)) return true;
  const int number = NumberOf(fields_, slot);
  if (!hooks->PageKey(number, key_code)) return true;
  ShowOptionTexts();
  if (form_) form_->SetEditorText(OptionText(number));
  return false;
}

bool bZestaw::nDlaOper(std::string_view owner) {
  CheckOwner(owner, "nDlaOper");
  return OptionIndex == 138;
}

int bZestaw::PuStNeGo(std::string_view owner, int) {
  CheckOwner(owner, "PuStNeGo");
  return 1;
}

bool bZestaw::nOknoKr6(std::string_view owner, int slot) {
  CheckOwner(owner, "nOknoKr6");
  int n = NumberOf(fields_, slot);
  if (n != kKonW && n != kDowW) return false;
  Desktop().ShowKind(F3Kind(n), 1);
  return true;
}

int bZestaw::EnStNeGo(std::string_view owner, int) {
  CheckOwner(owner, "EnStNeGo");
  return 1;
}

bool bZestaw::BladPola(std::string_view owner, int) {
  CheckOwner(owner, "BladPola");
  return false;
}

}  // namespace zel
