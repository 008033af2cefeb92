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
