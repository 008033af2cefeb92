#include <QCommandLineParser>

#include <cstdio>
#include <system_error>

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
  parser.addPositionalArgument("PROJECT", "The project file (.zentoraprj).", "compile PROJECT");
  parser.addOption({"out", "Write the resource files into DIR.", "DIR"});
  AddImageOptions(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::optional<ImageSettings> settings = ReadImageOptions(parser);
  if (!settings) {
    return kExitUsage;
  }
  std::optional<LoadedProject> loaded = LoadProject(ToPath(parser.positionalArguments()[0]));
  if (!loaded) {
    return kExitUsage;
  }

  const std::filesystem::path outFolder = parser.isSet("out")
                                              ? AsFolder(ToPath(parser.value("out")))
                                              : loaded->project.GetWorkingFolder() / "output/";
  std::error_code error;
  std::filesystem::create_directories(outFolder, error);
  if (std::error_code ignored; !std::filesystem::is_directory(outFolder, ignored)) {
    PrintError("无法创建文件夹：" + outFolder.string() + "（" + error.message() + "）");
    return kExitFailed;
  }

  CConsoleSink sink(stdout, stderr);
  sink.ShowProgress(true);
  const CompileOutcome pictures =
      GenerateImageResources(loaded->pictures.Snapshot(), *settings, outFolder / "image.bin",
                             outFolder / "image.idx", sink);
  // The sounds are compiled whatever became of the pictures.
  const CompileOutcome sounds = GenerateWaveResources(
      loaded->sounds.Snapshot(), outFolder / "wave.bin", outFolder / "wave.idx", sink);
  sink.ShowProgress(false);
  const bool failed = pictures == CompileOutcome::Failed || sounds == CompileOutcome::Failed;
  return failed ? kExitFailed : kExitOk;
}

}  // namespace zentora::cli
