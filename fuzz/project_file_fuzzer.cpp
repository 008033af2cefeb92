// Project files come from anywhere: whatever the bytes, parsing must return
// cleanly, every name must be a bare file name, and what we write back must
// read back the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zentora::Result<zentora::ProjectFileContents> parsed = zentora::ParseProjectFile(bytes);
  if (!parsed) {
    return 0;
  }
  for (const auto* names : {&parsed.value().images, &parsed.value().waves}) {
    for (const std::string& name : *names) {
      if (name.find_first_of("/\\") != std::string::npos || name == "." || name == "..") {
        std::abort();
      }
    }
  }
  zentora::Result<std::string> written = zentora::SerializeProjectFile(parsed.value());
  if (!written) {
    return 0;  // a name XML cannot carry
  }
  zentora::Result<zentora::ProjectFileContents> reread = zentora::ParseProjectFile(written.value());
  if (!reread || reread.value().images != parsed.value().images ||
      reread.value().waves != parsed.value().waves) {
    std::abort();
  }
  return 0;
}
