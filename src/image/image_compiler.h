#pragma once

#include <filesystem>
#include <vector>

#include "base/compile_outcome.h"
#include "base/output_folder.h"
#include "base/status_sink.h"
#include "image/image_settings.h"

namespace zentora {

// Compiles the pictures, in list order, into the module's picture data file
// and index file, reporting lines and progress to the sink. `pictures` is a
// snapshot of the picture list taken by the caller, so that editing the list
// meanwhile cannot disturb the compile. The two files are written beside
// their targets and replace them together once the compile went through;
// the folder is held meanwhile (COutputFolderLock).
//
// Decoding runs ahead on worker threads; files, lines and progress come out
// exactly as a one-picture-at-a-time loop would produce them.
CompileOutcome GenerateImageResources(const std::vector<std::filesystem::path>& pictures,
                                      const ImageSettings& settings,
                                      const std::filesystem::path& dataPath,
                                      const std::filesystem::path& indexPath, StatusSink& sink);

// The same with a given number of decoder threads (1 decodes on the calling
// thread); the output does not depend on it. For measurements and tests.
CompileOutcome GenerateImageResourcesOnThreads(const std::vector<std::filesystem::path>& pictures,
                                               const ImageSettings& settings,
                                               const std::filesystem::path& dataPath,
                                               const std::filesystem::path& indexPath,
                                               StatusSink& sink, int threads);

// The same into a set of files that the caller holds and commits, so that
// the picture files are replaced together with others.
CompileOutcome GenerateImageResources(CFileSetReplacement& outputs,
                                      const std::vector<std::filesystem::path>& pictures,
                                      const ImageSettings& settings,
                                      const std::filesystem::path& dataPath,
                                      const std::filesystem::path& indexPath, StatusSink& sink);

// How many decoder threads the compile uses: one per core, so that two cores
// decode two pictures at once.
int ImageCompilerThreadCount();

}  // namespace zentora
