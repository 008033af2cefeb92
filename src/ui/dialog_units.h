#pragma once

#include <QRect>

class QWidget;

namespace zentora {

// Window templates are laid out in dialog units of their font: a horizontal
// unit is a quarter of the font's average character width, a vertical unit
// an eighth of its height. Our templates' font (宋体 10 pt) measures 7 × 14
// pixels at 96 dpi, so positions scale by 7/4 and 14/8, and then by the
// screen's logical dpi over 96.
class CDialogUnits {
 public:
  explicit CDialogUnits(double logicalDpi = 96.0) : scale_(logicalDpi / 96.0) {}
  static CDialogUnits ForWidget(const QWidget* widget);

  int X(int du) const;
  int Y(int du) const;
  QRect Rect(int x, int y, int width, int height) const;

 private:
  double scale_;
};

}  // namespace zentora
