#include "base/make_folder.h"

#include <system_error>

#include "base/system_error_text.h"
#include "base/translation.h"

namespace zentora {

namespace {

std::filesystem::path WithoutTrailingSlash(const std::filesystem::path& folder) {
  return folder.has_filename() ? folder : folder.parent_path();
}

// The nearest existing level of `folder` (itself included) when it is not a
// folder: the reason the folder cannot be made. Empty when there is none.
std::filesystem::path ExistingNonFolder(const std::filesystem::path& folder) {
  for (std::filesystem::path level = WithoutTrailingSlash(folder); !level.empty();
       level = level.parent_path()) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(level, error);
    if (std::filesystem::exists(status)) {
      return std::filesystem::is_directory(status) ? std::filesystem::path() : level;
    }
    if (level == level.parent_path()) {
      break;
    }
  }
  return {};
}

}  // namespace

Status MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (std::error_code ignored; std::filesystem::is_directory(folder, ignored)) {
    return Status::Ok();
  }
  const std::string failed = Tr("base", "无法创建文件夹：");
  if (const std::filesystem::path blocker = ExistingNonFolder(folder); !blocker.empty()) {
    const std::string reason = blocker == WithoutTrailingSlash(folder)
                                   ? Tr("base", "已存在，但不是文件夹")
                                   : Fill(Tr("base", "%1 已存在，但不是文件夹"), blocker.string());
    return Status::Failure(failed + WithReason(folder.string(), reason));
  }
  return Status::Failure(failed + SystemErrorText(error.value(), folder));
}

}  // namespace zentora
