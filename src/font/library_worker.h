#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "base/outcome.h"
#include "base/status_sink.h"
#include "font/font_library.h"

namespace zentora {

// Writes font libraries one request at a time on a thread of its own,
// started by the first request and kept for the worker's life. Destroying
// the worker stops a generation under way: its temporary file goes with it
// and an existing library stays as it was.
class CLibraryWorker {
 public:
  // Runs on the worker thread once a generation has ended.
  using Finished = std::function<void(Outcome outcome)>;

  // Each generation shows the sink's progress from its start to its end.
  CLibraryWorker(std::shared_ptr<StatusSink> sink, Finished finished);
  CLibraryWorker(const CLibraryWorker&) = delete;
  CLibraryWorker& operator=(const CLibraryWorker&) = delete;

  // The worker takes its own copy of everything the generation uses. A
  // request that arrives before the previous one was taken replaces it.
  void Request(LibraryRequest request);

 private:
  void Run(std::stop_token stop);

  std::shared_ptr<StatusSink> sink_;
  Finished finished_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::optional<LibraryRequest> request_;  // guarded by mutex_
  // Last: going, it stops the generation and joins the thread before
  // anything the thread uses goes.
  std::jthread thread_;
};

}  // namespace zentora
