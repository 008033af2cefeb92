#pragma once

class QDialog;
class QWidget;

namespace zentora {

// Shows a modeless tool window of the main window. The first time it is
// centred on the main window's client area; later it reappears where the
// user left it. It comes back restored, shown and active.
void ShowToolWindow(QDialog& window, const QWidget& mainClient, bool& placed);

}  // namespace zentora
