#pragma once

#include <QSize>

class QFileDialog;
class QFontMetrics;

namespace zentora {

// The width of the file list's date column: a late date and time as the
// list writes them (the locale's short form), with the header's padding.
// Qt sizes the column for "10/29/81 02:02PM", which cuts longer forms.
int DateColumnWidth(const QFontMetrics& metrics);

// The size Qt's file dialog opens at: wide enough that its list shows the
// name, size, type and date columns whole beside the side bar, in the
// dialog's font, and no larger than `available` (the screen's free area).
// Qt's own size, 600 × 412 at any font, cuts the columns.
QSize FileDialogSize(const QFontMetrics& metrics, const QSize& available);

// Gives a dialog that size on its screen and its date column that width.
void FitFileDialog(QFileDialog& dialog);

}  // namespace zentora
