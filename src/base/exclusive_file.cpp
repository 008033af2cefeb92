#include "base/exclusive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/regular_file.h"
#include "base/system_error_text.h"

namespace zentora {

Status WriteAllToDescriptor(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Status::Failure(ErrnoMessage(errno));
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return Status::Ok();
}

Result<std::size_t> ReadFromDescriptor(int fd, std::span<std::uint8_t> bytes) {
  for (;;) {
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    if (got >= 0) {
      return static_cast<std::size_t>(got);
    }
    if (errno != EINTR) {
      return Status::Failure(ErrnoMessage(errno));
    }
  }
}

Result<std::size_t> ReadFromDescriptorAt(int fd, std::uint64_t offset,
                                         std::span<std::uint8_t> bytes) {
  std::size_t total = 0;
  while (total < bytes.size()) {
    const ssize_t got =
        ::pread(fd, bytes.data() + total, bytes.size() - total, static_cast<off_t>(offset + total));
    if (got == 0) {
      break;
    }
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Status::Failure(ErrnoMessage(errno));
    }
    total += static_cast<std::size_t>(got);
  }
  return total;
}

namespace {

// Only regular files, as OpenRegularFile opens them; a file someone else
// holds is refused at once.
Result<CFileDescriptor> OpenLocked(const std::filesystem::path& path, int flags) {
  Result<CFileDescriptor> fd = OpenRegularFile(path, flags, 0666);
  if (fd && ::flock(fd.value().Get(), LOCK_EX | LOCK_NB) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return fd;
}

}  // namespace

Result<CExclusiveFile> CExclusiveFile::Create(const std::filesystem::path& path) {
  // O_TRUNC would empty a file that another holder has locked, so the
  // truncation waits until the lock is ours.
  Result<CFileDescriptor> fd = OpenLocked(path, O_RDWR | O_CREAT);
  if (!fd) {
    return fd.status();
  }
  CExclusiveFile file(std::move(fd).value());
  if (::ftruncate(file.fd_.Get(), 0) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return file;
}

Result<CExclusiveFile> CExclusiveFile::OpenForReading(const std::filesystem::path& path) {
  Result<CFileDescriptor> fd = OpenLocked(path, O_RDONLY);
  if (!fd) {
    return fd.status();
  }
  return CExclusiveFile(std::move(fd).value());
}

Result<CExclusiveFile> CExclusiveFile::OpenExisting(const std::filesystem::path& path) {
  Result<CFileDescriptor> fd = OpenLocked(path, O_RDWR);
  if (!fd) {
    return fd.status();
  }
  return CExclusiveFile(std::move(fd).value());
}

Status CExclusiveFile::Sync() {
  if (::fsync(fd_.Get()) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return Status::Ok();
}

void CExclusiveFile::StartWriteback(std::uint64_t offset, std::uint64_t length) {
  ::sync_file_range(fd_.Get(), static_cast<off64_t>(offset), static_cast<off64_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

Status CExclusiveFile::Write(std::span<const std::uint8_t> bytes) {
  return WriteAllToDescriptor(fd_.Get(), bytes);
}

Result<std::size_t> CExclusiveFile::Read(std::span<std::uint8_t> bytes) {
  return ReadFromDescriptor(fd_.Get(), bytes);
}

Result<std::size_t> CExclusiveFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
  return ReadFromDescriptorAt(fd_.Get(), offset, bytes);
}

Result<std::uint64_t> CExclusiveFile::Size() const {
  struct stat info {};
  if (::fstat(fd_.Get(), &info) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace zentora
