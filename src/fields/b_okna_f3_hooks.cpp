// The hooks of bOknaF3: the field set of each window code, the loading,
// completion, store and save of its record (through F3Record), Enter on an
// empty field and the hint lists of the fields.
#include <string>

#include "common/cp1250.hpp"
#include "fields/b_okna_f3.hpp"
#include "fields/okna_f3.hpp"
#include "fields/okna_f3_records.hpp"
#include "fields/zestaw_rules.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// Fields declared on the line of the field before them.
bool JoinsLine(std::uint8_t code, std::uint8_t n) {
  switch (code) {
    case 122: return n == 9 || n == 10;
    case 127:
      return n == 28 || n == 31 || n == 33 || n == 34 || n == 36 || n == 38 || n == 40 ||
             n == 41 || n == 43 || n == 44;
    case 128:
      return n == 51 || n == 53 || n == 55 || n == 59 || n == 61 || n == 63 || n == 65 || n == 67;
    case 129: return n == 71 || n == 73;
    default: return false;
  }
}

bool IsMaskLine(int n) { return n == 82 || n == 83; }

int NumberAt(const FieldSet* fields, int slot) {
  if (!fields || slot < 1 || slot > fields->SlotCount()) return 0;
  return fields->Slot(slot).number;
}

// The line (0-based) of a mask slot among the slots of its field.
int LineOf(const FieldSet* fields, int slot) {
  const int n = NumberAt(fields, slot);
  int line = 0;
  for (int s = 1; s < slot; ++s) {
    if (fields->Slot(s).number == n) ++line;
  }
  return line;
}

bool LastEditable(const FieldSet* fields, int slot) {
  for (int s = slot + 1; s <= fields->SlotCount(); ++s) {
    if (fields->Slot(s).Editable()) return false;
  }
  return true;
}

std::uint8_t CodeOf(const FOknaF3* form) { return form ? form->Code() : 0; }

}  // namespace

bool bOknaF3::nMaOkna(std::string_view owner, FieldSet& fields) {
  CheckOwner(owner, "nMaOkna");
  const std::uint8_t code = CodeOf(form_);
  const std::vector<F3FieldInfo>& set = F3Fields(code);
  if (set.empty()) return false;
  fields.Begin(kGoSave, "", F3Title(code));
  if (code == 122) {
    fields.Caption("Dwa wstecz");
    fields.Caption("Poprzednie");
  }
  std::vector<FieldDecl> line;
  for (const F3FieldInfo& f : set) {
    if (!line.empty() && !JoinsLine(code, f.number)) {
      fields.Line(line);
      line.clear();
    }
    line.push_back({Utf8ToWin(f.caption), f.code, static_cast<std::int16_t>(f.number), f.width});
  }
  if (!line.empty()) fields.Line(line);
  if (code == 122) {
    fields.Caption("Następne"_w);
    fields.Caption("i dalsze");
  }
  // Unnamed cells and field 85 only show a value.
  fields.DisplayOnly({0, 85});
  return true;
}

bool bOknaF3::nLeToRd(std::string_view owner, std::int16_t& left, std::int16_t& top) {
  CheckOwner(owner, "nLeToRd");
  if (!form_) return false;
  Point16 p;
  if (!form_->Host().ReadPosition(F3PositionKey(form_->Code()), &p)) return false;
  left = p.left;
  top = p.top;
  return true;
}

void bOknaF3::Zm2uni(std::string_view owner) {
  CheckOwner(owner, "Zm2uni");
  record_.Open(CodeOf(form_));
}

void bOknaF3::Zm2poA(std::string_view owner, int slot) {
  CheckOwner(owner, "Zm2poA");
  if (!form_) return;
  const int n = NumberAt(fields_, slot);
  if (n == 0) {
    // An unnamed display cell shows nothing rather than the placeholder.
    form_->PutValue(slot, "");
    return;
  }
  const std::string value = IsMaskLine(n) ? record_.LineValue(LineOf(fields_, slot))
                                          : record_.Value(static_cast<std::uint8_t>(n));
  form_->PutValue(slot, value);
}

std::string bOknaF3::ewAutE(std::string_view owner, int) {
  CheckOwner(owner, "ewAutE");
  return {};
}

