#include "ui/window_font.h"

#include "font/font_catalog.h"

namespace zentora {

QFont WindowFont() {
  static const QString family = QString::fromStdString(SubstituteFamily("宋体", kGb2312Charset));
  QFont font(family.isEmpty() ? QStringLiteral("宋体") : family, 10);
  return font;
}

}  // namespace zentora
