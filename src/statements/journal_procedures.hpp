// The journals' option procedures: PoKsi, DzieP and DzieS (indices 40, 41,
// 42) read the working file (ZRoboczy), the document masks and range (DowW,
// DoOd, DoDo) and the period (FromDate, ToDate) the parameter window stored.
// RegisterStatementProcedures registers them.
#pragma once

#include "statements/journal.hpp"

namespace zel {

JournalParams JournalParamsFromOptions(JournalKind kind);
void RegisterJournalProcedures();

}  // namespace zel
