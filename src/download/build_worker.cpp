#include "download/build_worker.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

#include "base/output_folder.h"
#include "base/translation.h"
#include "download/download_protocol.h"
#include "download/resource_compile.h"
#include "project/project.h"

namespace zentora {

struct CBuildWorker::Shared {
  explicit Shared(std::shared_ptr<StatusSink> statusSink) : sink(std::move(statusSink)) {}

  std::atomic<int> command{CMD_IDLE};
  std::shared_ptr<StatusSink> sink;

  std::mutex mutex;
  std::condition_variable changed;  // command word set, cycle ended, thread ended
  CycleInput pending;               // guarded by mutex
  bool ended = false;               // guarded by mutex
  bool lastCycleFailed = false;     // guarded by mutex
};

namespace {

// Wakes every waiter after a change of the command word. Passing through the
// mutex first means a waiter that has just found its condition false is
// already waiting, so the wake-up cannot be lost.
void NotifyChange(std::mutex& mutex, std::condition_variable& changed) {
  { std::lock_guard lock(mutex); }
  changed.notify_all();
}

// One file: "下载<step>..." and the transfer, then the success line, or the
// failure line and the reason on a line of its own. A success that sent
// nothing says the module keeps what it held. A folder that the cycle could
// not hold fails the step before the module is contacted.
// `step` is a text of the "download" context.
bool DownloadStep(StatusSink& sink, const Status& folderHeld, const char* step, std::uint8_t code,
                  const std::filesystem::path& path) {
  const std::string name = Tr("download", step);
  sink.AppendLine(Fill(Tr("download", "下载%1..."), name));
  const Result<std::uint64_t> sent =
      folderHeld
          ? TransferFile(code, path, sink)
          : Result<std::uint64_t>(Status::Failure(Tr("download", "无法打开文件：") +
                                                  WithReason(path.string(), folderHeld.message())));
  if (!sent) {
    sink.AppendLine(Fill(Tr("download", "下载%1失败！"), name));
    sink.AppendLine(sent.error());
    return false;
  }
  sink.AppendLine(Fill(Tr("download", "下载%1成功！"), name));
  if (sent.value() == 0) {
    sink.AppendLine(Tr("download", "（文件为空，模块中原有内容未改变）"));
  }
  return true;
}

// One resource pair: the index, then (only when it went through) the data.
// Returns false when either transfer failed.
bool DownloadPair(StatusSink& sink, const Status& folderHeld, const char* indexStep,
                  std::uint8_t indexCode, const std::filesystem::path& index, const char* dataStep,
                  std::uint8_t dataCode, const std::filesystem::path& data) {
  return DownloadStep(sink, folderHeld, indexStep, indexCode, index) &&
         DownloadStep(sink, folderHeld, dataStep, dataCode, data);
}

}  // namespace

CBuildWorker::CBuildWorker(std::shared_ptr<StatusSink> sink)
    : shared_(std::make_shared<Shared>(std::move(sink))) {}

CBuildWorker::~CBuildWorker() {
  Stop();
}

void CBuildWorker::Start() {
  if (!thread_.joinable()) {
    thread_ = std::thread(&CBuildWorker::Run, shared_);
  }
}

int CBuildWorker::Command() const {
  return shared_->command.load();
}

bool CBuildWorker::Trigger(int command, CycleInput input) {
  if (shared_->command.load() != CMD_IDLE) {
    return false;  // a cycle runs: the request is ignored
  }
  {
    std::lock_guard lock(shared_->mutex);
    shared_->pending = std::move(input);
  }
  int idle = CMD_IDLE;
  if (!shared_->command.compare_exchange_strong(idle, command)) {
    return false;
  }
  NotifyChange(shared_->mutex, shared_->changed);
  return true;
}

bool CBuildWorker::TriggerCompileDownload(const std::filesystem::path& downloadFolder,
                                          const CGalleryItemList& pictures,
                                          const CGalleryItemList& sounds,
                                          const ImageSettings& settings) {
  if (!IsIdle()) {
    return false;
  }
  const std::filesystem::path folder = AsFolder(downloadFolder);
  // Only the last level is made; a failure shows up as files that cannot be
  // created.
  std::error_code ignored;
  std::filesystem::create_directory(folder, ignored);
  return Trigger(kCompileAndDownload,
                 CycleInput{folder, pictures.Snapshot(), sounds.Snapshot(), settings});
}

bool CBuildWorker::TriggerDownload(const std::filesystem::path& folder) {
  return Trigger(kDownloadOnly, CycleInput{AsFolder(folder), {}, {}, {}});
}

void CBuildWorker::RequestExit() {
  shared_->command.store(CMD_EXIT);
  NotifyChange(shared_->mutex, shared_->changed);
}

bool CBuildWorker::Stop(std::chrono::milliseconds timeout) {
  RequestExit();
  if (!thread_.joinable()) {
    return true;
  }
  bool ended;
  {
    std::unique_lock lock(shared_->mutex);
    ended = shared_->changed.wait_for(lock, timeout, [&] { return shared_->ended; });
  }
  if (ended) {
    thread_.join();
  } else {
    // A transfer hangs; the thread keeps what it uses alive by itself.
    thread_.detach();
  }
  return ended;
}

void CBuildWorker::WaitUntilIdle() {
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait(lock,
                        [&] { return shared_->ended || shared_->command.load() == CMD_IDLE; });
}

bool CBuildWorker::LastCycleFailed() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->lastCycleFailed;
}

