#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

#include "base/status_sink.h"

namespace zentora {

// A sink that any thread may call and whose calls run on the interface
// thread, in the order they were made, without the caller waiting. Once the
// window that receives them detaches (it is going away), calls are dropped:
// a worker that outlives its window finds nothing to draw on.
class CQueuedStatusSink final : public StatusSink {
 public:
  struct Target {
    std::function<void()> clearLines;
    std::function<void(const QString&)> appendLine;
    std::function<void(int)> setProgress;
    std::function<void(bool)> showProgress;
  };

  // receiver lives on the interface thread; the target's functions run there.
  static std::shared_ptr<CQueuedStatusSink> Create(QObject* receiver, Target target);

  void ClearLines() override;
  void AppendLine(std::string_view line) override;
  void SetProgress(int position) override;
  void ShowProgress(bool visible) override;

  // Called on the interface thread before receiver is destroyed.
  void Detach();

 private:
  CQueuedStatusSink(QObject* receiver, Target target);
  void Post(std::function<void(const Target&)> call);

  std::mutex mutex_;
  QObject* receiver_;
  std::shared_ptr<const Target> target_;
};

}  // namespace zentora
