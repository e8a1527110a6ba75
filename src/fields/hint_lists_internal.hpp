// Shared by the hint-list builders (hint_lists*.cpp) only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fields/hint_lists.hpp"

namespace zel {

std::string TrimSpaces(std::string_view s);
// value + " × " + description, cut to 250.
std::string Entry(std::string_view value, std::string_view description);

// The documents of journal file `file_name` (DbDir + name + ".DFX"), one
// entry each in document-number order: first date, postings, debit and
// credit totals, invoice number, due date and description of its first
// posting. One read, documents found through a hash table, entries written
// out only when shown. With a filter only the entries containing it.
// *status counts postings and documents. Null when the file is missing or
// cannot be opened, with *status saying which.
std::unique_ptr<HintEntries> DocumentEntries(std::string_view file_name,
                                             std::string_view folded_filter, std::string* status,
                                             const std::function<bool()>& stop);

// The lists built from files (text files, folders, journal files). True
// when the kind is one of them; the builder keeps only the lines containing
// `folded_filter` (ListFold'ed; empty keeps all) and stops at kListCeiling.
bool BuildFileList(const ListRequest& request, HintList& list, std::vector<std::string>& lines,
                   std::string_view folded_filter, const std::function<bool()>& stop);

}  // namespace zel
