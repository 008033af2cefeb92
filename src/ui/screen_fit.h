#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace zentora {

// The size a window asks for so that, with the window manager's frame
// around it, it lies within the screen's available area: each side is the
// wanted one or, where that is too large, what the area leaves.
QSize FitToScreen(QSize wanted, QRect available, QMargins frame);

// Where a window of `wanted` client size goes: fitted as above and, with
// the frame, centred in the available area. Placing the window ourselves
// keeps its title bar on the screen when the window is almost as tall as
// the screen, where the toolkit's own placement, which guesses a taller
// frame, would push the title bar off its top.
QRect PlaceOnScreen(QSize wanted, QRect available, QMargins frame);

// A guess at the window manager's frame in device-independent pixels, for
// a window not shown yet. Frames do not grow with the interface's scale, so
// the guess shrinks as the scale grows.
QMargins GuessedWindowFrame(qreal devicePixelRatio);

}  // namespace zentora
