#pragma once

namespace zentora {

// How pictures are packed into the module's pixel blocks. Defaults at every
// start; never stored.
struct ImageSettings {
  int colorDepth = 0;  // 0: 16-bit RGB565, 1: 24-bit RGB
  bool msbFirst = false;
  bool rowRightToLeft = false;
  bool columnBottomToTop = false;
  bool columnFirst = false;

  int BytesPerPixel() const { return colorDepth + 2; }
  friend bool operator==(const ImageSettings&, const ImageSettings&) = default;
};

}  // namespace zentora
