#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "base/file_kind.h"
#include "base/system_error_text.h"

namespace zentora {

Result<CFileDescriptor> OpenRegularFile(const std::filesystem::path& path, int flags, mode_t mode) {
  CFileDescriptor fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode));
  if (!fd.IsOpen()) {
    return Status::Failure(ErrnoMessage(errno));
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  if (!S_ISREG(info.st_mode)) {
    return Status::Failure(NotRegularFileReason(info.st_mode));
  }
  const int status = ::fcntl(fd.Get(), F_GETFL);
  if (status < 0 || ::fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  return fd;
}

}  // namespace zentora
