#include "download/resource_compile.h"

#include "base/compiler_files.h"
#include "base/translation.h"
#include "image/image_compiler.h"
#include "sound/wave_compiler.h"

namespace zentora {

ResourceCompileOutcome CompileResourceFolder(const std::filesystem::path& folder,
                                             const Result<COutputFolderLock>& held,
                                             const std::vector<std::filesystem::path>& pictures,
                                             const std::vector<std::filesystem::path>& sounds,
                                             const ImageSettings& settings, StatusSink& sink) {
  ResourceCompileOutcome outcome;
  const ResourceFiles files(folder);
  if (!held) {
    // Each compiler names the file it creates first.
    sink.AppendLine(CannotCreateFileLine(files.imageData, held.error()));
    sink.AppendLine(CannotCreateFileLine(files.waveIndex, held.error()));
    return outcome;
  }
  CFileSetReplacement outputs(held.value());
  outcome.pictures =
      GenerateImageResources(outputs, pictures, settings, files.imageData, files.imageIndex, sink);
  outcome.sounds = GenerateWaveResources(outputs, sounds, files.waveData, files.waveIndex, sink);
  if (outcome.pictures == CompileOutcome::Failed || outcome.sounds == CompileOutcome::Failed) {
    sink.AppendLine(Tr("download", "编译失败，文件夹中原有的资源文件保持不变"));
    return outcome;
  }
  outcome.replaced = CommitCompiledSet(outputs, sink);
  if (!outcome.replaced) {
    sink.AppendLine(
        outputs.LeftUnfinished()
            ? Tr("download", "编译失败，资源文件没有全部替换：下次编译或下载此文件夹时完成替换")
            : Tr("download", "编译失败，文件夹中原有的资源文件保持不变"));
  }
  return outcome;
}

}  // namespace zentora
