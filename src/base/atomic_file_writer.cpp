#include "base/atomic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/exclusive_file.h"
#include "base/system_error_text.h"

namespace zentora {

namespace {

constexpr std::string_view kTempMark = ".tmp-";

std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::string name = "." + target.filename().string() + std::string(kTempMark) +
                           std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return target.parent_path() / name;
}

// The process id in a name that TempNameBeside gave, ".NAME.tmp-PID-N";
// 0 for any other name.
pid_t WriterOf(std::string_view name) {
  const std::size_t mark = name.rfind(kTempMark);
  if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos || mark < 2) {
    return 0;
  }
  const char* const end = name.data() + name.size();
  pid_t pid = 0;
  const auto [afterPid, pidError] =
      std::from_chars(name.data() + mark + kTempMark.size(), end, pid);
  if (pidError != std::errc() || afterPid == end || *afterPid != '-' || pid <= 0) {
    return 0;
  }
  unsigned counter = 0;
  const auto [afterCounter, counterError] = std::from_chars(afterPid + 1, end, counter);
  return counterError == std::errc() && afterCounter == end ? pid : 0;
}

bool ProcessIsGone(pid_t pid) {
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Each folder is swept by the first writer into it, not by every one: an
// inspect writes thousands of files into one folder.
void SweepOnce(const std::filesystem::path& folder) {
  static std::mutex mutex;
  static std::set<std::filesystem::path> swept;
  std::error_code error;
  std::filesystem::path key = std::filesystem::absolute(folder.empty() ? "." : folder, error);
  {
    std::lock_guard lock(mutex);
    if (!swept.insert(std::move(key)).second) {
      return;
    }
  }
  RemoveDeadWritersTemporaries(folder);
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
  SweepOnce(target.parent_path());
  // Without a mode, created with 0666 so that the umask gives a new file the
  // same mode a plain create would.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path temp = TempNameBeside(target);
    CFileDescriptor fd(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666)));
    if (fd.IsOpen()) {
      CAtomicFileWriter writer(std::move(fd), std::move(temp), target);
      writer.registration_ = CTemporaryRegistration(writer.temp_);
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
    : fd_(std::move(other.fd_)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)),
      registration_(std::move(other.registration_)) {
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
  registration_.Reset();
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
  registration_.Reset();
  return Status::Ok();
}

void RemoveDeadWritersTemporaries(const std::filesystem::path& folder) {
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
    const pid_t writer = WriterOf(entry.path().filename().native());
    if (writer != 0 && writer != ::getpid() && ProcessIsGone(writer) &&
        !entry.is_directory(error)) {
      ::unlink(entry.path().c_str());
    }
  }
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
