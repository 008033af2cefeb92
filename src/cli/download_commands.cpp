#include <QCommandLineParser>

#include <cstdio>
#include <functional>
#include <memory>
#include <system_error>
#include <variant>

#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/image_options.h"
#include "download/build_worker.h"

namespace zentora::cli {

namespace {

// Runs one cycle on the real worker thread and waits for it, as the desktop
// program's worker would run it.
int RunWorkerCycle(const std::function<bool(CBuildWorker&)>& trigger) {
  auto sink = std::make_shared<CConsoleSink>(stdout, stderr);
  CBuildWorker worker(sink);
  worker.Start();
  if (!trigger(worker)) {
    PrintError(Tr("cli", "后台任务没有接受命令"));
    return kExitFailed;
  }
  worker.WaitUntilIdle();
  const bool failed = worker.LastCycleFailed();
  worker.Stop();
  return failed ? kExitFailed : kExitOk;
}

}  // namespace

int RunDownload(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli", "把 DIR 中的 image.idx、image.bin、wave.idx 和 wave.bin 下载到模块。"));
  parser.addPositionalArgument("DIR", TrQ("cli", "存放这四个资源文件的文件夹。"), "download DIR");
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::filesystem::path folder = ToPath(parser.positionalArguments()[0]);
  std::error_code error;
  if (const std::filesystem::file_status status = std::filesystem::status(folder, error);
      !std::filesystem::is_directory(status)) {
    PrintError(
        (std::filesystem::exists(status) ? Tr("cli", "不是文件夹：") : Tr("cli", "目录不存在！")) +
        folder.string());
    return kExitUsage;
  }
  return RunWorkerCycle([&](CBuildWorker& worker) { return worker.TriggerDownload(folder); });
}

int RunBuild(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "把工程编译到 DIR（默认：工程文件夹 + output/），然后\n"
                                       "把四个资源文件下载到模块。"));
  std::variant<CompileRequest, int> parsed =
      ParseCompileRequest(parser, arguments, "build PROJECT");
  if (const int* done = std::get_if<int>(&parsed)) {
    return *done;
  }
  CompileRequest& request = std::get<CompileRequest>(parsed);
  const int status = RunWorkerCycle([&](CBuildWorker& worker) {
    return worker.TriggerCompileDownload(request.outFolder, request.loaded.pictures,
                                         request.loaded.sounds, request.settings);
  });
  // The worker tells only whether the whole cycle went through; a failed
  // download keeps the old record, and the next build runs again.
  return status == kExitOk ? RecordDependencies(request.depfile, status) : status;
}

}  // namespace zentora::cli
