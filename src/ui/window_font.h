#pragma once

#include <QFont>

namespace zentora {

// The font of the program's windows: "宋体" at 10 points, or the installed
// font that fontconfig substitutes for it in Simplified Chinese.
QFont WindowFont();

}  // namespace zentora
