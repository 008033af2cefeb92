#pragma once

#include "image/image_settings.h"

namespace zentora::testing {

// Packing settings in one expression, in the order the main window shows them.
inline ImageSettings Settings(int colorDepth, bool msbFirst = false, bool rowRightToLeft = false,
                              bool columnBottomToTop = false, bool columnFirst = false) {
  ImageSettings settings;
  settings.colorDepth = colorDepth;
  settings.msbFirst = msbFirst;
  settings.rowRightToLeft = rowRightToLeft;
  settings.columnBottomToTop = columnBottomToTop;
  settings.columnFirst = columnFirst;
  return settings;
}

}  // namespace zentora::testing
