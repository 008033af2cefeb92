#pragma once

#include <cstring>

#include "image/picture_canvas.h"

namespace zentora::fuzz {

// Two drawings of one file agree: the same outcome, reason and size, and
// every byte of every row (alpha included).
inline bool SameCanvas(const PictureCanvas& a, const PictureCanvas& b) {
  if (a.status != b.status || a.reason != b.reason || a.width != b.width || a.height != b.height ||
      a.canvas.size() != b.canvas.size() || a.canvas.format() != b.canvas.format()) {
    return false;
  }
  for (int y = 0; y < a.canvas.height(); ++y) {
    if (std::memcmp(a.canvas.constScanLine(y), b.canvas.constScanLine(y),
                    static_cast<std::size_t>(a.canvas.bytesPerLine())) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace zentora::fuzz
