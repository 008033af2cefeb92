#include "base/whole_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/exclusive_file.h"
#include "base/regular_file.h"

namespace zentora {

Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  const Result<int> opened = OpenRegularFile(path);
  if (!opened) {
    return opened.status();
  }
  const int fd = opened.value();
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Failure(ErrnoMessage(error));
  }
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    ::close(fd);
    return Status::Failure("文件过大");
  }
  std::string contents;
  contents.resize(static_cast<std::size_t>(info.st_size));
  std::size_t filled = 0;
  // The size may change under us; read until the end, within the limit.
  for (;;) {
    if (filled == contents.size()) {
      if (contents.size() >= maxBytes) {
        char probe;
        const ssize_t more = ::read(fd, &probe, 1);
        if (more > 0) {
          ::close(fd);
          return Status::Failure("文件过大");
        }
        break;
      }
      contents.resize(std::min<std::uint64_t>(maxBytes, contents.size() * 2 + 4096));
    }
    const ssize_t got = ::read(fd, contents.data() + filled, contents.size() - filled);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      const int error = errno;
      ::close(fd);
      return Status::Failure(ErrnoMessage(error));
    }
    if (got == 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  contents.resize(filled);
  return contents;
}

}  // namespace zentora
