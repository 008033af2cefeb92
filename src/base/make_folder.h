#pragma once

#include <filesystem>

#include "base/result.h"

namespace zentora {

// Makes a folder with its parents (an existing one is fine). The failure
// names the folder and the reason: "无法创建文件夹：/a/b（没有访问权限）", and a
// level that exists but is a file as such.
Status MakeFolder(const std::filesystem::path& folder);

}  // namespace zentora
