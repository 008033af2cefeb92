#include "base/depfile.h"

#include <cstdint>
#include <span>

#include "base/atomic_file_writer.h"
#include "base/translation.h"

namespace zentora {

std::string EscapeDepfilePath(const std::string& path) {
  std::string escaped;
  escaped.reserve(path.size());
  std::size_t backslashes = 0;
  for (const char c : path) {
    if (c == ' ' || c == '\t') {
      // Make reads "\\ " as a backslash ending the name, so those before a
      // blank are doubled.
      escaped.append(backslashes + 1, '\\');
    } else if (c == '#') {
      escaped += '\\';
    } else if (c == '$') {
      escaped += '$';
    }
    backslashes = c == '\\' ? backslashes + 1 : 0;
    escaped += c;
  }
  return escaped;
}

Status CheckDepfilePath(const std::filesystem::path& path) {
  if (path.native().find_first_of("\r\n") != std::string::npos) {
    return Status::Failure(Tr("base", "路径中有换行，不能写入依赖文件：") + path.string());
  }
  return Status::Ok();
}

std::string FormatDepfile(const Dependencies& dependencies) {
  std::string text;
  for (const std::filesystem::path& target : dependencies.targets) {
    if (!text.empty()) {
      text += ' ';
    }
    text += EscapeDepfilePath(target.native());
  }
  text += ':';
  for (const std::filesystem::path& prerequisite : dependencies.prerequisites) {
    text += " \\\n " + EscapeDepfilePath(prerequisite.native());
  }
  text += '\n';
  for (std::size_t i = 1; i < dependencies.prerequisites.size(); ++i) {
    text += '\n' + EscapeDepfilePath(dependencies.prerequisites[i].native()) + ":\n";
  }
  return text;
}

Status WriteDepfile(const std::filesystem::path& file, const Dependencies& dependencies) {
  for (const auto* list : {&dependencies.targets, &dependencies.prerequisites}) {
    for (const std::filesystem::path& path : *list) {
      if (Status named = CheckDepfilePath(path); !named) {
        return named;
      }
    }
  }
  const std::string text = FormatDepfile(dependencies);
  return WriteFileAtomically(
      file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace zentora
