#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <filesystem>
#include <functional>
#include <string>

namespace zentora {

// The gallery's grid without a window: cells of 100 × 100 pixels in as many
// columns as the width holds, thumbnails centred in their cells, and hit
// testing against cells or thumbnail boxes. Client coordinates throughout;
// scroll is the position of the scroll bars.
class CGalleryGeometry {
 public:
  static constexpr int kCellSize = 100;
  // Thumbnails fit a square of the cell less 20 pixels.
  static constexpr int kThumbnailExtent = kCellSize - 20;
  static constexpr int kFallbackThumbnail = 32;
  static constexpr int kScrollLine = 40;

  // Recomputes columns and rows for a client size and an entry count.
  void Layout(QSize client, int count);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  int Count() const { return count_; }
  QSize Client() const { return client_; }
  // Scroll ranges: vertical 0 .. rows × 100 with a page of the client
  // height; horizontal 0 .. columns × 100 with a page of the client width.
  int VerticalMaximum() const { return rows_ * kCellSize; }
  int HorizontalMaximum() const { return columns_ * kCellSize; }

  QRect CellRect(int row, int column, QPoint scroll) const;
  QRect CellRectOfIndex(int index, QPoint scroll) const;

  // A thumbnail of size within its cell: centred, with even sides.
  static QRect ThumbnailBox(const QRect& cell, QSize thumbnail);
  // The scaled size of a picture of size, or 32 × 32 for none.
  static QSize ThumbnailSize(QSize picture);

  struct Hit {
    int index = -1;
    QRect rect;
  };
  // Against whole cells.
  Hit HitTestCell(QPoint point, QPoint scroll) const;
  // Against thumbnail boxes; thumbnailSize gives an entry's thumbnail size.
  Hit HitTestThumbnail(QPoint point, QPoint scroll,
                       const std::function<QSize(int)>& thumbnailSize) const;

  // Where a dragged entry lands for a pointer at point: before the cell
  // under it, or after it when the pointer is right of the cell's centre.
  // The insertion bar and the drop both follow this one answer, so the bar
  // never shows a place the drop does not use.
  struct DropTarget {
    int index = -1;  // the cell under the pointer; -1 for none
    QRect cell;
    bool after = false;
    // The position between entries for CGalleryItemList::Move.
    int Position() const { return index + (after ? 1 : 0); }
  };
  DropTarget DropTargetAt(QPoint point, QPoint scroll) const;
  // A bar 3 pixels wide on the target's edge, 20 pixels short of the cell's
  // top and bottom.
  static QRect InsertionBar(const DropTarget& target);

  // The drag window shows once the pointer is this far (squared) from the
  // press point, so that a click does not flash it.
  static constexpr int kDragWindowDistanceSquared = 26;
  static bool ShowsDragWindow(QPoint offsetFromPress);

  // What the auto-scroll timer does for a pointer at point while dragging:
  // within 40 pixels of the top or bottom edge it runs, within 30 it
  // scrolls a line each tick.
  enum class AutoScroll { Off, Idle, Up, Down };
  static constexpr int kAutoScrollZone = 40;
  static constexpr int kAutoScrollEdge = 30;
  static AutoScroll AutoScrollAt(QPoint point, QSize client);

 private:
  int columns_ = 1;
  int rows_ = 0;
  int count_ = 0;
  QSize client_;
};

// The caption of a gallery cell: the file name without folder and without
// the text from its last full stop; a name without a full stop gives none.
std::string GalleryCaption(const std::filesystem::path& path);

}  // namespace zentora