std::string bOknaF3::inWzor(std::string_view owner, int) {
  CheckOwner(owner, "inWzor");
  return {};
}

bool bOknaF3::zNaDuze(std::string_view owner, int slot) {
  CheckOwner(owner, "zNaDuze");
  // Document numbers are typed in upper case, as the journal keeps them.
  const int n = NumberAt(fields_, slot);
  return n == 85 || n == 82;
}

void bOknaF3::nEdChan(std::string_view owner, int slot, std::string& text) {
  CheckOwner(owner, "nEdChan");
  // The birth date is typed as digits only.
  if (NumberAt(fields_, slot) == 33) text = DigitsOnly(text, nullptr);
}

void bOknaF3::uzEdit(std::string_view owner, int slot, std::string& value) {
  CheckOwner(owner, "uzEdit");
  const int n = NumberAt(fields_, slot);
  if (n == 33) {
    if (value.empty()) return;
    DateCompletion d = CompleteDate(value, form_ ? form_->Template().view() : std::string_view());
    if (d.bad && form_) form_->ValueWarning("Błędna postać daty"_w);
    value = d.value;
    return;
  }
  std::string warning;
  value = CompleteF3Value(static_cast<std::uint8_t>(n), value, &warning);
  // An empty field has nothing to complete: no hint about first letters.
  if (!warning.empty() && !value.empty() && form_) form_->StatusMessage(warning, kWarning);
}

void bOknaF3::ed2zmi(std::string_view owner, int slot, bool) {
  CheckOwner(owner, "ed2zmi");
  const int n = NumberAt(fields_, slot);
  if (n == 0 || !fields_) return;
  const std::string value = fields_->Slot(slot).value.str();
  std::string warning;
  if (IsMaskLine(n)) {
    record_.EnterLine(static_cast<std::uint8_t>(n), LineOf(fields_, slot), value, &warning);
  } else {
    record_.Enter(static_cast<std::uint8_t>(n), value, &warning);
  }
}

int bOknaF3::eStNeGo(std::string_view owner, int slot) {
  CheckOwner(owner, "eStNeGo");
  if (!form_ || !fields_) return 1;
  const int n = NumberAt(fields_, slot);
  const bool last = LastEditable(fields_, slot);
  if (form_->Editor().text.empty()) {
    switch (n) {
      case 18: form_->OpenList(109, "", false); return -1;
      case 24: form_->OpenList(118, "", false); return -1;
      case 82:
      case 83: return 2;  // an empty mask line ends the list: saved at once
      case 84: {
        // Nothing to read: back to the first line of the list.
        const int first = fields_->FindSlot(83);
        form_->MoveCursor(first > 0 ? first : 1);
        return -1;
      }
      default: form_->StatusMessage("Pole może być puste"_w, kInfo); break;
    }
  }
  return last ? 2 : 1;
}

bool bOknaF3::F45Key(std::string_view owner, int slot, std::uint16_t key_code) {
  CheckOwner(owner, "F45Key");
  if (!form_) return false;
  const bool f5 = key_code == kKeyF5;
  switch (NumberAt(fields_, slot)) {
    case 18: form_->OpenList(109, "", f5); return true;
    case 24: form_->OpenList(118, "", f5); return true;
    case 82: form_->OpenList(100, "", f5); return true;
    case 83: form_->OpenList(107, "", f5); return true;
    case 84: form_->OpenList(80, "", f5); return true;
    default: return false;
  }
}

bool bOknaF3::nRolEdi(std::string_view owner, int, std::uint16_t) {
  CheckOwner(owner, "nRolEdi");
  return true;
}

bool bOknaF3::nTyRuch(std::string_view owner, int) {
  CheckOwner(owner, "nTyRuch");
  return true;
}

int bOknaF3::niZapis(std::string_view owner) {
  CheckOwner(owner, "niZapis");
  std::string message;
  const int in_error = record_.Save(&message);
  if (form_ && !message.empty()) form_->StatusMessage(message, in_error != 0 ? kWarning : kInfo);
  return in_error;
}

void bOknaF3::Dok2rol(std::string_view owner, int) { CheckOwner(owner, "Dok2rol"); }

}  // namespace zel
