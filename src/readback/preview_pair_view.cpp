#include "readback/preview_pair_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace zentora {

CPreviewPairView::CPreviewPairView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setBackgroundRole(QPalette::Dark);
  viewport()->setAutoFillBackground(true);
}

void CPreviewPairView::SetPictures(QImage left, QImage right) {
  left_ = std::move(left);
  right_ = std::move(right);
  UpdateScrollRange();
  viewport()->update();
}

void CPreviewPairView::SetZoom(int zoom) {
  if (zoom == zoom_ || zoom < 1) {
    return;
  }
  // The picture pixel at the middle of a half stays where it was.
  const QPoint middle(horizontalScrollBar()->value() + HalfWidth() / 2,
                      verticalScrollBar()->value() + viewport()->height() / 2);
  const int old = zoom_;
  zoom_ = zoom;
  UpdateScrollRange();
  horizontalScrollBar()->setValue(middle.x() * zoom_ / old - HalfWidth() / 2);
  verticalScrollBar()->setValue(middle.y() * zoom_ / old - viewport()->height() / 2);
  viewport()->update();
}

QPoint CPreviewPairView::ScrollPosition() const {
  return {horizontalScrollBar()->value() / zoom_, verticalScrollBar()->value() / zoom_};
}

int CPreviewPairView::HalfWidth() const {
  return std::max(0, (viewport()->width() - kGap) / 2);
}

void CPreviewPairView::UpdateScrollRange() {
  const int half = HalfWidth();
  const int page = viewport()->height();
  horizontalScrollBar()->setPageStep(half);
  horizontalScrollBar()->setSingleStep(zoom_ * 8);
  horizontalScrollBar()->setRange(0, std::max(0, left_.width() * zoom_ - half));
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(zoom_ * 8);
  verticalScrollBar()->setRange(0, std::max(0, left_.height() * zoom_ - page));
}

void CPreviewPairView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void CPreviewPairView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int half = HalfWidth();
  const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  // Only the picture pixels in view are scaled: at 8 × a whole picture would
  // be 64 times its size.
  const int first = scroll.x() / zoom_;
  const int top = scroll.y() / zoom_;
  const int columns = std::min(left_.width() - first, half / zoom_ + 2);
  const int rows = std::min(left_.height() - top, viewport()->height() / zoom_ + 2);
  if (columns <= 0 || rows <= 0) {
    return;
  }
  const QRect source(first, top, columns, rows);
  const QPoint offset(first * zoom_ - scroll.x(), top * zoom_ - scroll.y());
  const QSize size(columns * zoom_, rows * zoom_);
  int x = 0;
  for (const QImage* picture : {&left_, &right_}) {
    painter.save();
    painter.setClipRect(QRect(x, 0, half, viewport()->height()));
    painter.drawImage(QRect(QPoint(x, 0) + offset, size), *picture, source);
    painter.restore();
    x += half + kGap;
  }
}

}  // namespace zentora
