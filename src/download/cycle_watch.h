#pragma once

#include <QObject>
#include <QTimer>

namespace zentora {

class CBuildWorker;

// Tells the interface thread when a cycle of the build worker ends. The
// worker never calls into the interface thread, so its command word is read
// on a timer at the worker's own rhythm, and only while a cycle is known to
// run: the windows that trigger one call Watch() afterwards.
class CCycleWatch : public QObject {
  Q_OBJECT

 public:
  explicit CCycleWatch(const CBuildWorker& worker, QObject* parent = nullptr);

  // After a trigger: when the worker is busy and no cycle was being watched,
  // CycleStarted is emitted and the command word is read until it is idle.
  void Watch();
  bool CycleRuns() const { return running_; }

 Q_SIGNALS:
  void CycleStarted();
  void CycleEnded();

 private:
  void OnPoll();

  const CBuildWorker& worker_;
  QTimer poll_;
  bool running_ = false;
};

}  // namespace zentora
