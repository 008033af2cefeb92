#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "base/status_sink.h"
#include "image/gallery_item_list.h"
#include "image/image_settings.h"

namespace zentora {

// The command word: 0 and 1 are states, the rest flags of one cycle.
enum WorkerCommand : int {
  CMD_EXIT = 0,
  CMD_IDLE = 1,
  CMD_COMPILE = 2,
  CMD_DOWNLOAD_IMAGES = 4,
  CMD_DOWNLOAD_WAVES = 8,
};

inline constexpr int kCompileAndDownload = CMD_COMPILE | CMD_DOWNLOAD_IMAGES | CMD_DOWNLOAD_WAVES;
inline constexpr int kDownloadOnly = CMD_DOWNLOAD_IMAGES | CMD_DOWNLOAD_WAVES;

// What one cycle works on. The interface thread fills it before it sets the
// command word, so the cycle never reads lists or settings that the user is
// editing meanwhile.
struct CycleInput {
  std::filesystem::path downloadFolder;  // ends with '/'
  std::vector<std::filesystem::path> pictures;
  std::vector<std::filesystem::path> sounds;
  ImageSettings settings;
};

// The background thread that compiles and downloads. The interface thread
// talks to it through the atomic command word; the worker polls it every
// 50 ms and reports every stage to the sink, from its own thread.
//
// Everything the thread touches (command word, cycle input, sink) lives in a
// block that the thread shares, so the owner may give up waiting for a
// transfer that hangs and go away without pulling anything from under it.
class CBuildWorker {
 public:
  static constexpr std::chrono::milliseconds kPollInterval{50};
  static constexpr std::chrono::milliseconds kCloseWait{5000};

  explicit CBuildWorker(std::shared_ptr<StatusSink> sink);
  // Stops the thread, waiting at most kCloseWait.
  ~CBuildWorker();
  CBuildWorker(const CBuildWorker&) = delete;
  CBuildWorker& operator=(const CBuildWorker&) = delete;

  void Start();
  int Command() const;
  bool IsIdle() const { return Command() == CMD_IDLE; }

  // "编译下载": ignored (false) while a cycle runs; otherwise makes the
  // download folder (one level), takes the snapshot and sets command 14.
  bool TriggerCompileDownload(const std::filesystem::path& downloadFolder,
                              const CGalleryItemList& pictures, const CGalleryItemList& sounds,
                              const ImageSettings& settings);
  // Downloads the four files of a folder: command 12; false while busy.
  bool TriggerDownload(const std::filesystem::path& folder);

  // Asks the thread to end: at its next poll, or after the step under way.
  void RequestExit();
  // Requests exit and waits up to `timeout`; true when the thread ended.
  // Otherwise the thread is let go and finishes on its own.
  bool Stop(std::chrono::milliseconds timeout = kCloseWait);

  // Blocks until the command word is idle again (or the thread ended).
  void WaitUntilIdle();
  // Whether any compile or transfer of the last finished cycle failed.
  bool LastCycleFailed() const;

 private:
  struct Shared;
  static void Run(std::shared_ptr<Shared> shared);
  static void RunCycle(Shared& shared);
  bool Trigger(int command, CycleInput input);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace zentora
