#include "image/image_gallery.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace zentora {

namespace {

const QColor kGradientTop(198, 208, 224);
const QColor kGradientBottom(219, 228, 242);
const QColor kCaptionColour(0, 0, 255);
const QColor kSelectionColour(0, 150, 255);
constexpr int kCaptionGap = 10;
constexpr int kCaptionHeight = 20;

QFont CaptionFont() {
  QFont font(QStringLiteral("Arial"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

CImageGallery::CImageGallery(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setSingleStep(CGalleryGeometry::kScrollLine);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  geometry_.Layout(viewport()->size(), 0);
}

void CImageGallery::SetDragSwitches(bool removeByDraggingOut, bool reorderByDragging) {
  removeByDraggingOut_ = removeByDraggingOut;
  reorderByDragging_ = reorderByDragging;
}

QPoint CImageGallery::ScrollPosition() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CImageGallery::Layout() {
  geometry_.Layout(viewport()->size(), items_.GetCount());
  // Qt's maximum is the last position, the range less one page.
  QScrollBar* bar = verticalScrollBar();
  const int page = viewport()->height();
  bar->setPageStep(page);
  bar->setRange(0, std::max(0, geometry_.VerticalMaximum() - page));
  viewport()->update();
}

void CImageGallery::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Layout();
}

void CImageGallery::scrollContentsBy(int /*dx*/, int /*dy*/) {
  viewport()->update();
}

void CImageGallery::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  const QRect client = viewport()->rect();
  QLinearGradient gradient(0, 0, 0, client.height());
  gradient.setColorAt(0, kGradientTop);
  gradient.setColorAt(1, kGradientBottom);
  painter.fillRect(client, gradient);

  const QPoint scroll = ScrollPosition();
  for (int row = 0; row < geometry_.Rows(); ++row) {
    for (int column = 0; column < geometry_.Columns(); ++column) {
      const int index = row * geometry_.Columns() + column;
      if (index >= items_.GetCount()) {
        break;
      }
      const QRect cell = geometry_.CellRect(row, column, scroll);
      // Captions reach into the row below, so a cell just above the view
      // may still show one.
      if (cell.bottom() + kCaptionHeight < 0 || cell.top() > client.bottom()) {
        continue;
      }
      PaintCell(painter, index, cell);
    }
  }
}

void CImageGallery::PaintCell(QPainter& painter, int index, const QRect& cell) {
  const QRect box = CGalleryGeometry::ThumbnailBox(cell, CGalleryGeometry::ThumbnailSize(QSize()));
  if (index == items_.GetSelected()) {
    painter.setPen(QPen(kSelectionColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
  }
  const QRect captionRect(box.left(), box.bottom() + 1 + kCaptionGap, box.width(), kCaptionHeight);
  painter.setFont(CaptionFont());
  painter.setPen(kCaptionColour);
  painter.drawText(captionRect, Qt::AlignCenter | Qt::TextDontClip,
                   QString::fromStdString(GalleryCaption(items_.GetPath(index))));
}

}  // namespace zentora
