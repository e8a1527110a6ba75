// Shared by the hint-list builders (hint_lists*.cpp) only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fields/hint_lists.hpp"

namespace zel {

std::string TrimSpaces(std::string_view s);
// value + " × " + description, cut to 250.
std::string Entry(std::string_view value, std::string_view description);

// The documents of journal file `file_name` (DbDir + name + ".DFX"), one
// entry each in document-number order, aggregated in one read through a
// hash map; *status counts postings and documents. False when the file is
// missing or cannot be opened.
bool DocumentList(std::string_view file_name, std::vector<std::string>& lines, std::string* status,
                  const std::function<bool()>& stop);

// The lists built from files (text files, folders, journal files). True
// when the kind is one of them; the builder keeps only the lines containing
// `folded_filter` (ListFold'ed; empty keeps all) and stops at kListCeiling.
bool BuildFileList(const ListRequest& request, HintList& list, std::vector<std::string>& lines,
                   std::string_view folded_filter, const std::function<bool()>& stop);

}  // namespace zel
