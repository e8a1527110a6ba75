// Journal file names and the shared opening of record files.
//
// A journal file is DbDir + name + ".DFX". OpenShared is the protected open
// of the shell applied to a record file: the requested sharing mode, retried
// while another workstation holds the file, with `tag` naming the caller in
// the countdown. When it fails the caller abandons its operation quietly; the
// last busy message stays in the status line.
#pragma once

#include <string>
#include <string_view>

#include "platform/file.hpp"

namespace zel {

// DbDir + name + ".DFX". Held at capacity 250: a path cut to 30 characters
// would name another file.
std::string JournalPath(std::string_view name);

// Modes: Share::kDenyWrite read-only with writers denied (statements),
// Share::kExclusive read-write exclusive (chart appends), Share::kDenyNone
// read-write shared (the account card). The file must exist.
bool OpenShared(File& file, std::string_view path, Share mode, std::string_view tag);

}  // namespace zel
