#include "font/font_list_ctrl.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPainter>
#include <QStringList>
#include <QStyledItemDelegate>

namespace zentora {

// Row and column counts and the captions; the cells have no data at all.
class CFontListModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
  }
  QVariant data(const QModelIndex& /*index*/, int /*role*/) const override { return {}; }
  Qt::ItemFlags flags(const QModelIndex& /*index*/) const override { return Qt::ItemIsEnabled; }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()) {
      return {};
    }
    if (role == Qt::DisplayRole) {
      return captions_[section];
    }
    if (role == Qt::TextAlignmentRole) {
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    return {};
  }

  void AppendColumn(const QString& caption) {
    const int column = static_cast<int>(captions_.size());
    beginInsertColumns({}, column, column);
    captions_ << caption;
    endInsertColumns();
  }

  // Rows come and go at the end; a reset would also forget the columns'
  // widths.
  void SetRows(int rows) {
    if (rows > rows_) {
      beginInsertRows({}, rows_, rows - 1);
      rows_ = rows;
      endInsertRows();
    } else if (rows < rows_) {
      beginRemoveRows({}, rows, rows_ - 1);
      rows_ = rows;
      endRemoveRows();
    }
  }

  int Rows() const { return rows_; }
  QString Caption(int column) const { return captions_.value(column); }

 private:
  QStringList captions_;
  int rows_ = 0;
};

namespace {

// Hands every cell the view paints to the list's painter.
class CCellPainter : public QStyledItemDelegate {
 public:
  explicit CCellPainter(CFontListCtrl* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (IDrawCell* drawCell = list_->DrawCellPainter()) {
      painter->save();
      drawCell->DrawCell(*painter, index.row(), index.column(), option.rect);
      painter->restore();
    }
  }

 private:
  CFontListCtrl* list_;
};

}  // namespace

CFontListCtrl::CFontListCtrl(QWidget* parent)
    : QTableView(parent), model_(new CFontListModel(this)) {
  setModel(model_);
  setItemDelegate(new CCellPainter(this));
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(rowHeight_);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsMovable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
}

void CFontListCtrl::SetRowHeight(int height) {
  rowHeight_ = height;
  if (height > 0) {
    verticalHeader()->setDefaultSectionSize(height);
  }
}

void CFontListCtrl::InsertColumn(const QString& caption, int width) {
  model_->AppendColumn(caption);
  horizontalHeader()->resizeSection(model_->columnCount() - 1, width);
}

int CFontListCtrl::ColumnCount() const {
  return model_->columnCount();
}

QString CFontListCtrl::ColumnCaption(int column) const {
  return model_->Caption(column);
}

void CFontListCtrl::SetRowCount(int rows) {
  model_->SetRows(rows);
  viewport()->update();
}

int CFontListCtrl::RowCount() const {
  return model_->Rows();
}

}  // namespace zentora
