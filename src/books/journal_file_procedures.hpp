// The options that post, split and change journal files and write the
// annual file as a workbook, registered with the option table.
#pragma once

namespace zel {

void RegisterJournalFileProcedures();

}  // namespace zel
