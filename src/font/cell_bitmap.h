#pragma once

#include <cstdint>
#include <vector>

namespace zentora {

// A rendered glyph cell: the text's coverage of each pixel, 0 where the
// background shows, row after row.
struct CellBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;

  void Reset(int w, int h) {
    width = w;
    height = h;
    coverage.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  }
  std::uint8_t At(int x, int y) const {
    return coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)];
  }
  // Any coverage at all makes the pixel part of the glyph.
  bool IsSet(int x, int y) const { return At(x, y) > 0; }
};

}  // namespace zentora
