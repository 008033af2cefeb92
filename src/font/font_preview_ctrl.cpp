#include "font/font_preview_ctrl.h"

#include <QPainter>
#include <QPen>

#include "font/missing_glyphs.h"

namespace zentora {

namespace {

const QColor kSurround(150, 150, 150);
const QColor kGridLine(150, 150, 150, 200);

}  // namespace

CFontPreviewCtrl::CFontPreviewCtrl(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted each time.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CellBitmap CFontPreviewCtrl::RenderChar(char16_t ch) {
  CellBitmap cell;
  cell.Reset(cellWidth, cellHeight);
  renderer_.RenderChar(fontDesc, ch, cell);
  return cell;
}

std::vector<char32_t> CFontPreviewCtrl::MissingCharacters(const QString& text) {
  return zentora::MissingCharacters(renderer_, fontDesc, text.toStdU16String());
}

char16_t CFontPreviewCtrl::ShownCharacter() const {
  return previewText.isEmpty() ? kEmptyTextCharacter : previewText.at(0).unicode();
}

void CFontPreviewCtrl::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), kSurround);
  const int gridWidth = kScale * cellWidth;
  const int gridHeight = kScale * cellHeight;
  painter.fillRect(0, 0, gridWidth, gridHeight, Qt::white);

  const CellBitmap cell = RenderChar(ShownCharacter());
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      if (cell.IsSet(x, y)) {
        painter.fillRect(kScale * x, kScale * y, kScale, kScale, Qt::black);
      }
    }
  }

  // Inner lines only: the grey surround marks the border.
  painter.setPen(QPen(kGridLine, 1, Qt::DotLine));
  for (int i = 1; i < cellWidth; ++i) {
    painter.drawLine(kScale * i, 0, kScale * i, gridHeight);
  }
  for (int j = 1; j < cellHeight; ++j) {
    painter.drawLine(0, kScale * j, gridWidth, kScale * j);
  }
}

}  // namespace zentora
