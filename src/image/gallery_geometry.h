#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zentora {

// The gallery's grid without a window: cells 100 pixels wide in as many
// columns as the width holds, thumbnails centred in the top 100 × 100 square
// of their cells with their text below, and hit testing against cells or
// thumbnail boxes. A row is as tall as its tallest cell, at least 100
// pixels, so no text reaches into the row below. Client coordinates
// throughout; scroll is the position of the scroll bars.
class CGalleryGeometry {
 public:
  static constexpr int kCellSize = 100;
  // Thumbnails fit a square of the cell less 20 pixels.
  static constexpr int kThumbnailExtent = kCellSize - 20;
  static constexpr int kFallbackThumbnail = 32;
  static constexpr int kScrollLine = 40;
  // The caption's line starts this far below the thumbnail box.
  static constexpr int kCaptionGap = 10;
  static constexpr int kMinimumTextHeight = 20;
  // Between the last line of one row and the thumbnails of the next.
  static constexpr int kRowGap = 4;

  // Recomputes columns and rows for a client size and an entry count;
  // cellHeight gives each entry's height (every cell 100 pixels without it).
  void Layout(QSize client, int count, const std::function<int(int)>& cellHeight = {});

  // The height a cell needs for a thumbnail box of size and, below it, text
  // of textHeight pixels (the caption and any lines under it).
  static int CellHeight(QSize thumbnail, int textHeight);
  // Where the text of a cell goes: below the thumbnail box, across the cell
  // less a small margin.
  static QRect TextRect(const QRect& cell, const QRect& box, int textHeight);

  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  int Count() const { return count_; }
  QSize Client() const { return client_; }
  // Scroll ranges: vertical 0 .. the rows' joined height with a page of the
  // client height; horizontal 0 .. columns × 100 with a page of the client
  // width.
  int VerticalMaximum() const { return rowTops_.back(); }
  int HorizontalMaximum() const { return columns_ * kCellSize; }

  QRect CellRect(int row, int column, QPoint scroll) const;
  QRect CellRectOfIndex(int index, QPoint scroll) const;
  // The row that holds content line y (scroll position plus client y),
  // clamped to the rows there are; 0 without rows.
  int RowAt(int y) const;

  // The scroll position that brings the whole cell of index into a view of
  // the client height, moving as little as it can from scrollY.
  int ScrollToShow(int index, int scrollY) const;

  // Where the keyboard moves the selection from selected (-1 for none);
  // pageRows is how many rows a page key passes. Stays inside the list.
  enum class Step { Left, Right, Up, Down, PageUp, PageDown, First, Last };
  int Stepped(int selected, Step step, int pageRows) const;

  // A thumbnail of size within its cell: centred in the cell's top square,
  // with even sides.
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
  // A bar 3 pixels wide on the target's edge, across the whole row but for
  // 2 pixels at each end: the drag window covers the thumbnail's height, and
  // the bar shows above and below it.
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
  // The top of each row in content coordinates, and the end of the last.
  std::vector<int> rowTops_{0};
};

// The caption of a gallery cell: the file name without folder and without
// the text from its last full stop; a name without a full stop gives none.
std::string GalleryCaption(const std::filesystem::path& path);

}  // namespace zentora
