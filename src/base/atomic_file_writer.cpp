#include "base/atomic_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "base/exclusive_file.h"

namespace zentora {

namespace {

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                           "-" + std::to_string(counter++);
  return target.parent_path() / name;
}

}  // namespace

Result<CAtomicFileWriter> CAtomicFileWriter::Begin(const std::filesystem::path& target) {
  // Created with 0666 so that the umask gives the new file the same mode a
  // plain create would.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temp = TempNameBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return CAtomicFileWriter(fd, std::move(temp), target);
    }
    if (errno != EEXIST) {
      return Status::Failure(ErrnoMessage(errno));
    }
  }
  return Status::Failure(ErrnoMessage(EEXIST));
}

CAtomicFileWriter::CAtomicFileWriter(int fd, std::filesystem::path temp,
                                     std::filesystem::path target)
    : fd_(fd), temp_(std::move(temp)), target_(std::move(target)) {}

CAtomicFileWriter::CAtomicFileWriter(CAtomicFileWriter&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)) {
  other.temp_.clear();
}

CAtomicFileWriter::~CAtomicFileWriter() {
  Discard();
}

void CAtomicFileWriter::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

Status CAtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) {
    return Status::Failure(ErrnoMessage(EBADF));
  }
  return WriteAllToDescriptor(fd_, bytes);
}

Status CAtomicFileWriter::Commit() {
  if (fd_ < 0) {
    return Status::Failure(ErrnoMessage(EBADF));
  }
  // Without the sync a crash soon after the rename can leave an empty file
  // where the old one stood.
  if (::fsync(fd_) != 0) {
    const int error = errno;
    Discard();
    return Status::Failure(ErrnoMessage(error));
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) {
    const int error = errno;
    Discard();
    return Status::Failure(ErrnoMessage(error));
  }
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    return Status::Failure(ErrnoMessage(error));
  }
  temp_.clear();
  return Status::Ok();
}

Status WriteFileAtomically(const std::filesystem::path& target,
                           std::span<const std::uint8_t> bytes) {
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target);
  if (!writer) {
    return writer.status();
  }
  if (Status written = writer.value().Write(bytes); !written) {
    return written;
  }
  return writer.value().Commit();
}

}  // namespace zentora
