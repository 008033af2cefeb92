#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace zentora {

// What a project file lists: the bare file names of the pictures and the
// sounds, in order. An empty name stands for an entry that names no usable
// file (no RelativePath, or one that reduces to nothing); it keeps its place.
struct ProjectFileContents {
  std::vector<std::string> images;
  std::vector<std::string> waves;
};

// Project files larger than this are refused before they are read.
inline constexpr std::uint64_t kMaxProjectFileBytes = 64ull << 20;

// Parses a project file held in memory. Any encoding the XML parser detects
// by itself is accepted; nothing outside the bytes is ever read (no network,
// no external entities, no DTD loading). `Image` and `Wave` elements count
// wherever they stand, in document order.
Result<ProjectFileContents> ParseProjectFile(std::string_view bytes);
Result<ProjectFileContents> ReadProjectFile(const std::filesystem::path& path);

// The bytes of a project file listing these names: the UTF-8 declaration,
// then the skeleton with no whitespace between elements, then a line end.
// Fails for a name that XML cannot carry (invalid UTF-8, control characters).
Result<std::string> SerializeProjectFile(const ProjectFileContents& contents);

// The file name that a RelativePath value stands for: the text after its
// last '/' or '\'. Empty when that is empty, "." or "..".
std::string EntryNameFromRelativePath(std::string_view relativePath);

}  // namespace zentora
