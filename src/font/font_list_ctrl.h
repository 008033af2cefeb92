#pragma once

#include <QRect>
#include <QString>
#include <QTableView>

class QPainter;

namespace zentora {

// Paints the cells of a CFontListCtrl.
class IDrawCell {
 public:
  virtual ~IDrawCell() = default;
  // cell: the cell's rectangle in the list's viewport.
  virtual void DrawCell(QPainter& dc, int row, int column, QRect cell) = 0;
};

class CFontListModel;

// A report list that holds no items: it knows how many rows there are and
// asks its painter for every cell in view, so a table of thousands of rows
// costs no more than one of a few. Rows have one fixed height; nothing is
// painted for selection or background.
class CFontListCtrl : public QTableView {
  Q_OBJECT

 public:
  explicit CFontListCtrl(QWidget* parent = nullptr);

  void SetDrawCell(IDrawCell* drawCell) { drawCell_ = drawCell; }
  IDrawCell* DrawCellPainter() const { return drawCell_; }

  // A height of 0 or less leaves the rows as high as they are.
  void SetRowHeight(int height);
  int RowHeight() const { return rowHeight_; }

  // Appends a column with a centred caption.
  void InsertColumn(const QString& caption, int width);
  int ColumnCount() const;
  QString ColumnCaption(int column) const;

  // Repaints whatever is in view.
  void SetRowCount(int rows);
  int RowCount() const;

 private:
  CFontListModel* model_;
  IDrawCell* drawCell_ = nullptr;
  int rowHeight_ = 50;
};

}  // namespace zentora
