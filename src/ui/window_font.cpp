#include "ui/window_font.h"

#include "base/fontconfig_match.h"

namespace zentora {

QFont WindowFont() {
  static const QString family = [] {
    const auto match = MatchFontconfig("宋体", "zh-cn");
    return match ? QString::fromStdString(match->family) : QString();
  }();
  QFont font(family.isEmpty() ? QStringLiteral("宋体") : family, 10);
  return font;
}

}  // namespace zentora
