#include "base/system_error_text.h"

#include <cerrno>
#include <system_error>

namespace zentora {

namespace {

const char* CommonReason(int error) {
  switch (error) {
    case ENOENT:
      return "文件或文件夹不存在";
    case EACCES:
    case EPERM:
      return "没有访问权限";
    case EROFS:
      return "文件系统是只读的";
    case ENOSPC:
      return "磁盘已满";
    case EDQUOT:
      return "磁盘配额已用完";
    case EBUSY:
    case ETXTBSY:
      return "文件或设备正忙";
    // Our own exclusive locks refuse with this: another operation (a
    // compile, a download, the font viewer) holds the file.
    case EWOULDBLOCK:
      return "文件已被其他操作占用";
    case EISDIR:
      return "是文件夹，不是文件";
    case ENOTDIR:
      return "路径中的某一级不是文件夹";
    case ENOMEM:
      return "内存不足";
    default:
      return nullptr;
  }
}

}  // namespace

std::string SystemErrorText(int error, const std::filesystem::path& path) {
  const char* common = CommonReason(error);
  std::string reason =
      common != nullptr ? std::string(common) : std::generic_category().message(error);
  if (path.empty()) {
    return reason;
  }
  return path.string() + "（" + reason + "）";
}

}  // namespace zentora
