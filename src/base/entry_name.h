#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace zentora {

// How a compiler's line names one entry of its list: by the file's name, or,
// where the entry names no file (an empty or folder-only path), by its
// position in the list counted from 1, so that the user can still find it.
std::string EntryName(const std::filesystem::path& path, std::size_t index);

}  // namespace zentora
