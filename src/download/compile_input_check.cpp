#include "download/compile_input_check.h"

#include "base/output_input_check.h"
#include "download/resource_compile.h"

namespace zentora {

Status RefuseCompileOntoInputs(const std::filesystem::path& folder,
                               const std::filesystem::path& projectFile,
                               const std::vector<std::filesystem::path>& pictures,
                               const std::vector<std::filesystem::path>& sounds) {
  const ResourceFiles files(folder);
  std::vector<std::filesystem::path> inputs = pictures;
  inputs.insert(inputs.end(), sounds.begin(), sounds.end());
  inputs.push_back(projectFile);
  return RefuseOutputsOntoInputs(
      {files.imageData, files.imageIndex, files.waveData, files.waveIndex}, inputs);
}

}  // namespace zentora
