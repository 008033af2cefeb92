#pragma once

#include <filesystem>
#include <string>

namespace zentora {

// The text after the last full stop of the file's name, in lower case, as the
// program compares extensions; empty when the name has no full stop. Unlike
// path::extension(), a name that begins with its only full stop (".bin") has
// one, and folders never contribute.
inline std::string LowerCaseExtension(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) {
    return {};
  }
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return extension;
}

}  // namespace zentora
