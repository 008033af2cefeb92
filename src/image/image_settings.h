#pragma once

namespace zentora {

// How a 16-bit picture's colours are brought to the levels RGB565 holds
// before packing; 24-bit pictures are packed as drawn whatever it says.
enum class Dither {
  kNone,       // the low bits dropped, as always
  kOrdered,    // an 8 × 8 threshold table
  kDiffusion,  // error diffusion
};

// How pictures are packed into the module's pixel blocks. Defaults at every
// start; never stored.
struct ImageSettings {
  int colorDepth = 0;  // 0: 16-bit RGB565, 1: 24-bit RGB
  bool msbFirst = false;
  bool rowRightToLeft = false;
  bool columnBottomToTop = false;
  bool columnFirst = false;
  Dither dither = Dither::kNone;

  int BytesPerPixel() const { return colorDepth + 2; }
  friend bool operator==(const ImageSettings&, const ImageSettings&) = default;
};

}  // namespace zentora
