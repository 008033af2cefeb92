#include "image/image_gallery.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/thread_priority.h"
#include "image/note_lines.h"

namespace zentora {

namespace {

const QColor kGradientTop(198, 208, 224);
const QColor kGradientBottom(219, 228, 242);
const QColor kCaptionColour(0, 0, 255);
const QColor kNoteColour(70, 70, 90);
const QColor kSelectionColour(0, 150, 255);
// Strong enough to be seen beside the drag window, over thumbnails too.
const QColor kInsertionBarColour(0, 0, 255, 200);
constexpr int kInsertionCapWidth = 11;
const QColor kDragOutlineColour(200, 200, 200, 200);
constexpr double kDragWindowOpacity = 168 / 255.0;
constexpr int kFocusFrameWidth = 2;
constexpr int kMaxNoteLines = 3;
// A long file name is shortened to its cell rather than written over its
// neighbours' captions.
constexpr int kCaptionMaxWidth = CGalleryGeometry::kCellSize - 4;
constexpr int kWheelStep = 120;
constexpr int kAutoScrollIntervalMs = 50;

QFont CaptionFont() {
  QFont font(QStringLiteral("Arial"), 8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QString ToQString(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

QImage IconImage(const QIcon& icon) {
  const QSize size(CGalleryGeometry::kFallbackThumbnail, CGalleryGeometry::kFallbackThumbnail);
  QImage image = icon.pixmap(size).toImage();
  if (!image.isNull() && image.size() != size) {
    image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QLinearGradient Background(int top, int height) {
  QLinearGradient gradient(0, top, 0, top + height);
  gradient.setColorAt(0, kGradientTop);
  gradient.setColorAt(1, kGradientBottom);
  return gradient;
}

// The desktop's icon for a file that is no picture (a sound, for instance),
// at the size of a large shell icon.
QImage FileIcon(const std::filesystem::path& path, const QStyle* style) {
  static const QFileIconProvider provider;
  QIcon icon = provider.icon(QFileInfo(ToQString(path)));
  if (icon.isNull()) {
    icon = style->standardIcon(QStyle::SP_FileIcon);
  }
  return IconImage(icon);
}

}  // namespace

CDragImage::CDragImage(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
  setObjectName(QStringLiteral("CDragImage"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowOpacity(kDragWindowOpacity);
  setGeometry(0, 0, CGalleryGeometry::kCellSize, CGalleryGeometry::kCellSize);
  hide();
}

void CDragImage::SetPath(std::filesystem::path path, QImage thumbnail) {
  path_ = std::move(path);
  thumbnail_ = std::move(thumbnail);
  update();
}

void CDragImage::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (thumbnail_.isNull()) {
    painter.fillRect(rect(), kGradientTop);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), thumbnail_);
  }
  painter.setPen(QPen(kDragOutlineColour, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

CImageGallery::CImageGallery(QWidget* parent)
    : QAbstractScrollArea(parent),
      thumbnails_([this](const std::filesystem::path& path) { return NonPictureImage(path); }),
      captionFont_(CaptionFont()),
      captionMetrics_(captionFont_),
      dragImage_(new CDragImage(this)) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setSingleStep(CGalleryGeometry::kScrollLine);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  autoScroll_.setInterval(kAutoScrollIntervalMs);
  geometry_.Layout(viewport()->size(), 0);
  BindControls();
}

CImageGallery::~CImageGallery() {
  prefetchPool_.clear();
  prefetchPool_.waitForDone();
}

void CImageGallery::WaitForPrefetch() {
  prefetchPool_.waitForDone();
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void CImageGallery::BindControls() {
  connect(&autoScroll_, &QTimer::timeout, this, &CImageGallery::OnAutoScrollTimer);
  // The wheel scrolls by the gallery's lines wherever the pointer is, its
  // scroll bar included.
  verticalScrollBar()->installEventFilter(this);
}

bool CImageGallery::eventFilter(QObject* watched, QEvent* event) {
  if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

void CImageGallery::SetCommands(Commands commands) {
  commands_ = std::move(commands);
}

void CImageGallery::SetFileLook(const QIcon& icon, CFileNoteCache::Describe describe) {
  nonPictureIcon_ = icon;
  notes_.SetDescribe(std::move(describe));
  // Icons already kept were the desktop's.
  thumbnails_.Clear();
  Layout();
}

QImage CImageGallery::NonPictureImage(const std::filesystem::path& path) const {
  return nonPictureIcon_.isNull() ? FileIcon(path, style()) : IconImage(nonPictureIcon_);
}

int CImageGallery::CaptionLineHeight() const {
  return std::max(CGalleryGeometry::kMinimumTextHeight, captionMetrics_.height());
}

QStringList CImageGallery::NoteLines(int index) {
  if (!notes_.Describes()) {
    return {};
  }
  const QString note = notes_.NoteOf(items_.GetPath(index));
  if (note.isEmpty()) {
    return {};
  }
  return WrapNote(note, captionFont_, kCaptionMaxWidth, kMaxNoteLines);
}

int CImageGallery::CellHeightOf(int index) {
  const int text = CaptionLineHeight() +
                   static_cast<int>(NoteLines(index).size()) * captionMetrics_.lineSpacing();
  return CGalleryGeometry::CellHeight(thumbnails_.SizeOf(items_.GetPath(index)), text);
}

void CImageGallery::SetDragSwitches(bool removeByDraggingOut, bool reorderByDragging) {
  removeByDraggingOut_ = removeByDraggingOut;
  reorderByDragging_ = reorderByDragging;
}

QPoint CImageGallery::ScrollPosition() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QSize CImageGallery::ThumbnailSizeOf(int index) {
  return thumbnails_.Get(items_.GetPath(index)).size;
}

void CImageGallery::Layout() {
  laidOutHeights_.assign(static_cast<std::size_t>(items_.GetCount()), 0);
  geometry_.Layout(viewport()->size(), items_.GetCount(), [this](int index) {
    return laidOutHeights_[static_cast<std::size_t>(index)] = CellHeightOf(index);
  });
  // Qt's maximum is the last position, the range less one page.
  QScrollBar* bar = verticalScrollBar();
  const int page = viewport()->height();
  bar->setPageStep(page);
  bar->setRange(0, std::max(0, geometry_.VerticalMaximum() - page));
  viewport()->update();
  // Whoever changes the list lays it out after, so a selection that moved
  // with the list is told here.
  TellSelection();
}

void CImageGallery::TellSelection() {
  const int selected = items_.GetSelected();
  if (selected == toldSelection_ && items_.GetPath(selected) == toldPath_) {
    return;
  }
  toldSelection_ = selected;
  toldPath_ = items_.GetPath(selected);
  Q_EMIT SelectionChanged();
}

void CImageGallery::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Layout();
}

void CImageGallery::scrollContentsBy(int /*dx*/, int /*dy*/) {
  viewport()->update();
}

void CImageGallery::ScrollLines(int lines) {
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() + lines * CGalleryGeometry::kScrollLine);
}

void CImageGallery::paintEvent(QPaintEvent* /*event*/) {
  const QRect client = viewport()->rect();
  const qreal ratio = viewport()->devicePixelRatioF();
  const QSize pixels = client.size() * ratio;
  if (buffer_.size() != pixels) {
    buffer_ = QImage(pixels, QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(ratio);
  }
  {
    QPainter painter(&buffer_);
    Render(painter, client);
  }
  QPainter screen(viewport());
  screen.drawImage(0, 0, buffer_);
}

void CImageGallery::Render(QPainter& painter, const QRect& client) {
  if (gradient_.size() != buffer_.size()) {
    gradient_ = QImage(buffer_.size(), QImage::Format_RGB32);
    gradient_.setDevicePixelRatio(buffer_.devicePixelRatio());
    QPainter background(&gradient_);
    background.fillRect(client, Background(0, client.height()));
  }
  painter.drawImage(0, 0, gradient_);

  const QPoint scroll = ScrollPosition();
  const int columns = geometry_.Columns();
  const int firstRow = geometry_.RowAt(scroll.y());
  const int lastRow = std::min(geometry_.Rows() - 1, geometry_.RowAt(scroll.y() + client.height()));
  std::vector<int> indexes;
  std::vector<std::filesystem::path> paths;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int index = row * columns + column;
      if (index >= items_.GetCount()) {
        break;
      }
      if (geometry_.CellRect(row, column, scroll).left() > client.right()) {
        break;
      }
      indexes.push_back(index);
      paths.push_back(items_.GetPath(index));
    }
  }
  // What the user waits for goes first: decodes queued for the neighbourhood
  // of an earlier view are dropped (those already running finish), and the
  // neighbourhood of this view is queued afresh below.
  const std::vector<Thumbnail> thumbnails = thumbnails_.GetMany(paths, [this] {
    prefetchPool_.clear();
    prefetching_.clear();
    ++prefetchGeneration_;
  });
  painter.setFont(captionFont_);
  bool heightsChanged = false;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    PaintCell(painter, indexes[i], geometry_.CellRectOfIndex(indexes[i], scroll), thumbnails[i]);
    const auto laidOut = static_cast<std::size_t>(indexes[i]);
    heightsChanged = heightsChanged || laidOut >= laidOutHeights_.size() ||
                     laidOutHeights_[laidOut] != CellHeightOf(indexes[i]);
  }
  if (heightsChanged) {
    QMetaObject::invokeMethod(this, &CImageGallery::Layout, Qt::QueuedConnection);
  }
  Prefetch(firstRow, lastRow);

  if (dragging_ && reorderByDragging_) {
    const CGalleryGeometry::DropTarget target = geometry_.DropTargetAt(dragPoint_, scroll);
    // Only where the drop would move the entry, so the bar never promises
    // a move that does not happen.
    const int selected = items_.GetSelected();
    if (target.index >= 0 && target.Position() != selected && target.Position() != selected + 1) {
      // An I-beam: the caps mark the ends where the drag window hides the
      // bar's middle.
      const QRect bar = CGalleryGeometry::InsertionBar(target);
      const int capLeft = bar.center().x() - kInsertionCapWidth / 2;
      painter.fillRect(bar, kInsertionBarColour);
      painter.fillRect(QRect(capLeft, bar.top(), kInsertionCapWidth, 3), kInsertionBarColour);
      painter.fillRect(QRect(capLeft, bar.bottom() - 2, kInsertionCapWidth, 3),
                       kInsertionBarColour);
    }
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), kFocusFrameWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(client).adjusted(kFocusFrameWidth / 2.0, kFocusFrameWidth / 2.0,
                                             -kFocusFrameWidth / 2.0, -kFocusFrameWidth / 2.0));
  }
}

void CImageGallery::Prefetch(int firstRow, int lastRow) {
  const int pageRows = std::max(1, lastRow - firstRow + 1);
  std::vector<int> rows;
  // Below first: scrolling down is what a user mostly does.
  for (int row = lastRow + 1; row <= std::min(lastRow + pageRows, geometry_.Rows() - 1); ++row) {
    rows.push_back(row);
  }
  for (int row = firstRow - 1; row >= std::max(0, firstRow - pageRows); --row) {
    rows.push_back(row);
  }
  const int columns = geometry_.Columns();
  for (const int row : rows) {
    for (int index = row * columns; index < std::min((row + 1) * columns, items_.GetCount());
         ++index) {
      const std::filesystem::path& path = items_.GetPath(index);
      QByteArray key = QByteArray::fromStdString(path.native());
      if (prefetching_.contains(key) || !thumbnails_.NeedsDecoding(path)) {
        continue;
      }
      prefetching_.insert(key);
      prefetchPool_.start([this, path, key = std::move(key), generation = prefetchGeneration_] {
        LowerThisThreadPriority();
        const std::optional<FileStamp> stamp = StampOf(path);
        Thumbnail thumbnail = stamp ? thumbnails_.Make(path, *stamp) : Thumbnail{};
        QMetaObject::invokeMethod(
            this,
            [this, path, key, generation, stamp, thumbnail = std::move(thumbnail)]() mutable {
              // A decode dropped from the list and queued again is not done.
              if (generation == prefetchGeneration_) {
                prefetching_.remove(key);
              }
              if (stamp) {
                thumbnails_.Offer(path, *stamp, std::move(thumbnail));
              }
            },
            Qt::QueuedConnection);
      });
    }
  }
}

void CImageGallery::PaintCell(QPainter& painter, int index, const QRect& cell,
                              const Thumbnail& thumbnail) {
  const QRect box = CGalleryGeometry::ThumbnailBox(cell, thumbnail.size);
  if (!thumbnail.image.isNull()) {
    if (thumbnail.image.size() == box.size()) {
      painter.drawImage(box.topLeft(), thumbnail.image);
    } else {
      painter.drawImage(box, thumbnail.image);
    }
  } else {
    painter.setPen(kCaptionColour);
    painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, tr("未找到文件"));
  }
  if (index == items_.GetSelected()) {
    painter.setPen(QPen(kSelectionColour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(box));
  }
  const QStringList noteLines = NoteLines(index);
  const int lineSpacing = captionMetrics_.lineSpacing();
  const QRect text = CGalleryGeometry::TextRect(
      cell, box, CaptionLineHeight() + static_cast<int>(noteLines.size()) * lineSpacing);
  const QRect captionRect(text.topLeft(), QSize(text.width(), CaptionLineHeight()));
  const QString caption = QString::fromStdString(GalleryCaption(items_.GetPath(index)));
  painter.setPen(kCaptionColour);
  painter.drawText(captionRect, Qt::AlignCenter | Qt::TextDontClip,
                   captionMetrics_.elidedText(caption, Qt::ElideMiddle, kCaptionMaxWidth));
  painter.setPen(kNoteColour);
  QRect line(captionRect.left(), captionRect.bottom() + 1, captionRect.width(), lineSpacing);
  for (const QString& note : noteLines) {
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, note);
    line.translate(0, lineSpacing);
  }
}

QImage CImageGallery::DragPicture(const QImage& thumbnail, const QRect& box) const {
  if (thumbnail.isNull()) {
    return thumbnail;
  }
  const qreal ratio = viewport()->devicePixelRatioF();
  QImage picture(box.size() * ratio, QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  QPainter painter(&picture);
  painter.fillRect(QRect(QPoint(), box.size()), Background(-box.top(), viewport()->height()));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRect(QPoint(), box.size()), thumbnail);
  return picture;
}

void CImageGallery::UpdateCursor(QPoint point) {
  const bool overThumbnail =
      geometry_
          .HitTestThumbnail(point, ScrollPosition(), [this](int i) { return ThumbnailSizeOf(i); })
          .index >= 0;
  if (overThumbnail) {
    viewport()->setCursor(Qt::PointingHandCursor);
  } else {
    viewport()->unsetCursor();
  }
}

void CImageGallery::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  const QPoint scroll = ScrollPosition();
  const CGalleryGeometry::Hit hit =
      geometry_.HitTestThumbnail(point, scroll, [this](int i) { return ThumbnailSizeOf(i); });
  if (hit.index != items_.GetSelected()) {
    items_.SetSelected(hit.index);
    viewport()->update();
    TellSelection();
  }
  if (hit.index < 0) {
    return;
  }
  const Thumbnail thumbnail = thumbnails_.Get(items_.GetPath(hit.index));
  const QRect box =
      CGalleryGeometry::ThumbnailBox(geometry_.CellRectOfIndex(hit.index, scroll), thumbnail.size);
  dragImage_->SetPath(items_.GetPath(hit.index), DragPicture(thumbnail.image, box));
  dragRect_ = QRect(viewport()->mapToGlobal(box.topLeft()), box.size());
  dragStart_ = event->globalPosition().toPoint();
  dragPoint_ = point;
  dragImage_->setGeometry(dragRect_);
  dragging_ = true;
}

void CImageGallery::mouseDoubleClickEvent(QMouseEvent* event) {
  // A second click soon after the first is a press like any other, so a
  // quick click-and-drag still drags.
  mousePressEvent(event);
}

void CImageGallery::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (!dragging_) {
    UpdateCursor(point);
    return;
  }
  if (!event->buttons().testFlag(Qt::LeftButton)) {
    // The release went elsewhere (another window took the pointer): the
    // drag ends without changing the list.
    EndDrag();
    viewport()->update();
    return;
  }
  dragPoint_ = point;
  if (CGalleryGeometry::AutoScrollAt(point, viewport()->size()) ==
      CGalleryGeometry::AutoScroll::Off) {
    autoScroll_.stop();
  } else if (!autoScroll_.isActive()) {
    autoScroll_.start();
  }
  const QPoint offset = event->globalPosition().toPoint() - dragStart_;
  dragImage_->move(dragRect_.topLeft() + offset);
  dragImage_->setVisible(CGalleryGeometry::ShowsDragWindow(offset));
  viewport()->update();
}

