#include <QCommandLineParser>

#include <cstdio>
#include <variant>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/image_options.h"
#include "image/image_export.h"

namespace zentora::cli {

int RunExport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Export a project's pictures to FILE: the compiler's data file when FILE ends\n"
      "in .bin (any case), with its index beside it as .idx; otherwise a C header\n"
      "with one byte array per picture.");
  parser.addPositionalArgument("PROJECT", "The project file (.zentoraprj).", "export PROJECT");
  parser.addPositionalArgument("FILE", "The file to write.");
  AddImageOptions(parser);
  std::variant<ProjectWithSettings, int> parsed = ParseProjectWithSettings(parser, arguments, 2);
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  const auto& [loaded, settings] = std::get<ProjectWithSettings>(parsed);
  const std::filesystem::path chosen = ToPath(parser.positionalArguments()[1]);
  std::vector<std::filesystem::path> pictures = loaded.pictures.Snapshot();
  std::vector<std::filesystem::path> inputs = pictures;
  inputs.push_back(loaded.project.ProjectFilePath());
  if (Status refused = CheckExportTargets(chosen, inputs); !refused) {
    PrintError(refused.message());
    return kExitUsage;
  }

  CConsoleSink sink(stdout, stderr);
  sink.ShowProgress(ExportFormFor(chosen) == ExportForm::Binary);
  const ExportOutcome outcome = ExportPictures(pictures, settings, chosen, sink);
  sink.ShowProgress(false);
  if (!outcome.headerWritten) {
    PrintError(outcome.headerWritten.message());
  }
  return outcome.Failed() ? kExitFailed : kExitOk;
}

}  // namespace zentora::cli
