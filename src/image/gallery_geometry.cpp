#include "image/gallery_geometry.h"

#include <algorithm>

namespace zentora {

void CGalleryGeometry::Layout(QSize client, int count, const std::function<int(int)>& cellHeight) {
  client_ = client;
  count_ = std::max(0, count);
  columns_ = std::max(1, client.width() / kCellSize);
  rows_ = (count_ + columns_ - 1) / columns_;
  rowTops_.assign(1, 0);
  rowTops_.reserve(static_cast<std::size_t>(rows_) + 1);
  for (int row = 0; row < rows_; ++row) {
    int height = kCellSize;
    if (cellHeight) {
      for (int index = row * columns_; index < std::min(count_, (row + 1) * columns_); ++index) {
        height = std::max(height, cellHeight(index));
      }
    }
    rowTops_.push_back(rowTops_.back() + height);
  }
}

int CGalleryGeometry::CellHeight(QSize thumbnail, int textHeight) {
  const int boxBottom = kCellSize / 2 + thumbnail.height() / 2;
  return std::max(kCellSize,
                  boxBottom + kCaptionGap + std::max(kMinimumTextHeight, textHeight) + kRowGap);
}

QRect CGalleryGeometry::TextRect(const QRect& cell, const QRect& box, int textHeight) {
  constexpr int kMargin = 2;
  return {cell.left() + kMargin, box.top() + box.height() + kCaptionGap, cell.width() - 2 * kMargin,
          std::max(kMinimumTextHeight, textHeight)};
}

QRect CGalleryGeometry::CellRect(int row, int column, QPoint scroll) const {
  // Rows past the last (a cell asked for beyond the list) continue at the
  // plain height.
  const int top = row < rows_ ? rowTops_[static_cast<std::size_t>(row)]
                              : rowTops_.back() + (row - rows_) * kCellSize;
  const int height = row < rows_ ? rowTops_[static_cast<std::size_t>(row) + 1] - top : kCellSize;
  return {column * kCellSize - scroll.x(), top - scroll.y(), kCellSize, height};
}

int CGalleryGeometry::RowAt(int y) const {
  if (rows_ == 0) {
    return 0;
  }
  const auto after = std::upper_bound(rowTops_.begin(), rowTops_.end() - 1, y);
  return std::max(0, static_cast<int>(after - rowTops_.begin()) - 1);
}

int CGalleryGeometry::ScrollToShow(int index, int scrollY) const {
  if (index < 0 || index >= count_) {
    return scrollY;
  }
  const QRect cell = CellRectOfIndex(index, QPoint(0, 0));
  if (cell.bottom() + 1 > scrollY + client_.height()) {
    scrollY = cell.bottom() + 1 - client_.height();
  }
  // A cell taller than the view shows its top, where its thumbnail is.
  return std::min(scrollY, cell.top());
}

int CGalleryGeometry::Stepped(int selected, Step step, int pageRows) const {
  if (count_ == 0) {
    return -1;
  }
  if (selected < 0 || selected >= count_) {
    return step == Step::Up || step == Step::PageUp || step == Step::Last ? count_ - 1 : 0;
  }
  const int page = std::max(1, pageRows) * columns_;
  switch (step) {
    case Step::Left:
      return std::max(0, selected - 1);
    case Step::Right:
      return std::min(count_ - 1, selected + 1);
    case Step::Up:
      return selected >= columns_ ? selected - columns_ : selected;
    case Step::Down:
      // From a full row onto a shorter last one, the last entry.
      return selected / columns_ + 1 < rows_ ? std::min(count_ - 1, selected + columns_) : selected;
    case Step::PageUp:
      return selected >= page ? selected - page : selected % columns_;
    case Step::PageDown:
      return std::min(count_ - 1, selected + page);
    case Step::First:
      return 0;
    case Step::Last:
      return count_ - 1;
  }
  return selected;
}

QRect CGalleryGeometry::CellRectOfIndex(int index, QPoint scroll) const {
  return CellRect(index / columns_, index % columns_, scroll);
}

QRect CGalleryGeometry::ThumbnailBox(const QRect& cell, QSize thumbnail) {
  const QPoint centre(cell.left() + cell.width() / 2, cell.top() + kCellSize / 2);
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
  if (point.y() + scroll.y() < 0 || point.x() + scroll.x() < 0 ||
      point.y() + scroll.y() >= VerticalMaximum()) {
    return {};
  }
  const int row = RowAt(point.y() + scroll.y());
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
  const QRect square(hit.rect.topLeft(), QSize(kCellSize, kCellSize));
  const QRect box = square.adjusted(dx, dy, -dx, -dy);
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
  constexpr int kInset = 2;
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
