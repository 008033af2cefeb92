#include "image/gallery_geometry.h"

#include <algorithm>

namespace zentora {

void CGalleryGeometry::Layout(QSize client, int count) {
  client_ = client;
  count_ = std::max(0, count);
  columns_ = std::max(1, client.width() / kCellSize);
  rows_ = (count_ + columns_ - 1) / columns_;
}

QRect CGalleryGeometry::CellRect(int row, int column, QPoint scroll) const {
  return {column * kCellSize - scroll.x(), row * kCellSize - scroll.y(), kCellSize, kCellSize};
}

QRect CGalleryGeometry::CellRectOfIndex(int index, QPoint scroll) const {
  return CellRect(index / columns_, index % columns_, scroll);
}

QRect CGalleryGeometry::ThumbnailBox(const QRect& cell, QSize thumbnail) {
  const QPoint centre(cell.left() + cell.width() / 2, cell.top() + cell.height() / 2);
  const int halfWidth = thumbnail.width() / 2;
  const int halfHeight = thumbnail.height() / 2;
  return {centre.x() - halfWidth, centre.y() - halfHeight, 2 * halfWidth, 2 * halfHeight};
}

QSize CGalleryGeometry::ThumbnailSize(QSize picture) {
  if (picture.width() <= 0 || picture.height() <= 0) {
    return {kFallbackThumbnail, kFallbackThumbnail};
  }
  const double scale = std::min(static_cast<double>(kThumbnailExtent) / picture.height(),
                                static_cast<double>(kThumbnailExtent) / picture.width());
  return {static_cast<int>(picture.width() * scale), static_cast<int>(picture.height() * scale)};
}

CGalleryGeometry::Hit CGalleryGeometry::HitTestCell(QPoint point, QPoint scroll) const {
  if (point.y() + scroll.y() < 0 || point.x() + scroll.x() < 0) {
    return {};
  }
  const int row = (point.y() + scroll.y()) / kCellSize;
  const int column = std::min(columns_ - 1, (point.x() + scroll.x()) / kCellSize);
  const int index = row * columns_ + column;
  if (index >= count_) {
    return {};
  }
  const QRect cell = CellRect(row, column, scroll);
  if (!cell.contains(point)) {
    return {};
  }
  return {index, cell};
}

CGalleryGeometry::Hit CGalleryGeometry::HitTestThumbnail(
    QPoint point, QPoint scroll, const std::function<QSize(int)>& thumbnailSize) const {
  Hit hit = HitTestCell(point, scroll);
  if (hit.index < 0) {
    return {};
  }
  // Columns past the last sit right of the grid; the cell test above already
  // clamped them to the last column and found the point outside.
  const QSize size = thumbnailSize(hit.index);
  const int dx = (kCellSize - size.width()) / 2;
  const int dy = (kCellSize - size.height()) / 2;
  const QRect box = hit.rect.adjusted(dx, dy, -dx, -dy);
  if (!box.contains(point)) {
    return {};
  }
  return {hit.index, box};
}

CGalleryGeometry::DropTarget CGalleryGeometry::DropTargetAt(QPoint point, QPoint scroll) const {
  const Hit hit = HitTestCell(point, scroll);
  if (hit.index < 0) {
    return {};
  }
  const int centre = hit.rect.left() + hit.rect.width() / 2;
  return {hit.index, hit.rect, point.x() > centre};
}

QRect CGalleryGeometry::InsertionBar(const DropTarget& target) {
  constexpr int kInset = 20;
  const int edge = target.after ? target.cell.left() + target.cell.width() : target.cell.left();
  return {edge - 1, target.cell.top() + kInset, 3, target.cell.height() - 2 * kInset};
}

bool CGalleryGeometry::ShowsDragWindow(QPoint offsetFromPress) {
  return offsetFromPress.x() * offsetFromPress.x() + offsetFromPress.y() * offsetFromPress.y() >=
         kDragWindowDistanceSquared;
}

CGalleryGeometry::AutoScroll CGalleryGeometry::AutoScrollAt(QPoint point, QSize client) {
  if (!QRect(QPoint(), client).contains(point)) {
    return AutoScroll::Off;
  }
  const int fromTop = point.y();
  const int fromBottom = client.height() - point.y();
  if (fromTop >= kAutoScrollZone && fromBottom >= kAutoScrollZone) {
    return AutoScroll::Off;
  }
  if (fromTop < kAutoScrollEdge) {
    return AutoScroll::Up;
  }
  if (fromBottom < kAutoScrollEdge) {
    return AutoScroll::Down;
  }
  return AutoScroll::Idle;
}

std::string GalleryCaption(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

}  // namespace zentora
