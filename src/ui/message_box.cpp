#include "ui/message_box.h"

#include <utility>

namespace zentora {

namespace {

AppMessageResponder& Responder() {
  static AppMessageResponder responder;
  return responder;
}

QMessageBox::Icon DefaultIcon(QMessageBox::StandardButtons buttons) {
  return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Question : QMessageBox::Warning;
}

}  // namespace

void SetAppMessageResponder(AppMessageResponder responder) {
  Responder() = std::move(responder);
}

QMessageBox::StandardButton ShowAppMessage(QWidget* parent, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) {
  const AppMessage message{QString::fromUtf8(kAppTitle), text, buttons,
                           icon == QMessageBox::NoIcon ? DefaultIcon(buttons) : icon};
  if (Responder()) {
    return Responder()(message);
  }
  QMessageBox box(message.icon, message.caption, message.text, message.buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace zentora
