#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/exclusive_file.h"
#include "base/result.h"

namespace zentora {

// The output-list lines the resource compilers share.
inline std::string CannotCreateFileLine(const std::filesystem::path& path) {
  return "无法创建文件：" + path.string();
}

inline std::string WriteFailureLine(const std::filesystem::path& path, const Status& failure) {
  return "写入文件失败：" + path.string() + "（" + failure.message() + "）";
}

// Closes two output files in the given order; the line for the first that
// failed, if any. Closing reports write errors the kernel kept back.
inline std::optional<std::string> CloseInOrder(CExclusiveFile& first,
                                               const std::filesystem::path& firstPath,
                                               CExclusiveFile& second,
                                               const std::filesystem::path& secondPath) {
  if (Status closed = first.Close(); !closed) {
    return WriteFailureLine(firstPath, closed);
  }
  if (Status closed = second.Close(); !closed) {
    return WriteFailureLine(secondPath, closed);
  }
  return std::nullopt;
}

}  // namespace zentora
