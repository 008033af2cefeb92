#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace zentora {

inline constexpr const char* kAppTitle = "Zentora助手";

// Every message box of the program goes through here: the caption is the
// application's title, and when the caller names no icon a box that asks
// (Yes/No, with or without Cancel) shows the question icon and any other box
// the exclamation icon. defaultButton is what Enter answers (the platform's
// choice when none is named).
QMessageBox::StandardButton ShowAppMessage(
    QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::Icon icon = QMessageBox::NoIcon,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// What a message box would have shown; tests answer it instead of a person.
struct AppMessage {
  QString caption;
  QString text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};
using AppMessageResponder = std::function<QMessageBox::StandardButton(const AppMessage&)>;

// While a responder is installed no box is shown: it receives each message
// and its answer is returned. Pass an empty function to show boxes again.
void SetAppMessageResponder(AppMessageResponder responder);

}  // namespace zentora
