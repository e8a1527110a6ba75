// The VAT options as the option dispatch runs them: the VAT register ReVat
// (43, "DD") and the schema listing ZaXSD (39, "CO"). Each reads its
// parameters from the option values and the shell state the parameter window
// stored, and runs inside the window's run bracket. src/app calls
// RegisterVatProcedures once at start.
#pragma once

#include "vat/vat_register.hpp"

namespace zel {

void RegisterVatProcedures();

// The register's parameters from the stored values: ReZS, ReGr, ReWD, ReZD,
// FromDate, ToDate and DbDir (empty ReWD and ReZD read as "N").
VatRegisterParams VatRegisterParamsFromOptions();

}  // namespace zel
