#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "base/file_descriptor.h"
#include "base/result.h"
#include "base/temporary_registry.h"

namespace zentora {

// Writes a file so that readers see either the old file or the whole new one:
// the bytes go to a temporary file in the target's folder, which replaces the
// target only on Commit(). Until then, and if anything fails, the target is
// untouched and the temporary file is removed. The new file keeps the mode of
// the one it replaces, and a symbolic link is followed: its target is
// replaced and the link stays. The temporary file's name carries the
// process id, so that the first writer of a later run into the same folder
// can remove what a process that died left there.
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
  CTemporaryRegistration registration_;
};

// Removes the temporary files that writers of processes no longer running
// left in `folder`; those of live processes stay.
void RemoveDeadWritersTemporaries(const std::filesystem::path& folder);

// The whole write in one call.
Status WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                           std::optional<unsigned> mode = std::nullopt);

}  // namespace zentora
