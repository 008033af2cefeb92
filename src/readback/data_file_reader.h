#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "base/file_descriptor.h"
#include "base/result.h"

namespace zentora {

// image.bin or wave.bin opened for reading blocks by offset. Taken without a
// lock: inspecting must never make a compile or a download fail, and the
// compilers replace their files rather than rewrite them.
class CDataFileReader {
 public:
  CDataFileReader() = default;

  // Regular files only.
  static Result<CDataFileReader> Open(const std::filesystem::path& path);

  // Fills `bytes` from `offset`; what lies past the end of the file reads as
  // zero. The caller sizes `bytes`, so nothing here allocates from a field.
  Status ReadPadded(std::uint64_t offset, std::span<std::uint8_t> bytes) const;

 private:
  explicit CDataFileReader(CFileDescriptor fd) : fd_(std::move(fd)) {}
  CFileDescriptor fd_;
};

}  // namespace zentora
