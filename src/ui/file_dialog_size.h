#pragma once

#include <QSize>

class QFontMetrics;

namespace zentora {

// The size Qt's file dialog opens at: wide enough that its list shows the
// name, size, type and date columns whole beside the side bar, in the
// dialog's font, and no larger than `available` (the screen's free area).
// Qt's own size, 600 × 412 at any font, cuts the columns.
QSize FileDialogSize(const QFontMetrics& metrics, const QSize& available);

}  // namespace zentora
