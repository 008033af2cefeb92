#include "project/file_import.h"

#include <QString>

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "base/file_copy.h"
#include "base/translation.h"

namespace zentora {
namespace {

bool IsControlByte(char c) {
  return static_cast<unsigned char>(c) < 0x20;
}

// The name as a message can show it: control characters become '?' so that
// a line break in a name cannot split the message.
std::string PrintableName(const std::filesystem::path& name) {
  std::string text = QString::fromLocal8Bit(name.c_str()).toStdString();
  std::replace_if(text.begin(), text.end(), IsControlByte, '?');
  return text;
}

// Byte-for-byte comparison of two regular files; a file that cannot be read
// counts as different.
bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code errorA;
  std::error_code errorB;
  if (std::filesystem::file_size(a, errorA) != std::filesystem::file_size(b, errorB) || errorA ||
      errorB) {
    return false;
  }
  std::ifstream first(a, std::ios::binary);
  std::ifstream second(b, std::ios::binary);
  std::array<char, 1 << 16> left{};
  std::array<char, 1 << 16> right{};
  while (first && second) {
    first.read(left.data(), left.size());
    second.read(right.data(), right.size());
    if (first.gcount() != second.gcount() ||
        !std::equal(left.begin(), left.begin() + first.gcount(), right.begin())) {
      return false;
    }
  }
  return first.eof() && second.eof();
}

}  // namespace

bool WouldReplaceOtherFile(const std::filesystem::path& source,
                           const std::filesystem::path& destination) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(destination, error)) ||
      std::filesystem::equivalent(source, destination, error)) {
    return false;
  }
  // Only regular files are read here: a source that is anything else is
  // refused by the copy, and anything else in the destination's place is
  // not the source's bytes.
  if (!std::filesystem::is_regular_file(source, error)) {
    return false;
  }
  return !std::filesystem::is_regular_file(destination, error) ||
         !SameContents(source, destination);
}

bool IsStorableFileName(const std::filesystem::path& name) {
  const std::string& bytes = name.native();
  if (bytes.empty()) {
    return false;
  }
  for (const char c : bytes) {
    // A project file reads a backslash as a folder separator: such a name
    // would come back as another file.
    if (IsControlByte(c) || c == '\\') {
      return false;
    }
  }
  // A round trip through UTF-16 changes invalid sequences into U+FFFD.
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString() ==
         bytes;
}

Result<std::filesystem::path> ImportFileIntoFolder(const std::filesystem::path& source,
                                                   const std::filesystem::path& folder) {
  const std::filesystem::path name = source.filename();
  if (name.native().find('\\') != std::string::npos) {
    return Status::Failure(Tr("project", "文件名含有“\\”，无法加入工程：") + PrintableName(name));
  }
  const std::string& bytes = name.native();
  if (std::any_of(bytes.begin(), bytes.end(), IsControlByte)) {
    return Status::Failure(Tr("project", "文件名含有控制字符，无法加入工程：") +
                           PrintableName(name));
  }
  if (!IsStorableFileName(name)) {
    return Status::Failure(Tr("project", "文件名不是有效的 UTF-8 文本，无法加入工程：") +
                           PrintableName(name));
  }
  std::filesystem::path destination = folder / name;
  if (Status copied = CopyFileReplacing(source, destination); !copied) {
    return Status::Failure(Tr("project", "复制文件失败：") +
                           WithReason(source.string(), copied.message()));
  }
  return destination;
}

}  // namespace zentora
