#include <QCommandLineParser>

#include <cstdio>
#include <variant>

#include "base/output_folder.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/image_options.h"
#include "download/resource_compile.h"

namespace zentora::cli {

int RunCompile(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "把工程的图片编译为 image.bin 和 image.idx，再把声音编译为\n"
                                       "wave.bin 和 wave.idx。DIR 默认为工程文件夹 + output/。"));
  std::variant<CompileRequest, int> parsed =
      ParseCompileRequest(parser, arguments, "compile PROJECT");
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  CompileRequest& request = std::get<CompileRequest>(parsed);
  const std::filesystem::path& outFolder = request.outFolder;

  CConsoleSink sink(stdout, stderr);
  sink.ShowProgress(true);
  const ResourceCompileOutcome compiled = CompileResourceFolder(
      outFolder, COutputFolderLock::Take(outFolder), request.loaded.pictures.Snapshot(),
      request.loaded.sounds.Snapshot(), request.settings, sink);
  sink.ShowProgress(false);
  if (compiled.Failed()) {
    return kExitFailed;
  }
  // A line about input that did not compile as given fails the command too,
  // so that a script does not send such files on as if all were well. The
  // files were written all the same, so their dependencies are recorded.
  return RecordDependencies(request.depfile, compiled.Warned() ? kExitFailed : kExitOk);
}

}  // namespace zentora::cli
