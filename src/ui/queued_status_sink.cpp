#include "ui/queued_status_sink.h"

#include <QMetaObject>
#include <QString>

#include <utility>

namespace zentora {

std::shared_ptr<CQueuedStatusSink> CQueuedStatusSink::Create(QObject* receiver, Target target) {
  return std::shared_ptr<CQueuedStatusSink>(new CQueuedStatusSink(receiver, std::move(target)));
}

CQueuedStatusSink::CQueuedStatusSink(QObject* receiver, Target target)
    : receiver_(receiver), target_(std::make_shared<const Target>(std::move(target))) {}

void CQueuedStatusSink::Post(std::function<void(const Target&)> call) {
  std::lock_guard lock(mutex_);
  if (receiver_ == nullptr) {
    return;
  }
  // Events posted from one thread to one receiver are delivered in order,
  // and a queued call whose receiver is deleted is dropped with it.
  QMetaObject::invokeMethod(
      receiver_, [target = target_, call = std::move(call)] { call(*target); },
      Qt::QueuedConnection);
}

void CQueuedStatusSink::ClearLines() {
  Post([](const Target& target) { target.clearLines(); });
}

void CQueuedStatusSink::AppendLine(std::string_view line) {
  Post([text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()))](
           const Target& target) { target.appendLine(text); });
}

void CQueuedStatusSink::SetProgress(int position) {
  Post([position](const Target& target) { target.setProgress(position); });
}

void CQueuedStatusSink::ShowProgress(bool visible) {
  Post([visible](const Target& target) { target.showProgress(visible); });
}

void CQueuedStatusSink::Detach() {
  std::lock_guard lock(mutex_);
  receiver_ = nullptr;
}

}  // namespace zentora
