#pragma once

#include <filesystem>

#include "base/result.h"

namespace zentora {

// Copies `from` over `to` so that `to` is either the old file or the whole
// copy, never a half-written mix. Copying a file onto itself (under any
// spelling of its path) does nothing and succeeds.
Status CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace zentora
