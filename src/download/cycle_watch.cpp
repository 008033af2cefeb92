#include "download/cycle_watch.h"

#include "download/build_worker.h"

namespace zentora {

CCycleWatch::CCycleWatch(const CBuildWorker& worker, QObject* parent)
    : QObject(parent), worker_(worker) {
  poll_.setInterval(CBuildWorker::kPollInterval);
  connect(&poll_, &QTimer::timeout, this, &CCycleWatch::OnPoll);
}

void CCycleWatch::Watch() {
  const int command = worker_.Command();
  if (running_ || command == CMD_IDLE || command == CMD_EXIT) {
    return;
  }
  running_ = true;
  poll_.start();
  Q_EMIT CycleStarted();
}

void CCycleWatch::OnPoll() {
  const int command = worker_.Command();
  if (command == CMD_EXIT) {
    // The thread is ending with its window; no cycle will end to report.
    poll_.stop();
    return;
  }
  if (command == CMD_IDLE) {
    poll_.stop();
    running_ = false;
    Q_EMIT CycleEnded();
  }
}

}  // namespace zentora
