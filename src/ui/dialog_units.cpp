#include "ui/dialog_units.h"

#include <QWidget>

#include <cmath>

namespace zentora {

CDialogUnits CDialogUnits::ForWidget(const QWidget* widget) {
  return CDialogUnits(widget != nullptr ? widget->logicalDpiX() : 96.0);
}

int CDialogUnits::X(int du) const {
  return static_cast<int>(std::lround(du * 7.0 / 4.0 * scale_));
}

int CDialogUnits::Y(int du) const {
  return static_cast<int>(std::lround(du * 14.0 / 8.0 * scale_));
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const {
  // Edges are converted, not sizes, so neighbouring controls stay flush.
  const int left = X(x);
  const int top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

}  // namespace zentora
