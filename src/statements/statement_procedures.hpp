// The statements' option procedures as the option dispatch runs them: each
// reads its parameters from the option values and settings the parameter
// window stored, and runs inside the window's run bracket.
//
// src/app calls RegisterStatementProcedures once at start. The JPK_KR writer
// lives in the VAT library, which the statements do not link: the caller
// passes a factory for it (without one, option ZOiSa writes no fragments).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "statements/jpk_kr_sink.hpp"
#include "statements/trial_balance.hpp"

namespace zel {

using JpkKrSinkFactory = std::function<std::unique_ptr<JpkKrSink>()>;

// Registers ZOiSa, SyBBO, SynMi, Anali and ZOiSN (indices 55, 56, 58, 59, 65)
// and the journals PoKsi, DzieP, DzieS (40, 41, 42).
void RegisterStatementProcedures(JpkKrSinkFactory jpk_factory = {});

// The parameters of a trial-balance kind from the stored values: the annual
// file (ZbRoczny), the account masks (KonW), BoDate, FromDate, ToDate, the
// depths (GlebPods) and the description mode (OpisKont).
TrialBalanceParams TrialBalanceParamsFromOptions(TrialBalanceKind kind);
// The account masks typed into the option's KonW list, empty ones left out.
std::vector<std::string> TypedAccountMasks();

// Removes the JPK_KR fragment files of this workstation (TempName "ZOiS",
// "Dzie", "KoZa"): a ZOiSa run that writes no JPK leaves none behind.
void RemoveJpkFragments();

}  // namespace zel
