#include "base/atomic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "base/exclusive_file.h"
#include "base/system_error_text.h"

namespace zentora {

namespace {

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                           "-" + std::to_string(counter++);
  return target.parent_path() / name;
}

// The file that replacing `path` must replace: a symbolic link is followed
// (relative links from the link's folder) so that the link stays a link and
// its target gets the new bytes. A dangling link names the file it points to.
Result<std::filesystem::path> FollowLinks(std::filesystem::path path) {
  // As many links as the kernel follows before it gives up.
  constexpr int kMaxLinks = 40;
  for (int link = 0; link < kMaxLinks; ++link) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return path;
    }
    std::error_code error;
    std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) {
      return Status::Failure(ErrnoMessage(error.value()));
    }
    path = next.is_absolute() ? std::move(next) : path.parent_path() / next;
  }
  return Status::Failure(ErrnoMessage(ELOOP));
}

// Gives the new file the mode (and, where we may, the owner) of the file it
// replaces, so that a read-only or shared file stays so.
Status KeepMode(int fd, const std::filesystem::path& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return Status::Ok();
  }
  // Only root may give a file away; where we may not, the new file is ours
  // like any file we create.
  const int owned = ::fchown(fd, info.st_uid, info.st_gid);
  static_cast<void>(owned);
  if (::fchmod(fd, info.st_mode & 07777) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return Status::Ok();
}

}  // namespace

Result<CAtomicFileWriter> CAtomicFileWriter::Begin(const std::filesystem::path& path,
                                                   std::optional<unsigned> mode) {
  Result<std::filesystem::path> followed = FollowLinks(path);
  if (!followed) {
    return followed.status();
  }
  const std::filesystem::path& target = followed.value();
  // Without a mode, created with 0666 so that the umask gives a new file the
  // same mode a plain create would.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temp = TempNameBeside(target);
    CFileDescriptor fd(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666)));
    if (fd.IsOpen()) {
      CAtomicFileWriter writer(std::move(fd), std::move(temp), target);
      if (Status kept = mode ? Status::Ok() : KeepMode(writer.fd_.Get(), target); !kept) {
        return kept;
      }
      return writer;
    }
    if (errno != EEXIST) {
      return Status::Failure(ErrnoMessage(errno));
    }
  }
  return Status::Failure(ErrnoMessage(EEXIST));
}

CAtomicFileWriter::CAtomicFileWriter(CFileDescriptor fd, std::filesystem::path temp,
                                     std::filesystem::path target)
    : fd_(std::move(fd)), temp_(std::move(temp)), target_(std::move(target)) {}

CAtomicFileWriter::CAtomicFileWriter(CAtomicFileWriter&& other) noexcept
    : fd_(std::move(other.fd_)), temp_(std::move(other.temp_)), target_(std::move(other.target_)) {
  other.temp_.clear();
}

CAtomicFileWriter::~CAtomicFileWriter() {
  Discard();
}

void CAtomicFileWriter::Discard() {
  fd_ = CFileDescriptor();
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

Status CAtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (!fd_.IsOpen()) {
    return Status::Failure(ErrnoMessage(EBADF));
  }
  return WriteAllToDescriptor(fd_.Get(), bytes);
}

Status CAtomicFileWriter::Commit() {
  if (!fd_.IsOpen()) {
    return Status::Failure(ErrnoMessage(EBADF));
  }
  // Without the sync a crash soon after the rename can leave an empty file
  // where the old one stood.
  if (::fsync(fd_.Get()) != 0) {
    const int error = errno;
    Discard();
    return Status::Failure(ErrnoMessage(error));
  }
  if (Status closed = fd_.Close(); !closed) {
    Discard();
    return closed;
  }
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    return Status::Failure(ErrnoMessage(error));
  }
  temp_.clear();
  return Status::Ok();
}

Status WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                           std::optional<unsigned> mode) {
  Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(target, mode);
  if (!writer) {
    return writer.status();
  }
  if (Status written = writer.value().Write(bytes); !written) {
    return written;
  }
  return writer.value().Commit();
}

}  // namespace zentora
