#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

#include "base/result.h"

namespace zentora {

// Why a path of this mode is not a file the program reads or writes, in the
// words the user reads: a folder, a named pipe, a device, a socket. Meant
// for modes that are not regular files.
std::string NotRegularFileReason(mode_t mode);

// Whether an output may be written at path: a missing path or a regular
// file (through any links) may; anything else is named as what it is. An
// atomic replacement would otherwise put a file in place of a pipe or a
// device node, or fail late with the system's own words.
Status CheckOutputKind(const std::filesystem::path& path);

}  // namespace zentora
