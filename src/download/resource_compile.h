#pragma once

#include <filesystem>
#include <vector>

#include "base/compile_outcome.h"
#include "base/output_folder.h"
#include "base/result.h"
#include "base/status_sink.h"
#include "image/image_settings.h"

namespace zentora {

// The four resource files of a compiled project in one folder.
struct ResourceFiles {
  explicit ResourceFiles(const std::filesystem::path& folder)
      : imageData(folder / "image.bin"),
        imageIndex(folder / "image.idx"),
        waveData(folder / "wave.bin"),
        waveIndex(folder / "wave.idx") {}

  std::filesystem::path imageData;
  std::filesystem::path imageIndex;
  std::filesystem::path waveData;
  std::filesystem::path waveIndex;
};

// What compiling a project into a folder did.
struct ResourceCompileOutcome {
  CompileOutcome pictures = CompileOutcome::Failed;
  CompileOutcome sounds = CompileOutcome::Failed;
  bool replaced = false;  // the four files now hold this compile

  bool Failed() const {
    return !replaced || pictures == CompileOutcome::Failed || sounds == CompileOutcome::Failed;
  }
  // A line told of input that did not compile as given.
  bool Warned() const {
    return pictures == CompileOutcome::WrittenWithWarnings ||
           sounds == CompileOutcome::WrittenWithWarnings;
  }
};

// Compiles the pictures, then the sounds (whatever became of the pictures),
// into the four files of `folder`, which `held` holds, and replaces the
// four together only when neither compiler failed, so that the folder never
// holds one project's pictures beside another's sounds. A folder that could
// not be held is reported by each compiler as a file it cannot create, and
// nothing is written.
ResourceCompileOutcome CompileResourceFolder(const std::filesystem::path& folder,
                                             const Result<COutputFolderLock>& held,
                                             const std::vector<std::filesystem::path>& pictures,
                                             const std::vector<std::filesystem::path>& sounds,
                                             const ImageSettings& settings, StatusSink& sink);

}  // namespace zentora
