#pragma once

#include <filesystem>
#include <vector>

#include "base/result.h"

namespace zentora {

// Ok unless one of the four resource files a compile writes into `folder`
// is, under any name, the project file, a picture or a sound it compiles:
// the compile would replace its own input, and a replaced project file no
// longer opens. The refusal names the file.
Status RefuseCompileOntoInputs(const std::filesystem::path& folder,
                               const std::filesystem::path& projectFile,
                               const std::vector<std::filesystem::path>& pictures,
                               const std::vector<std::filesystem::path>& sounds);

}  // namespace zentora
