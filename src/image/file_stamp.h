#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace zentora {

// A file's identity on disk as far as its thumbnail cares: a rewrite, an
// edit in another program or a rename over it changes at least one of these.
struct FileStamp {
  std::int64_t modifiedNs = 0;
  std::int64_t size = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;

  // The modification time in whole seconds, as stat gives it.
  std::int64_t ModifiedSeconds() const;
};

// nullopt when there is no file at path.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

}  // namespace zentora
