#include "font/library_worker.h"

#include <utility>

namespace zentora {

CLibraryWorker::CLibraryWorker(std::shared_ptr<StatusSink> sink, Finished finished)
    : sink_(std::move(sink)), finished_(std::move(finished)) {}

void CLibraryWorker::Request(LibraryRequest request) {
  {
    std::lock_guard lock(mutex_);
    request_ = std::move(request);
  }
  if (!thread_.joinable()) {
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
  }
  wake_.notify_one();
}

void CLibraryWorker::Run(std::stop_token stop) {
  for (;;) {
    LibraryRequest request;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return request_.has_value(); })) {
        return;
      }
      request = std::move(*request_);
      request_.reset();
    }
    sink_->SetProgress(0);
    sink_->ShowProgress(true);
    Outcome outcome = GenerateLibrary(request, *sink_, stop);
    sink_->ShowProgress(false);
    finished_(std::move(outcome));
  }
}

}  // namespace zentora
