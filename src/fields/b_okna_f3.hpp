// bOknaF3: the business module of the F3 window (FOknaF3), which edits the
// small record behind one field of a parameter window. Its 16 hooks follow
// the convention of menu/hooks.hpp; the selector is the F3 window code
// (121..130) and the slot's field number.
//
// The module keeps the working copy of the window's record (F3Record); the
// hooks are defined in b_okna_f3_hooks.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fields/field_set.hpp"
#include "fields/okna_f3_records.hpp"
#include "menu/hooks.hpp"

namespace zel {

class FOknaF3;  // the F3 window form

class bOknaF3 : public BusinessModule {
 public:
  bOknaF3() : BusinessModule("bOknaF3") {}
  void Attach(FOknaF3* form, FieldSet* fields) {
    form_ = form;
    fields_ = fields;
  }
  FOknaF3* Form() const { return form_; }
  FieldSet* Fields() const { return fields_; }
  // The working copy of the record being edited.
  F3Record& Record() { return record_; }

  bool nMaOkna(std::string_view owner, FieldSet& fields);  // false: code unknown
  bool nLeToRd(std::string_view owner, std::int16_t& left, std::int16_t& top);
  void Zm2uni(std::string_view owner);                // record into the working copy
  void Zm2poA(std::string_view owner, int slot);      // value into the panel
  std::string ewAutE(std::string_view owner, int slot);
  std::string inWzor(std::string_view owner, int slot);
  bool zNaDuze(std::string_view owner, int slot);
  void nEdChan(std::string_view owner, int slot, std::string& text);
  void uzEdit(std::string_view owner, int slot, std::string& value);
  void ed2zmi(std::string_view owner, int slot, bool backwards);
  int eStNeGo(std::string_view owner, int slot);      // 0 stay, 1 next, 2 Go
  bool F45Key(std::string_view owner, int slot, std::uint16_t key_code);
  bool nRolEdi(std::string_view owner, int slot, std::uint16_t key_code);
  bool nTyRuch(std::string_view owner, int slot);     // false: the cursor may not move
  int niZapis(std::string_view owner);                // field number in error, 0 = saved
  void Dok2rol(std::string_view owner, int slot);

 private:
  FOknaF3* form_ = nullptr;
  FieldSet* fields_ = nullptr;
  F3Record record_;
};

}  // namespace zel
