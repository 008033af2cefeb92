#include "base/system_error_text.h"

#include <QtGlobal>

#include <cerrno>
#include <system_error>

#include "base/translation.h"

namespace zentora {

namespace {

const char* CommonReason(int error) {
  switch (error) {
    case ENOENT:
      return QT_TRANSLATE_NOOP("base", "文件或文件夹不存在");
    case EACCES:
    case EPERM:
      return QT_TRANSLATE_NOOP("base", "没有访问权限");
    case EROFS:
      return QT_TRANSLATE_NOOP("base", "文件系统是只读的");
    case ENOSPC:
      return QT_TRANSLATE_NOOP("base", "磁盘已满");
    case EDQUOT:
      return QT_TRANSLATE_NOOP("base", "磁盘配额已用完");
    case EBUSY:
    case ETXTBSY:
      return QT_TRANSLATE_NOOP("base", "文件或设备正忙");
    // Our own exclusive locks refuse with this: another operation (a
    // compile, a download, the font viewer) holds the file.
    case EWOULDBLOCK:
      return QT_TRANSLATE_NOOP("base", "文件已被其他操作占用");
    case EISDIR:
      return QT_TRANSLATE_NOOP("base", "是文件夹，不是文件");
    case ENOTDIR:
      return QT_TRANSLATE_NOOP("base", "路径中的某一级不是文件夹");
    case ENOMEM:
      return QT_TRANSLATE_NOOP("base", "内存不足");
    default:
      return nullptr;
  }
}

}  // namespace

std::string SystemErrorText(int error, const std::filesystem::path& path) {
  const char* common = CommonReason(error);
  std::string reason =
      common != nullptr ? Tr("base", common) : std::generic_category().message(error);
  if (path.empty()) {
    return reason;
  }
  return WithReason(path.string(), reason);
}

}  // namespace zentora
