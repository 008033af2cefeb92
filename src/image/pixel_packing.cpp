#include "image/pixel_packing.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace zentora {

namespace {

template <int kBytesPerPixel, bool kMsbFirst>
inline void StorePixel(std::uint8_t* out, QRgb pixel) {
  if constexpr (kBytesPerPixel == 2) {
    // QRgb is 0xAARRGGBB: the top bits of each channel move straight into
    // their RGB565 fields.
    auto value = static_cast<std::uint16_t>(((pixel >> 8) & 0xF800) | ((pixel >> 5) & 0x07E0) |
                                            ((pixel >> 3) & 0x001F));
    // Stored as one 16-bit unit so that the row loop vectorises.
    if constexpr (kMsbFirst == (std::endian::native == std::endian::little)) {
      value = static_cast<std::uint16_t>((value << 8) | (value >> 8));
    }
    std::memcpy(out, &value, sizeof value);
  } else {
    const auto red = static_cast<std::uint8_t>(qRed(pixel));
    const auto green = static_cast<std::uint8_t>(qGreen(pixel));
    const auto blue = static_cast<std::uint8_t>(qBlue(pixel));
    out[0] = kMsbFirst ? red : blue;
    out[1] = green;
    out[2] = kMsbFirst ? blue : red;
  }
}

static_assert(std::endian::native == std::endian::little,
              "the 24-bit row packer reads QRgb values as B, G, R, A bytes");

// A pixel as the 24-bit layout wants its first three bytes in memory:
// 0x..RRGGBB stores B, G, R; 0x..BBGGRR stores R, G, B.
template <bool kMsbFirst>
inline std::uint32_t ThreeByteOrder(QRgb pixel) {
  if constexpr (kMsbFirst) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
  } else {
    return pixel;
  }
}

// A contiguous run of 24-bit pixels, four at a time as three 32-bit words.
template <bool kMsbFirst>
void StoreThreeByteRun(std::uint8_t* out, const QRgb* row, int w) {
  int x = 0;
  for (; x + 4 <= w; x += 4, out += 12) {
    const std::uint32_t p0 = ThreeByteOrder<kMsbFirst>(row[x]);
    const std::uint32_t p1 = ThreeByteOrder<kMsbFirst>(row[x + 1]);
    const std::uint32_t p2 = ThreeByteOrder<kMsbFirst>(row[x + 2]);
    const std::uint32_t p3 = ThreeByteOrder<kMsbFirst>(row[x + 3]);
    const std::uint32_t words[3] = {
        (p0 & 0xFFFFFF) | (p1 << 24),
        ((p1 >> 8) & 0xFFFF) | (p2 << 16),
        ((p2 >> 16) & 0xFF) | (p3 << 8),
    };
    std::memcpy(out, words, sizeof words);
  }
  for (; x < w; ++x, out += 3) {
    StorePixel<3, kMsbFirst>(out, row[x]);
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
    std::uint8_t* out = block + position * kBytesPerPixel;
    if (step == 1) {
      // The common row-first, left-to-right layout runs without a stride.
      if constexpr (kBytesPerPixel == 3) {
        StoreThreeByteRun<kMsbFirst>(out, row, w);
      } else {
        for (int x = 0; x < w; ++x) {
          StorePixel<kBytesPerPixel, kMsbFirst>(out + x * kBytesPerPixel, row[x]);
        }
      }
      continue;
    }
    const std::ptrdiff_t stride = step * kBytesPerPixel;
    for (int x = 0; x < w; ++x, out += stride) {
      StorePixel<kBytesPerPixel, kMsbFirst>(out, row[x]);
    }
  }
}

}  // namespace

bool PackPictureInto(const QImage& canvas, int width, int height, const ImageSettings& settings,
                     std::span<std::uint8_t> block) {
  const bool drawnFormat =
      canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
  const bool knownDepth = settings.colorDepth == 0 || settings.colorDepth == 1;
  if (width <= 0 || height <= 0 || canvas.width() != width || canvas.height() != height ||
      !drawnFormat || !knownDepth || block.size() != PackedSize(width, height, settings)) {
    return false;
  }
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
  return true;
}

std::vector<std::uint8_t> PackPicture(const QImage& canvas, int width, int height,
                                      const ImageSettings& settings) {
  if (width <= 0 || height <= 0) {
    return {};
  }
  std::vector<std::uint8_t> block(PackedSize(width, height, settings));
  if (!PackPictureInto(canvas, width, height, settings, block)) {
    return {};
  }
  return block;
}

std::size_t PackedSize(int width, int height, const ImageSettings& settings) {
  if (width <= 0 || height <= 0) {
    return 0;
  }
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
         static_cast<std::size_t>(settings.BytesPerPixel());
}

}  // namespace zentora
