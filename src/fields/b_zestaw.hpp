// bZestaw: the business module of the parameter window. The window (FZestaw)
// asks it, through 28 hooks named as below, everything that depends on the
// option or the field: the field set, positions, values, completion, lists,
// Enter decisions, pre-run checks and the run itself.
//
// Every hook takes the owner name first and starts with CheckOwner: a wrong
// owner is reported in the status line and the hook answers normally.
// Slots are 1-based indices into the window's FieldSet; the selectors are
// OptionIndex and the slot's field number.
//
// Who defines what: nieMaOpcji (option field sets) and WykonaOpc (dispatch to
// the option procedures) are defined in b_zestaw.cpp; every other hook is
// defined with the parameter window in b_zestaw_hooks*.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/field_set.hpp"
#include "fields/option_services.hpp"
#include "menu/hooks.hpp"

namespace zel {

class FZestaw;  // the parameter window form

class bZestaw : public BusinessModule {
 public:
  bZestaw() : BusinessModule("bZestaw") {}

  // The parameter window attaches itself before calling any hook.
  void Attach(FZestaw* form, FieldSet* fields) {
    form_ = form;
    fields_ = fields;
  }
  FZestaw* Form() const { return form_; }
  FieldSet* Fields() const { return fields_; }

  // Building the window.
  bool nieMaOpcji(std::string_view owner, FieldSet& fields);  // false: no field set
  bool nLeftTopRd(std::string_view owner, std::int16_t& left, std::int16_t& top);
  bool nDrukPanel(std::string_view owner);  // true: the print bar is hidden
  void ewDrukFis(std::string_view owner);   // before the printer font window is declared
  void ewSzukFis(std::string_view owner);   // end of building
  void ewZapiFis(std::string_view owner);   // saving the printer font
  void SkasujZmi(std::string_view owner);   // Go with entry kind 1

  // Values and cursor moves.
  void Dokum2poA(std::string_view owner, int slot);
  void Zmien2poA(std::string_view owner, int first_row);  // reload the visible table rows
  void nZmien2poA(std::string_view owner, int slot);      // put the slot's value into its panel
  std::string nAutomEdit(std::string_view owner, int slot);  // "" = no automatic value
  std::string nUstawWzor(std::string_view owner, int slot);  // the template text
  bool OznaczAqua(std::string_view owner, int slot);         // true: the field has an F3 window
  bool ZmieNaDuze(std::string_view owner, int slot);         // true: typed in upper case
  void nZmianEdit(std::string_view owner, int slot, std::string& text);  // typing filter
  void nUzupeEdit(std::string_view owner, int slot, std::string& value);  // completion
  void nEdit2zmie(std::string_view owner, int slot, bool backwards);      // store the value

  // Keys and auxiliary windows.
  bool F3orDbKlik(std::string_view owner, int slot);  // true: an F3 window was opened
  void zF3powrot(std::string_view owner, int slot);
  bool F4ewF5Klik(std::string_view owner, int slot, std::uint16_t key_code);  // true: handled
  bool F4i5powrot(std::string_view owner, int slot);
  bool nRollEditP(std::string_view owner, int slot, std::uint16_t key_code);  // true: window moves
  bool nDlaOper(std::string_view owner);  // true: runs at once in operator start mode

  // Enter and pre-run checks. Enter answers: 0 stay, 1 next slot, 2 run,
  // 3 no rule for the case.
  int PuStNeGo(std::string_view owner, int slot);  // Enter on an empty value
  bool nOknoKr6(std::string_view owner, int slot);  // Enter on "……": true = handled
  int EnStNeGo(std::string_view owner, int slot);   // Enter on a value
  bool BladPola(std::string_view owner, int slot);  // true: the field is in error

  // Runs the current option's procedure (option_dispatch.hpp).
  void WykonaOpc(std::string_view owner, OptionServices& window, FieldSet& fields);

  // Shows every field's value again (after an option's own field hooks or
  // its procedure changed them), the editor's too.
  void ShowOptionTexts();

 private:
  FZestaw* form_ = nullptr;
  FieldSet* fields_ = nullptr;
};

// The whole field-set step of building the window: the shell's own field
// sets for the shell indices, nieMaOpcji for the others, and for an index
// without a field set the title ".. - opcja niedostępna" (OptionKey and
// OptionCaption become ".." and "opcja niedostępna") with only "Zamknij".
// Answers whether a field set was found.
bool DeclareOptionFields(FieldSet& fields, bZestaw& module);

}  // namespace zel
