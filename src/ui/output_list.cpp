#include "ui/output_list.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace zentora {

namespace {

// Paints each line within the visible width, shortened in the middle. The
// style would shorten at the end, and only where the row is narrower than
// the text, which a list row never is.
class CMiddleElidingDelegate final : public QStyledItemDelegate {
 public:
  explicit CMiddleElidingDelegate(COutputList* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shown = option;
    initStyleOption(&shown, index);
    shown.rect = VisiblePart(shown.rect);
    shown.text = ElidedText(shown, shown.text);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &shown, painter, widget);
  }

  // The text as paint() shows it in a row of the given rectangle.
  QString ShownText(const QModelIndex& index, const QRect& rect) const {
    QStyleOptionViewItem shown;
    shown.initFrom(list_);
    shown.rect = VisiblePart(rect);
    shown.widget = list_;
    initStyleOption(&shown, index);
    return ElidedText(shown, shown.text);
  }

 private:
  QRect VisiblePart(QRect rect) const {
    rect.setRight(std::min(rect.right(), list_->viewport()->width() - 1));
    return rect;
  }

  // The style draws text inside its focus frame margins; the elided text
  // fits there so that the style never shortens it again.
  QString ElidedText(const QStyleOptionViewItem& shown, const QString& text) const {
    QStyle* style = list_->style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &shown, list_);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
    return shown.fontMetrics.elidedText(text, Qt::ElideMiddle,
                                        std::max(0, textRect.width() - 2 * margin));
  }

  COutputList* list_;
};

QString JoinedLines(const QList<QListWidgetItem*>& items) {
  QStringList lines;
  for (const QListWidgetItem* item : items) {
    lines << item->text();
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

COutputList::COutputList(QWidget* parent)
    : QListWidget(parent),
      copyAction_(new QAction(tr("复制"), this)),
      copyAllAction_(new QAction(tr("全部复制"), this)) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setTextElideMode(Qt::ElideMiddle);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // Long lines are shortened to the width instead of scrolled to.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setItemDelegate(new CMiddleElidingDelegate(this));

  copyAction_->setShortcut(QKeySequence::Copy);
  copyAction_->setShortcutContext(Qt::WidgetShortcut);
  addAction(copyAction_);
  addAction(copyAllAction_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  BindActions();
}

void COutputList::BindActions() {
  connect(copyAction_, &QAction::triggered, this, &COutputList::OnCopy);
  connect(copyAllAction_, &QAction::triggered, this, &COutputList::OnCopyAll);
}

void COutputList::AppendLine(const QString& line) {
  auto* item = new QListWidgetItem(line, this);
  item->setToolTip(line);
  scrollToBottom();
}

QString COutputList::SelectedText() const {
  QList<QListWidgetItem*> selected = selectedItems();
  // Selection order is the order of clicks; the clipboard gets the list's.
  std::sort(selected.begin(), selected.end(),
            [this](QListWidgetItem* a, QListWidgetItem* b) { return row(a) < row(b); });
  return JoinedLines(selected);
}

QString COutputList::AllText() const {
  QList<QListWidgetItem*> all;
  for (int i = 0; i < count(); ++i) {
    all << item(i);
  }
  return JoinedLines(all);
}

QString COutputList::ShownText(int row) const {
  const QModelIndex index = model()->index(row, 0);
  const auto* delegate = static_cast<const CMiddleElidingDelegate*>(itemDelegate());
  return delegate->ShownText(index, visualRect(index));
}

void COutputList::OnCopy() {
  if (!selectedItems().isEmpty()) {
    QApplication::clipboard()->setText(SelectedText());
  }
}

void COutputList::OnCopyAll() {
  QApplication::clipboard()->setText(AllText());
}

}  // namespace zentora
