#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/exclusive_file.h"

namespace zentora {

Result<int> OpenRegularFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Failure(ErrnoMessage(error));
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return Status::Failure(S_ISDIR(info.st_mode) ? ErrnoMessage(EISDIR) : "不是普通文件");
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Failure(ErrnoMessage(error));
  }
  return fd;
}

}  // namespace zentora
