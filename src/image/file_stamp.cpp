#include "image/file_stamp.h"

#include <sys/stat.h>

namespace zentora {

namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

}  // namespace

std::int64_t FileStamp::ModifiedSeconds() const {
  // Rounded down, before 1970 too.
  return modifiedNs >= 0 ? modifiedNs / kNsPerSecond
                         : -((-modifiedNs + kNsPerSecond - 1) / kNsPerSecond);
}

std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    return std::nullopt;
  }
  return FileStamp{
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNsPerSecond + info.st_mtim.tv_nsec,
      static_cast<std::int64_t>(info.st_size), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace zentora
