#pragma once

#include <filesystem>
#include <string>

namespace zentora {

// What a failed system call's errno value means, in the words the user
// reads: Chinese for the common cases (missing, no permission, read-only,
// disk full, busy or held, a folder where a file belongs and the reverse),
// the system's own text for the rest. With a path, the path comes first and
// the reason follows in brackets, the form in which every output line and
// message names a file: "/a/b（文件或文件夹不存在）".
std::string SystemErrorText(int error, const std::filesystem::path& path = {});

// The reason alone, for the messages whose line names the file itself.
inline std::string ErrnoMessage(int error) {
  return SystemErrorText(error);
}

}  // namespace zentora
