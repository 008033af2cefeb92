#pragma once

#include <fcntl.h>

#include <filesystem>

#include "base/file_descriptor.h"
#include "base/result.h"

namespace zentora {

// Opens a file the user named, for reading, without waiting on it: a FIFO
// would block the open itself until someone writes to it, and a device or
// folder would feed a reader endlessly or fail later, so anything but a
// regular file is refused before a byte is read. Links are followed. On
// success the descriptor is blocking again (and close-on-exec). flags and
// mode are open(2)'s, for callers that write or create.
Result<CFileDescriptor> OpenRegularFile(const std::filesystem::path& path, int flags = O_RDONLY,
                                        mode_t mode = 0);

}  // namespace zentora
