// The printed forms' templates the program ships (viewer scripts such as the
// VAT-7 pages) live in the data folder's "templates"; the options read them
// from the Zel folder's shared "!", where the firm may also keep its own.
#pragma once

#include <string>

namespace zel {

// Copies every template of DataFolder()/templates into "!\" where it is
// missing; a template already there is left as it is. False with the reason
// (Windows-1250) when the data folder has none or a copy cannot be written.
bool InstallFormTemplates(std::string* err);

}  // namespace zel
