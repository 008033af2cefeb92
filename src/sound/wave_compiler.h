#pragma once

#include <filesystem>
#include <vector>

#include "base/compile_outcome.h"
#include "base/status_sink.h"

namespace zentora {

// Compiles the sounds, in list order, into the module's sound data file and
// index file, reporting lines and progress to the sink. Sounds that do not
// load are skipped without a word and take no number. `sounds` is a
// snapshot of the sound list taken by the caller.
CompileOutcome GenerateWaveResources(const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink);

}  // namespace zentora