void CBuildWorker::Run(std::shared_ptr<Shared> shared) {
  for (;;) {
    {
      // The poll: a set command word wakes it early, which only makes the
      // worker answer sooner than the 50 ms rhythm.
      std::unique_lock lock(shared->mutex);
      shared->changed.wait_for(lock, kPollInterval,
                               [&] { return shared->command.load() != CMD_IDLE; });
    }
    const int command = shared->command.load();
    if (command == CMD_EXIT) {
      break;
    }
    if (command == CMD_IDLE) {
      continue;
    }
    RunCycle(*shared);
    // Back to idle, unless an exit request came in meanwhile.
    int current = shared->command.load();
    while (current != CMD_EXIT && !shared->command.compare_exchange_weak(current, CMD_IDLE)) {
    }
    NotifyChange(shared->mutex, shared->changed);
    if (current == CMD_EXIT) {
      break;
    }
  }
  {
    std::lock_guard lock(shared->mutex);
    shared->ended = true;
  }
  shared->changed.notify_all();
}

void CBuildWorker::RunCycle(Shared& shared) {
  CycleInput input;
  {
    std::lock_guard lock(shared.mutex);
    input = std::move(shared.pending);
    shared.pending = CycleInput{};
  }
  StatusSink& sink = *shared.sink;
  const std::filesystem::path& folder = input.downloadFolder;
  const ResourceFiles files(folder);

  sink.ShowProgress(true);
  sink.ClearLines();
  sink.AppendLine(Tr("download", "开始"));

  // Held for the whole cycle, so that no other compile or download changes
  // or sends the folder's files meanwhile.
  const Result<COutputFolderLock> held = COutputFolderLock::Take(folder);
  bool failed = false;
  int picturesReady = 1;
  int soundsReady = 1;
  // Each flag is read when its step is reached, so an exit request skips
  // every step not yet begun.
  if ((shared.command.load() & CMD_COMPILE) != 0) {
    const ResourceCompileOutcome compiled =
        CompileResourceFolder(folder, held, input.pictures, input.sounds, input.settings, sink);
    picturesReady = compiled.replaced ? SucceededAsInt(compiled.pictures) : 0;
    soundsReady = compiled.replaced ? SucceededAsInt(compiled.sounds) : 0;
    failed = compiled.Failed() || compiled.Warned();
  }
  if (picturesReady == 1 && (shared.command.load() & CMD_DOWNLOAD_IMAGES) != 0) {
    failed |=
        !DownloadPair(sink, held.status(), QT_TRANSLATE_NOOP("download", "图片索引"),
                      DL_IMAGE_INDEX, files.imageIndex, QT_TRANSLATE_NOOP("download", "图片数据"),
                      DL_IMAGE_DATA, files.imageData);
  }
  if (soundsReady == 1 && (shared.command.load() & CMD_DOWNLOAD_WAVES) != 0) {
    failed |= !DownloadPair(
        sink, held.status(), QT_TRANSLATE_NOOP("download", "声音索引"), DL_WAVE_INDEX,
        files.waveIndex, QT_TRANSLATE_NOOP("download", "声音数据"), DL_WAVE_DATA, files.waveData);
  }

  sink.ShowProgress(false);
  sink.AppendLine(Tr("download", "结束"));
  std::lock_guard lock(shared.mutex);
  shared.lastCycleFailed = failed;
}

}  // namespace zentora
