#pragma once

#include <filesystem>
#include <vector>

#include "base/compile_outcome.h"
#include "base/output_folder.h"
#include "base/status_sink.h"

namespace zentora {

// Compiles the sounds, in list order, into the module's sound data file and
// index file, reporting lines and progress to the sink. Sounds that do not
// load, or whose fields the index cannot hold, are skipped with a line saying
// why and take no number; a sound whose file lacks sample bytes it announces
// is compiled as it stands, with a line. The samples are streamed, so memory
// does not grow with a sound's length. A sound that would run past the
// 32-bit address range fails the compile, and nothing is replaced. `sounds`
// is a snapshot of the sound list taken by the caller. The two files are written
// beside their targets and replace them together once the compile went
// through; the folder is held meanwhile (COutputFolderLock).
CompileOutcome GenerateWaveResources(const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink);

// The same into a set of files that the caller holds and commits, so that
// the sound files are replaced together with others.
CompileOutcome GenerateWaveResources(CFileSetReplacement& outputs,
                                     const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink);

}  // namespace zentora
