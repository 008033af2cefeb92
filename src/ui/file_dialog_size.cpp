#include "ui/file_dialog_size.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>

namespace zentora {

QSize FileDialogSize(const QFontMetrics& metrics, const QSize& available) {
  // The dialog sizes its columns from these samples; each column also takes
  // its header's sort mark and padding, about two letters.
  const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
  int columns = 0;
  for (const char* sample :
       {"wwwwwwwwwwwwwwwwwwwwwwwwww", "128.88 GB", "mp3Folder", "10/29/81 02:02PM"}) {
    columns += metrics.horizontalAdvance(QLatin1String(sample)) + padding;
  }
  // The side bar of places, the scroll bar and the frames around them.
  const int sideBar = metrics.horizontalAdvance(QString(18, QLatin1Char('w')));
  const QSize wanted(columns + sideBar + 6 * padding, std::max(412, 28 * metrics.lineSpacing()));
  return wanted.boundedTo(available);
}

}  // namespace zentora
