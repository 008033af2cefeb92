#pragma once

#include <filesystem>

#include "base/result.h"

namespace zentora {

// Brings a file the user picked into the working folder, as the add
// commands do: copied under its own name, replacing a file of that name. A
// file that already lies there is its own copy. Returns the copy's path.
// Names that are not valid UTF-8, or that hold a backslash, are refused: a
// project file could not carry them.
Result<std::filesystem::path> ImportFileIntoFolder(const std::filesystem::path& source,
                                                   const std::filesystem::path& folder);

// True when a file lies at `destination` that is neither `source` itself
// nor a copy of its bytes: copying would lose it. A missing destination, or
// a source that is no regular file, is no such case.
bool WouldReplaceOtherFile(const std::filesystem::path& source,
                           const std::filesystem::path& destination);

// True when the file name is valid UTF-8 with no control characters and no
// backslash.
bool IsStorableFileName(const std::filesystem::path& name);

}  // namespace zentora
