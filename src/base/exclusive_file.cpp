#include "base/exclusive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "base/system_error_text.h"

namespace zentora {

std::string ErrnoMessage(int error_number) {
  return SystemErrorText(error_number);
}

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

namespace {

// Only regular files: a folder would open for reading and fail later, and a
// FIFO would block the open itself, so the open does not wait and anything
// else is refused before it is used.
Result<int> OpenLocked(const std::filesystem::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return Status::Failure(ErrnoMessage(error));
  }
  if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
      ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Failure(ErrnoMessage(error));
  }
  return fd;
}

}  // namespace

Result<CExclusiveFile> CExclusiveFile::Create(const std::filesystem::path& path) {
  // O_TRUNC would empty a file that another holder has locked, so the
  // truncation waits until the lock is ours.
  Result<int> fd = OpenLocked(path, O_RDWR | O_CREAT);
  if (!fd) {
    return fd.status();
  }
  CExclusiveFile file(fd.value());
  if (::ftruncate(file.fd_, 0) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return file;
}

Result<CExclusiveFile> CExclusiveFile::OpenForReading(const std::filesystem::path& path) {
  Result<int> fd = OpenLocked(path, O_RDONLY);
  if (!fd) {
    return fd.status();
  }
  return CExclusiveFile(fd.value());
}

CExclusiveFile::CExclusiveFile(CExclusiveFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

CExclusiveFile& CExclusiveFile::operator=(CExclusiveFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

CExclusiveFile::~CExclusiveFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

Status CExclusiveFile::Write(std::span<const std::uint8_t> bytes) {
  return WriteAllToDescriptor(fd_, bytes);
}

Result<std::size_t> CExclusiveFile::Read(std::span<std::uint8_t> bytes) {
  for (;;) {
    const ssize_t got = ::read(fd_, bytes.data(), bytes.size());
    if (got >= 0) {
      return static_cast<std::size_t>(got);
    }
    if (errno != EINTR) {
      return Status::Failure(ErrnoMessage(errno));
    }
  }
}

Result<std::size_t> CExclusiveFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
  std::size_t total = 0;
  while (total < bytes.size()) {
    const ssize_t got = ::pread(fd_, bytes.data() + total, bytes.size() - total,
                                static_cast<off_t>(offset + total));
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

Result<std::uint64_t> CExclusiveFile::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return static_cast<std::uint64_t>(info.st_size);
}

Status CExclusiveFile::Close() {
  const int fd = std::exchange(fd_, -1);
  if (fd >= 0 && ::close(fd) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return Status::Ok();
}

}  // namespace zentora