void CImageGallery::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) {
    return;
  }
  EndDrag();
  const QPoint point = event->position().toPoint();
  const int selected = items_.GetSelected();
  if (!viewport()->rect().contains(point)) {
    if (removeByDraggingOut_) {
      items_.Remove(selected);
      Layout();
      Q_EMIT ListChangedByDragging();
    }
  } else if (reorderByDragging_) {
    const CGalleryGeometry::DropTarget target = geometry_.DropTargetAt(point, ScrollPosition());
    // Dropping an entry just before or after itself leaves the order alone.
    const int position = target.Position();
    if (target.index >= 0 && position != selected && position != selected + 1) {
      items_.Move(selected, position);
      Q_EMIT ListChangedByDragging();
    }
  }
  viewport()->update();
  UpdateCursor(point);
}

void CImageGallery::EndDrag() {
  autoScroll_.stop();
  dragImage_->hide();
  dragging_ = false;
}

void CImageGallery::OnAutoScrollTimer() {
  if (!dragging_) {
    autoScroll_.stop();
    return;
  }
  switch (CGalleryGeometry::AutoScrollAt(dragPoint_, viewport()->size())) {
    case CGalleryGeometry::AutoScroll::Up:
      ScrollLines(-1);
      break;
    case CGalleryGeometry::AutoScroll::Down:
      ScrollLines(1);
      break;
    case CGalleryGeometry::AutoScroll::Idle:
    case CGalleryGeometry::AutoScroll::Off:
      break;
  }
}

