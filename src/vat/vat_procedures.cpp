#include "vat/vat_procedures.hpp"

#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/state.hpp"
#include "vat/jpk_schemas.hpp"
#include "vat/vat7_declaration.hpp"

namespace zel {

namespace {

char Flag(int field, char empty) {
  const std::string_view v = OptionText(field);
  if (v.empty()) return empty;
  const char c = v[0];
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

VatRegisterParams VatRegisterParamsFromOptions() {
  VatRegisterParams p;
  p.kind = Flag(kFieldReZS, ' ');
  p.mask = std::string(OptionText(kFieldReGr));
  p.order = Flag(kFieldReWD, 'N');
  p.declaration = Flag(kFieldReZD, 'N');
  p.from = FromDate;
  p.to = ToDate;
  p.db_dir = DbDir.str();
  return p;
}

void RegisterVatProcedures() {
  RegisterProcedure(43, [](OptionServices& window) {
    // No rows of an earlier run may stay for the JPK button.
    RemoveJpkVatFragment();
    VatRegisterParams p = VatRegisterParamsFromOptions();
    // The JPK rows are written with every run; the JPK button assembles them.
    JpkVatWriter jpk;
    p.jpk = &jpk;
    VatRegister(p, window);
  });
  RegisterProcedure(39, [](OptionServices& window) { JpkSchemaListing(window); });
  // The VAT-7 declaration draws the same script in every run mode: shown,
  // printed or written as PDF by the viewer.
  RegisterProcedure(85, [](OptionServices& window) { RunDeclarationOption(window); });
}

}  // namespace zel
