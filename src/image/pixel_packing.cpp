#include "image/pixel_packing.h"

#include <cstddef>

namespace zentora {

std::uint16_t ToRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

namespace {

template <int kBytesPerPixel, bool kMsbFirst>
inline void StorePixel(std::uint8_t* out, QRgb pixel) {
  const auto red = static_cast<std::uint8_t>(qRed(pixel));
  const auto green = static_cast<std::uint8_t>(qGreen(pixel));
  const auto blue = static_cast<std::uint8_t>(qBlue(pixel));
  if constexpr (kBytesPerPixel == 2) {
    const std::uint16_t value = ToRgb565(red, green, blue);
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    const auto high = static_cast<std::uint8_t>(value >> 8);
    out[0] = kMsbFirst ? high : low;
    out[1] = kMsbFirst ? low : high;
  } else {
    out[0] = kMsbFirst ? red : blue;
    out[1] = green;
    out[2] = kMsbFirst ? blue : red;
  }
}

// Every canvas pixel (x, y) lands at position X × h + Y (column first) or
// Y × w + X (row first), where X and Y are x and y mirrored as the settings
// say. Along one canvas row the position therefore moves by a fixed step, so
// the loop reads each row once and writes with a constant stride.
template <int kBytesPerPixel, bool kMsbFirst>
void PackRows(const QImage& canvas, int w, int h, const ImageSettings& settings,
              std::uint8_t* block) {
  const std::ptrdiff_t firstX = settings.rowRightToLeft ? w - 1 : 0;
  const std::ptrdiff_t xStep = settings.rowRightToLeft ? -1 : 1;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
    const std::ptrdiff_t storedY = settings.columnBottomToTop ? h - 1 - y : y;
    std::ptrdiff_t position;
    std::ptrdiff_t step;
    if (settings.columnFirst) {
      position = firstX * h + storedY;
      step = xStep * h;
    } else {
      position = storedY * w + firstX;
      step = xStep;
    }
    for (int x = 0; x < w; ++x, position += step) {
      StorePixel<kBytesPerPixel, kMsbFirst>(block + position * kBytesPerPixel, row[x]);
    }
  }
}

}  // namespace

std::vector<std::uint8_t> PackPicture(const QImage& canvas, int width, int height,
                                      const ImageSettings& settings) {
  const bool drawnFormat =
      canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
  const bool knownDepth = settings.colorDepth == 0 || settings.colorDepth == 1;
  if (width <= 0 || height <= 0 || canvas.width() != width || canvas.height() != height ||
      !drawnFormat || !knownDepth) {
    return {};
  }
  const int bytesPerPixel = settings.BytesPerPixel();
  std::vector<std::uint8_t> block(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height) *
                                  static_cast<std::size_t>(bytesPerPixel));
  const int variant = (settings.colorDepth == 1 ? 2 : 0) + (settings.msbFirst ? 1 : 0);
  switch (variant) {
    case 0:
      PackRows<2, false>(canvas, width, height, settings, block.data());
      break;
    case 1:
      PackRows<2, true>(canvas, width, height, settings, block.data());
      break;
    case 2:
      PackRows<3, false>(canvas, width, height, settings, block.data());
      break;
    default:
      PackRows<3, true>(canvas, width, height, settings, block.data());
      break;
  }
  return block;
}

}  // namespace zentora