void CImageGallery::wheelEvent(QWheelEvent* event) {
  event->accept();
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    return;
  }
  // A turn the other way starts afresh rather than paying off the rest.
  if ((delta > 0) != (wheelRemainder_ > 0)) {
    wheelRemainder_ = 0;
  }
  wheelRemainder_ += delta;
  const int lines = wheelRemainder_ / kWheelStep;
  wheelRemainder_ -= lines * kWheelStep;
  // A positive delta turns the wheel away from the user: up.
  ScrollLines(-lines);
}

void CImageGallery::SelectAndShow(int index) {
  items_.SetSelected(index);
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(geometry_.ScrollToShow(index, bar->value()));
  viewport()->update();
  TellSelection();
}

void CImageGallery::keyPressEvent(QKeyEvent* event) {
  using Step = CGalleryGeometry::Step;
  std::optional<Step> step;
  QAction* command = nullptr;
  switch (event->key()) {
    case Qt::Key_Left:
      step = Step::Left;
      break;
    case Qt::Key_Right:
      step = Step::Right;
      break;
    case Qt::Key_Up:
      step = Step::Up;
      break;
    case Qt::Key_Down:
      step = Step::Down;
      break;
    case Qt::Key_PageUp:
      step = Step::PageUp;
      break;
    case Qt::Key_PageDown:
      step = Step::PageDown;
      break;
    case Qt::Key_Home:
      step = Step::First;
      break;
    case Qt::Key_End:
      step = Step::Last;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      command = commands_.open;
      break;
    case Qt::Key_Delete:
      command = commands_.remove;
      break;
    default:
      break;
  }
  // A key during a drag would change the list under the pointer; other keys
  // (Esc) are the window's.
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (dragging_ || !plain || (!step && command == nullptr)) {
    event->ignore();
    return;
  }
  event->accept();
  if (step) {
    const int pageRows = std::max(1, viewport()->height() / CGalleryGeometry::kCellSize);
    const int target = geometry_.Stepped(items_.GetSelected(), *step, pageRows);
    if (target >= 0) {
      SelectAndShow(target);
    }
    return;
  }
  if (items_.GetSelected() >= 0) {
    command->trigger();
  }
}

void CImageGallery::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void CImageGallery::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void CImageGallery::contextMenuEvent(QContextMenuEvent* event) {
  if (commands_.menu.isEmpty() || dragging_) {
    event->ignore();
    return;
  }
  const QPoint scroll = ScrollPosition();
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Mouse) {
    // The menu acts on the entry under the pointer, as a click would
    // select it.
    const int hit =
        geometry_
            .HitTestThumbnail(event->pos(), scroll, [this](int i) { return ThumbnailSizeOf(i); })
            .index;
    if (hit != items_.GetSelected()) {
      items_.SetSelected(hit);
      viewport()->update();
      TellSelection();
    }
  } else {
    const int selected = items_.GetSelected();
    const QRect cell = selected >= 0 ? geometry_.CellRectOfIndex(selected, scroll) : QRect();
    at = viewport()->mapToGlobal(selected >= 0 ? cell.center() : QPoint());
  }
  QMenu menu(this);
  for (QAction* action : commands_.menu) {
    if (action != nullptr) {
      menu.addAction(action);
    } else {
      menu.addSeparator();
    }
  }
  menu.exec(at);
}

}  // namespace zentora
