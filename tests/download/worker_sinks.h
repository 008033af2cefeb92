#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status_sink.h"

namespace zentora::testing {

// What a worker reported, kept apart from the sink so that a test can read it
// after the worker let go of the sink, and a gate that stops the worker at
// one event until the test lets it go on. Events are written as
// CRecordingSink writes them: "line:…", "progress:N", "clear", "show",
// "hide".
class CSinkRecord {
 public:
  static constexpr std::chrono::seconds kGuard{30};

  // The first event equal to `event` holds the reporting thread until
  // Release(). Set before the worker starts.
  void HoldAt(std::string event) {
    std::lock_guard lock(mutex_);
    gate_ = std::move(event);
  }

  // Waits until the reporting thread is held at the gate; false if it is not
  // within the guard time (a hung test, never a measurement).
  bool WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kGuard, [&] { return held_; });
  }

  void Release() {
    {
      std::lock_guard lock(mutex_);
      released_ = true;
    }
    changed_.notify_all();
  }

  // Waits until the sink has been destroyed; false if it is not within the
  // guard time.
  bool WaitUntilSinkGone() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kGuard, [&] { return sinkGone_; });
  }

  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

  void Add(std::string event) {
    std::unique_lock lock(mutex_);
    events_.push_back(event);
    if (!held_ && !gate_.empty() && event == gate_) {
      held_ = true;
      changed_.notify_all();
      changed_.wait(lock, [&] { return released_; });
    }
  }

  void SinkGone() {
    {
      std::lock_guard lock(mutex_);
      sinkGone_ = true;
    }
    changed_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
  std::string gate_;
  bool held_ = false;
  bool released_ = false;
  bool sinkGone_ = false;
};

// A sink that writes into a CSinkRecord and tells it when it is destroyed.
class CRecordSink final : public StatusSink {
 public:
  explicit CRecordSink(std::shared_ptr<CSinkRecord> record) : record_(std::move(record)) {}
  ~CRecordSink() override { record_->SinkGone(); }
  CRecordSink(const CRecordSink&) = delete;
  CRecordSink& operator=(const CRecordSink&) = delete;

  void ClearLines() override { record_->Add("clear"); }
  void AppendLine(std::string_view line) override { record_->Add("line:" + std::string(line)); }
  void SetProgress(int position) override { record_->Add("progress:" + std::to_string(position)); }
  void ShowProgress(bool visible) override { record_->Add(visible ? "show" : "hide"); }

 private:
  std::shared_ptr<CSinkRecord> record_;
};

}  // namespace zentora::testing
