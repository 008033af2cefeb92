#pragma once

#include <filesystem>

#include "base/result.h"

namespace zentora {

// Makes a folder with its parents (an existing one is fine). The failure
// names the folder and the reason: "无法创建文件夹：/a/b（没有权限）".
Status MakeFolder(const std::filesystem::path& folder);

}  // namespace zentora
