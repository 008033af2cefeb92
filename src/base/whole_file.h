#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/result.h"

namespace zentora {

// Reads a whole file into memory, refusing files larger than maxBytes (the
// check happens before anything is allocated).
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes);

}  // namespace zentora
