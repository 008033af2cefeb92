#include "base/make_folder.h"

#include <system_error>

#include "base/system_error_text.h"
#include "base/translation.h"

namespace zentora {

Status MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (std::error_code ignored; !std::filesystem::is_directory(folder, ignored)) {
    return Status::Failure(Tr("base", "无法创建文件夹：") + SystemErrorText(error.value(), folder));
  }
  return Status::Ok();
}

}  // namespace zentora
