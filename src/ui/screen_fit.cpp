#include "ui/screen_fit.h"

#include <QtMath>

#include <algorithm>

namespace zentora {

namespace {

// A title bar and thin borders, in device pixels, as the usual window
// managers draw them.
constexpr int kFrameSide = 4;
constexpr int kFrameTop = 32;

}  // namespace

QSize FitToScreen(QSize wanted, QRect available, QMargins frame) {
  const QSize room = available.marginsRemoved(frame).size();
  return wanted.boundedTo(room.expandedTo(QSize(1, 1)));
}

QRect PlaceOnScreen(QSize wanted, QRect available, QMargins frame) {
  const QSize size = FitToScreen(wanted, available, frame);
  const QSize outer = size.grownBy(frame);
  const QPoint frameCorner(available.x() + std::max(0, available.width() - outer.width()) / 2,
                           available.y() + std::max(0, available.height() - outer.height()) / 2);
  return QRect(frameCorner + QPoint(frame.left(), frame.top()), size);
}

QMargins GuessedWindowFrame(qreal devicePixelRatio) {
  const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
  const int side = qCeil(kFrameSide / ratio);
  return QMargins(side, qCeil(kFrameTop / ratio), side, side);
}

}  // namespace zentora
