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
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButton defaultButton) {
  const AppMessage message{QString::fromUtf8(kAppTitle), text, buttons,
                           icon == QMessageBox::NoIcon ? DefaultIcon(buttons) : icon,
                           defaultButton};
  if (Responder()) {
    return Responder()(message);
  }
  QMessageBox box(message.icon, message.caption, message.text, message.buttons, parent);
  if (message.defaultButton != QMessageBox::NoButton) {
    box.setDefaultButton(message.defaultButton);
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace zentora
