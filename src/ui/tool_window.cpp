#include "ui/tool_window.h"

#include <QDialog>
#include <QWidget>

namespace zentora {

void ShowToolWindow(QDialog& window, const QWidget& mainClient, bool& placed) {
  if (!placed) {
    const QRect client(mainClient.mapToGlobal(QPoint(0, 0)), mainClient.size());
    // Right and bottom edges are exclusive, as the halves below expect.
    const int cx = (client.left() + client.left() + client.width()) / 2;
    const int cy = (client.top() + client.top() + client.height()) / 2;
    // The whole window, frame included, is centred. A window not yet shown
    // has no frame to measure, so the main window's frame stands in: the
    // window manager decorates both alike. move() places the frame's corner.
    const QWidget& main = *mainClient.window();
    const QSize frame = main.frameGeometry().size() - main.geometry().size();
    const QSize size = window.size() + frame;
    window.move(cx - size.width() / 2, cy - size.height() / 2);
    placed = true;
  }
  window.showNormal();
  window.raise();
  window.activateWindow();
}

}  // namespace zentora
