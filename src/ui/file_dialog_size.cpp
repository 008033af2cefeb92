#include "ui/file_dialog_size.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QString>
#include <QTreeView>

#include <algorithm>

namespace zentora {

namespace {

// Each column also takes its header's sort mark and padding, about two
// letters.
int ColumnPadding(const QFontMetrics& metrics) {
  return 2 * metrics.horizontalAdvance(QLatin1Char('M'));
}

constexpr int kDateColumn = 3;

}  // namespace

int DateColumnWidth(const QFontMetrics& metrics) {
  const QDateTime late(QDate(2088, 12, 28), QTime(23, 58, 58));
  return metrics.horizontalAdvance(QLocale::system().toString(late, QLocale::ShortFormat)) +
         ColumnPadding(metrics);
}

QSize FileDialogSize(const QFontMetrics& metrics, const QSize& available) {
  const int padding = ColumnPadding(metrics);
  // The dialog sizes the other columns from these samples.
  int columns = DateColumnWidth(metrics);
  for (const char* sample : {"wwwwwwwwwwwwwwwwwwwwwwwwww", "128.88 GB", "mp3Folder"}) {
    columns += metrics.horizontalAdvance(QLatin1String(sample)) + padding;
  }
  // The side bar of places, the scroll bar and the frames around them.
  const int sideBar = metrics.horizontalAdvance(QString(18, QLatin1Char('w')));
  const QSize wanted(columns + sideBar + 6 * padding, std::max(412, 28 * metrics.lineSpacing()));
  return wanted.boundedTo(available);
}

void FitFileDialog(QFileDialog& dialog) {
  const QScreen* screen = dialog.parentWidget() != nullptr ? dialog.parentWidget()->screen()
                                                           : QGuiApplication::primaryScreen();
  dialog.resize(FileDialogSize(dialog.fontMetrics(), screen->availableGeometry().size()));
  if (auto* list = dialog.findChild<QTreeView*>()) {
    QHeaderView* header = list->header();
    header->resizeSection(kDateColumn, std::max(header->sectionSize(kDateColumn),
                                                DateColumnWidth(dialog.fontMetrics())));
  }
}

}  // namespace zentora
