#include <QCommandLineParser>

#include <cstdio>
#include <variant>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/image_options.h"
#include "image/image_compiler.h"
#include "sound/wave_compiler.h"

namespace zentora::cli {

int RunCompile(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Compile a project's pictures into image.bin and image.idx, then its sounds\n"
      "into wave.bin and wave.idx. DIR defaults to the project's folder + output/.");
  std::variant<CompileRequest, int> parsed =
      ParseCompileRequest(parser, arguments, "compile PROJECT");
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  CompileRequest& request = std::get<CompileRequest>(parsed);
  const std::filesystem::path& outFolder = request.outFolder;

  CConsoleSink sink(stdout, stderr);
  sink.ShowProgress(true);
  const CompileOutcome pictures =
      GenerateImageResources(request.loaded.pictures.Snapshot(), request.settings,
                             outFolder / "image.bin", outFolder / "image.idx", sink);
  // The sounds are compiled whatever became of the pictures.
  const CompileOutcome sounds = GenerateWaveResources(
      request.loaded.sounds.Snapshot(), outFolder / "wave.bin", outFolder / "wave.idx", sink);
  sink.ShowProgress(false);
  const bool failed = pictures == CompileOutcome::Failed || sounds == CompileOutcome::Failed;
  return failed ? kExitFailed : kExitOk;
}

}  // namespace zentora::cli
