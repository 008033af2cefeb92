#include "readback/resource_listing.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <system_error>
#include <utility>

#include "base/output_folder.h"
#include "base/translation.h"
#include "base/whole_file.h"

namespace zentora {

namespace {

// Only regular files are opened: a FIFO or device under a resource file's
// name must not block or feed the reader. A missing file is no finding.
bool IsReadableFile(const std::filesystem::path& path, const char* name,
                    std::vector<Finding>& findings) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    findings.push_back({"not-regular-file", Fill(Tr("inspect", "%1：不是普通文件"), name)});
    return false;
  }
  return true;
}

std::string ReadIndex(const std::filesystem::path& folder, const char* name,
                      std::vector<Finding>& findings) {
  const std::filesystem::path path = folder / name;
  if (!IsReadableFile(path, name, findings)) {
    return {};
  }
  Result<std::string> bytes = ReadWholeFile(path, kMaxIndexBytes);
  if (!bytes) {
    findings.push_back(
        {"unreadable", Fill(Tr("inspect", "%1：无法读取（%2）"), name, bytes.error())});
    return {};
  }
  return std::move(bytes).value();
}

std::uint64_t DataSize(const std::filesystem::path& folder, const char* name,
                       std::vector<Finding>& findings) {
  const std::filesystem::path path = folder / name;
  if (!IsReadableFile(path, name, findings)) {
    return 0;
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    findings.push_back(
        {"unreadable", Fill(Tr("inspect", "%1：无法读取（%2）"), name, error.message())});
    return 0;
  }
  return size;
}

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string HexAddress(std::uint64_t address) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(address));
  return text;
}

std::string NumberedName(int position, const char* extension) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%s", position, extension);
  return name;
}

Result<ResourceListing> ReadResourceFolder(const std::filesystem::path& folder) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(folder, error);
  if (!std::filesystem::exists(status)) {
    return Status::Failure(Tr("inspect", "文件夹不存在：") + folder.string());
  }
  if (!std::filesystem::is_directory(status)) {
    return Status::Failure(Tr("inspect", "不是文件夹：") + folder.string());
  }
  std::vector<Finding> readFindings;
  if (HasUnfinishedReplacement(folder)) {
    readFindings.push_back(
        {"unfinished-replacement", Tr("inspect",
                                      "资源文件不是同一次编译的结果：上次替换没有完成"
                                      "（下次编译或下载此文件夹时完成）")});
  }
  const bool anyResourceFile = std::ranges::any_of(
      std::initializer_list<const char*>{"image.idx", "image.bin", "wave.idx", "wave.bin"},
      [&](const char* name) {
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(folder / name, ignored));
      });
  if (!anyResourceFile) {
    readFindings.push_back(
        {"no-resource-files", Tr("inspect",
                                 "文件夹中没有资源文件（image.idx、image.bin、wave.idx、"
                                 "wave.bin），没有可检查的内容")});
  }
  const std::string imageIndex = ReadIndex(folder, "image.idx", readFindings);
  const std::uint64_t imageDataSize = DataSize(folder, "image.bin", readFindings);
  const std::string waveIndex = ReadIndex(folder, "wave.idx", readFindings);
  const std::uint64_t waveDataSize = DataSize(folder, "wave.bin", readFindings);
  ResourceListing listing =
      CheckResources(Bytes(imageIndex), imageDataSize, Bytes(waveIndex), waveDataSize);
  listing.findings.insert(listing.findings.begin(), readFindings.begin(), readFindings.end());
  return listing;
}

}  // namespace zentora
