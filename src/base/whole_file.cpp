#include "base/whole_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "base/exclusive_file.h"
#include "base/file_descriptor.h"
#include "base/regular_file.h"
#include "base/system_error_text.h"
#include "base/translation.h"

namespace zentora {

Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
  const Result<CFileDescriptor> opened = OpenRegularFile(path);
  if (!opened) {
    return opened.status();
  }
  const int fd = opened.value().Get();
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return Status::Failure(ErrnoMessage(errno));
  }
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    return Status::Failure(Tr("base", "文件过大"));
  }
  std::string contents;
  contents.resize(static_cast<std::size_t>(info.st_size));
  std::size_t filled = 0;
  // The size may change under us; read until the end, within the limit.
  for (;;) {
    if (filled == contents.size()) {
      if (contents.size() >= maxBytes) {
        std::uint8_t probe = 0;
        const Result<std::size_t> more = ReadFromDescriptor(fd, std::span(&probe, 1));
        if (!more) {
          return more.status();
        }
        if (more.value() > 0) {
          return Status::Failure(Tr("base", "文件过大"));
        }
        break;
      }
      contents.resize(std::min<std::uint64_t>(maxBytes, contents.size() * 2 + 4096));
    }
    const Result<std::size_t> got =
        ReadFromDescriptor(fd, std::span(reinterpret_cast<std::uint8_t*>(contents.data()) + filled,
                                         contents.size() - filled));
    if (!got) {
      return got.status();
    }
    if (got.value() == 0) {
      break;
    }
    filled += got.value();
  }
  contents.resize(filled);
  return contents;
}

}  // namespace zentora
