#pragma once

#include <QAbstractScrollArea>

#include "image/gallery_geometry.h"
#include "image/gallery_item_list.h"

namespace zentora {

// A scrollable grid of the files of one list, 100 × 100 pixels a cell. The
// gallery owns its list; whoever changes the list calls Layout() after.
class CImageGallery : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CImageGallery(QWidget* parent = nullptr);

  CGalleryItemList& Items() { return items_; }
  const CGalleryItemList& Items() const { return items_; }
  const CGalleryGeometry& Geometry() const { return geometry_; }

  // Recomputes the grid and the scroll range and repaints.
  void Layout();

  // Removal of an entry by dragging it out, and reordering by dragging.
  void SetDragSwitches(bool removeByDraggingOut, bool reorderByDragging);
  bool RemovesByDraggingOut() const { return removeByDraggingOut_; }
  bool ReordersByDragging() const { return reorderByDragging_; }

  QPoint ScrollPosition() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void PaintCell(QPainter& painter, int index, const QRect& cell);

  CGalleryItemList items_;
  CGalleryGeometry geometry_;
  bool removeByDraggingOut_ = false;
  bool reorderByDragging_ = false;
};

}  // namespace zentora
