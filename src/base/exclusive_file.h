#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "base/file_descriptor.h"
#include "base/result.h"

namespace zentora {

// A file held for the length of one operation with an exclusive advisory
// lock, so that two of our own components never write or send the same file
// at once (a resource file being compiled while the downloader reads it, a
// font library being written while the viewer holds it).
class CExclusiveFile {
 public:
  // Creates the file, or truncates an existing one once the lock is held.
  // A file that someone else holds is not touched. Anything but a regular
  // file (a folder, a FIFO, a device) is refused without waiting.
  static Result<CExclusiveFile> Create(const std::filesystem::path& path);
  static Result<CExclusiveFile> OpenForReading(const std::filesystem::path& path);
  // Opens an existing file for writing without changing it.
  static Result<CExclusiveFile> OpenExisting(const std::filesystem::path& path);

  CExclusiveFile(CExclusiveFile&& other) noexcept = default;
  CExclusiveFile& operator=(CExclusiveFile&& other) noexcept = default;
  CExclusiveFile(const CExclusiveFile&) = delete;
  CExclusiveFile& operator=(const CExclusiveFile&) = delete;
  ~CExclusiveFile() = default;

  // Writes every byte, retrying short writes.
  Status Write(std::span<const std::uint8_t> bytes);
  // Reads up to bytes.size() bytes; returns how many were read (0 at the end).
  Result<std::size_t> Read(std::span<std::uint8_t> bytes);
  // Reads from an offset without moving the file position, as many bytes as
  // the file has there; fewer than asked only at the end of the file.
  Result<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes);
  Result<std::uint64_t> Size() const;
  // Flushes the written bytes to the disk.
  Status Sync();
  // Asks the system to start writing a range to the disk now, without
  // waiting: a later Sync then finds little left to do. A hint only; Sync
  // reports what failed.
  void StartWriteback(std::uint64_t offset, std::uint64_t length);
  // Closing reports errors that the kernel kept back until then.
  Status Close() { return fd_.Close(); }
  bool IsOpen() const { return fd_.IsOpen(); }

 private:
  explicit CExclusiveFile(CFileDescriptor fd) : fd_(std::move(fd)) {}
  CFileDescriptor fd_;
};

// Writes every byte to a descriptor, retrying short and interrupted writes.
Status WriteAllToDescriptor(int fd, std::span<const std::uint8_t> bytes);
// Reads up to bytes.size() bytes from the descriptor's position, retrying an
// interrupted read; how many were read, 0 at the end of the file.
Result<std::size_t> ReadFromDescriptor(int fd, std::span<std::uint8_t> bytes);
// Reads from offset without moving the position until bytes is full or the
// file ends; how many were read.
Result<std::size_t> ReadFromDescriptorAt(int fd, std::uint64_t offset,
                                         std::span<std::uint8_t> bytes);

}  // namespace zentora
