#include <QCommandLineParser>

#include <cstdio>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/depfile_option.h"
#include "cli/image_options.h"
#include "image/image_export.h"

namespace zentora::cli {

int RunExport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli",
          "把工程的图片导出到 FILE：FILE 以 .bin 结尾（不分大小写）时写编译器的数据文件，\n"
          "并在旁边写其索引 .idx；否则写 C 头文件，每张图片一个字节数组。"));
  parser.addPositionalArgument("PROJECT", TrQ("cli", "工程文件（.zentoraprj）。"),
                               "export PROJECT");
  parser.addPositionalArgument("FILE", TrQ("cli", "要写入的文件。"));
  AddImageOptions(parser);
  AddDitherOption(parser);
  AddDepfileOption(parser);
  std::variant<ProjectWithSettings, int> parsed = ParseProjectWithSettings(parser, arguments, 2);
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  const auto& [loaded, settings] = std::get<ProjectWithSettings>(parsed);
  const std::filesystem::path chosen = ToPath(parser.positionalArguments()[1]);
  Dependencies dependencies{{chosen}, {ToPath(parser.positionalArguments()[0])}};
  if (ExportFormFor(chosen) == ExportForm::Binary) {
    dependencies.targets.push_back(ExportIndexPath(chosen));
  }
  AppendListedFiles(loaded.pictures, dependencies.prerequisites);
  const std::optional<DepfileRequest> depfile = ReadDepfileOption(parser, std::move(dependencies));
  if (!depfile) {
    return kExitUsage;
  }
  CConsoleSink sink(stdout, stderr);
  sink.ShowProgress(ExportFormFor(chosen) == ExportForm::Binary);
  const ExportOutcome outcome = ExportPictures(
      loaded.pictures.Snapshot(), loaded.project.ProjectFilePath(), settings, chosen, sink);
  sink.ShowProgress(false);
  if (!outcome.refused) {
    PrintError(outcome.refused.message());
    return kExitUsage;
  }
  if (!outcome.headerWritten) {
    PrintError(outcome.headerWritten.message());
  }
  if (outcome.Failed()) {
    return kExitFailed;
  }
  return RecordDependencies(*depfile, kExitOk);
}

}  // namespace zentora::cli
