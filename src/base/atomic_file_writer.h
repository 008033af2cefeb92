#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "base/file_descriptor.h"
#include "base/result.h"

namespace zentora {

// Writes a file so that readers see either the old file or the whole new one:
// the bytes go to a temporary file in the target's folder, which replaces the
// target only on Commit(). Until then, and if anything fails, the target is
// untouched and the temporary file is removed. The new file keeps the mode of
// the one it replaces, and a symbolic link is followed: its target is
// replaced and the link stays.
class CAtomicFileWriter {
 public:
  // With a mode, the new file gets it (before the umask) whatever the old
  // one had.
  static Result<CAtomicFileWriter> Begin(const std::filesystem::path& path,
                                         std::optional<unsigned> mode = std::nullopt);

  CAtomicFileWriter(CAtomicFileWriter&& other) noexcept;
  CAtomicFileWriter& operator=(CAtomicFileWriter&&) = delete;
  CAtomicFileWriter(const CAtomicFileWriter&) = delete;
  CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;
  ~CAtomicFileWriter();

  Status Write(std::span<const std::uint8_t> bytes);
  // Flushes the data to disk and renames the temporary file over the target.
  Status Commit();

 private:
  CAtomicFileWriter(CFileDescriptor fd, std::filesystem::path temp, std::filesystem::path target);
  void Discard();

  CFileDescriptor fd_;
  std::filesystem::path temp_;
  std::filesystem::path target_;
};

// The whole write in one call.
Status WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                           std::optional<unsigned> mode = std::nullopt);

}  // namespace zentora
