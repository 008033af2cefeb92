#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <vector>

#include "image/file_note_cache.h"
#include "image/gallery_geometry.h"
#include "image/gallery_item_list.h"
#include "image/thumbnail_cache.h"

class QAction;

namespace zentora {

// The translucent copy of a thumbnail that follows the pointer while an
// entry is dragged: a frameless top-level window that never takes the focus
// or the mouse, placed by the gallery on the dragged thumbnail's box.
class CDragImage : public QWidget {
  Q_OBJECT

 public:
  explicit CDragImage(QWidget* owner);

  // The file shown and its thumbnail, drawn over the whole window.
  void SetPath(std::filesystem::path path, QImage thumbnail);
  const std::filesystem::path& Path() const { return path_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::filesystem::path path_;
  QImage thumbnail_;
};

// A scrollable grid of the files of one list, 100 pixels wide a cell:
// pictures as thumbnails, other files as the desktop's icon for them. A
// click selects; dragging a thumbnail moves its entry to another place, or
// out of the list when it is released outside the gallery. It takes the
// focus, and then the arrow keys move the selection. The gallery owns its
// list; whoever changes the list calls Layout() after.
class CImageGallery : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CImageGallery(QWidget* parent = nullptr);
  ~CImageGallery() override;

  CGalleryItemList& Items() { return items_; }
  const CGalleryItemList& Items() const { return items_; }
  const CGalleryGeometry& Geometry() const { return geometry_; }

  // Recomputes the grid and the scroll range and repaints.
  void Layout();

  // What Enter, Delete and the context menu run: the window's own actions,
  // so that keyboard, menu bar and context menu share one handler each. A
  // null key action leaves the key alone; a null in menu is a separator.
  struct Commands {
    QAction* open = nullptr;
    QAction* remove = nullptr;
    QList<QAction*> menu;
  };
  void SetCommands(Commands commands);
  const Commands& GetCommands() const { return commands_; }

  // Files that are no pictures show icon instead of the desktop's icon for
  // them, and under their caption what describe says of them.
  void SetFileLook(const QIcon& icon, CFileNoteCache::Describe describe);
  CFileNoteCache& Notes() { return notes_; }

  // Removal of an entry by dragging it out, and reordering by dragging.
  void SetDragSwitches(bool removeByDraggingOut, bool reorderByDragging);
  bool RemovesByDraggingOut() const { return removeByDraggingOut_; }
  bool ReordersByDragging() const { return reorderByDragging_; }

  QPoint ScrollPosition() const;
  // The thumbnail box's size of entry index (32 × 32 for what is no picture).
  QSize ThumbnailSizeOf(int index);
  const CDragImage& DragImage() const { return *dragImage_; }
  bool Dragging() const { return dragging_; }
  CThumbnailCache& Thumbnails() { return thumbnails_; }
  // Waits until the thumbnails decoded ahead of scrolling are all in.
  void WaitForPrefetch();

 Q_SIGNALS:
  // The user moved an entry or dragged one out: the numbers the module uses
  // have changed.
  void ListChangedByDragging();
  // Another entry is selected, or none, or the selected entry's file is
  // another one (a removal or move put another entry under the selection).
  void SelectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BindControls();
  void OnAutoScrollTimer();

  void Render(QPainter& painter, const QRect& client);
  void PaintCell(QPainter& painter, int index, const QRect& cell, const Thumbnail& thumbnail);
  QImage NonPictureImage(const std::filesystem::path& path) const;
  // The lines of the note under entry index's caption, wrapped to the cell.
  QStringList NoteLines(int index);
  int CaptionLineHeight() const;
  int CellHeightOf(int index);
  // The drag window's picture: the thumbnail over the gallery's background
  // at the box.
  QImage DragPicture(const QImage& thumbnail, const QRect& box) const;
  void SelectAndShow(int index);
  // Emits SelectionChanged when the selected file differs from the one
  // last told.
  void TellSelection();
  void ScrollLines(int lines);
  void UpdateCursor(QPoint point);
  void EndDrag();
  void Prefetch(int firstRow, int lastRow);

  CGalleryItemList items_;
  CGalleryGeometry geometry_;
  CThumbnailCache thumbnails_;
  CFileNoteCache notes_;
  QIcon nonPictureIcon_;
  Commands commands_;
  // Each entry's cell height at the last layout; a paint that finds another
  // (a file rewritten, a thumbnail decoded at another size) lays out again.
  std::vector<int> laidOutHeights_;
  bool removeByDraggingOut_ = false;
  bool reorderByDragging_ = false;
  QFont captionFont_;
  QFontMetrics captionMetrics_;

  // The off-screen picture of the client area, copied in one step.
  QImage buffer_;
  // The background for the current client height.
  QImage gradient_;

  CDragImage* dragImage_;
  QTimer autoScroll_;
  bool dragging_ = false;
  QRect dragRect_;    // the pressed thumbnail's box, in screen coordinates
  QPoint dragStart_;  // the press, in screen coordinates
  QPoint dragPoint_;  // the pointer, in client coordinates
  int wheelRemainder_ = 0;
  // The selection last told by SelectionChanged.
  int toldSelection_ = -1;
  std::filesystem::path toldPath_;

  // Decodes the thumbnails a page above and below the view in the
  // background, so that scrolling meets them ready. Last, so that it is
  // stopped before anything its tasks report to goes.
  QSet<QByteArray> prefetching_;
  int prefetchGeneration_ = 0;
  QThreadPool prefetchPool_;
};

}  // namespace zentora
