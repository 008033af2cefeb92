#include "base/file_kind.h"

#include <sys/stat.h>

#include <cerrno>

#include "base/system_error_text.h"
#include "base/translation.h"

namespace zentora {

std::string NotRegularFileReason(mode_t mode) {
  if (S_ISDIR(mode)) {
    return ErrnoMessage(EISDIR);
  }
  if (S_ISFIFO(mode)) {
    return Tr("base", "是命名管道（FIFO），不是普通文件");
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return Tr("base", "是设备，不是普通文件");
  }
  if (S_ISSOCK(mode)) {
    return Tr("base", "是套接字，不是普通文件");
  }
  return Tr("base", "不是普通文件");
}

Status CheckOutputKind(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    // Missing is the usual case for an output; any other reason shows when
    // the output is written.
    return Status::Ok();
  }
  if (S_ISREG(info.st_mode)) {
    return Status::Ok();
  }
  return Status::Failure(NotRegularFileReason(info.st_mode));
}

}  // namespace zentora
