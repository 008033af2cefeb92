#include "image/pixel_packing.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "base/vector_clones.h"

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

// The same from red, green and blue bytes, as the fast decoders give rows.
template <int kBytesPerPixel, bool kMsbFirst>
inline void StoreRgb(std::uint8_t* out, const std::uint8_t* rgb) {
  if constexpr (kBytesPerPixel == 2) {
    auto value = static_cast<std::uint16_t>(ToRgb565(rgb[0], rgb[1], rgb[2]));
    if constexpr (kMsbFirst == (std::endian::native == std::endian::little)) {
      value = static_cast<std::uint16_t>((value << 8) | (value >> 8));
    }
    std::memcpy(out, &value, sizeof value);
  } else {
    out[0] = kMsbFirst ? rgb[0] : rgb[2];
    out[1] = rgb[1];
    out[2] = kMsbFirst ? rgb[2] : rgb[0];
  }
}

// One row of w pixels, the first at out and each next one `step` pixels on.
// Along one canvas row the position moves by a fixed step whatever the
// settings, so a row is read once and written with a constant stride.
template <int kBytesPerPixel, bool kMsbFirst>
void PackPixelRow(std::uint8_t* out, std::ptrdiff_t step, const QRgb* row, int w) {
  if (step == 1) {
    // The common row-first, left-to-right layout runs without a stride.
    if constexpr (kBytesPerPixel == 3) {
      StoreThreeByteRun<kMsbFirst>(out, row, w);
    } else {
      for (int x = 0; x < w; ++x) {
        StorePixel<kBytesPerPixel, kMsbFirst>(out + x * kBytesPerPixel, row[x]);
      }
    }
    return;
  }
  const std::ptrdiff_t stride = step * kBytesPerPixel;
  for (int x = 0; x < w; ++x, out += stride) {
    StorePixel<kBytesPerPixel, kMsbFirst>(out, row[x]);
  }
}

// Contiguous runs of red, green, blue bytes, the common row-first and
// left-to-right layout, in loops that vectorise on newer processors.
#define ZENTORA_RGB_RUN(name, bytesPerPixel, msbFirst)                                             \
  ZENTORA_VECTOR_CLONES void name(std::uint8_t* out, const std::uint8_t* rgb, std::size_t count) { \
    for (std::size_t x = 0; x < count; ++x) {                                                      \
      StoreRgb<bytesPerPixel, msbFirst>(out + x * (bytesPerPixel), rgb + 3 * x);                   \
    }                                                                                              \
  }
ZENTORA_RGB_RUN(Rgb565RunLowFirst, 2, false)
ZENTORA_RGB_RUN(Rgb565RunHighFirst, 2, true)
ZENTORA_RGB_RUN(BlueFirstRun, 3, false)
#undef ZENTORA_RGB_RUN

template <int kBytesPerPixel, bool kMsbFirst>
void PackRgbRow(std::uint8_t* out, std::ptrdiff_t step, const std::uint8_t* rgb, int w) {
  if (step == 1) {
    const auto count = static_cast<std::size_t>(w);
    if constexpr (kBytesPerPixel == 3 && kMsbFirst) {
      // Red, green, blue is already the stored order.
      std::memcpy(out, rgb, count * 3);
    } else if constexpr (kBytesPerPixel == 3) {
      BlueFirstRun(out, rgb, count);
    } else if constexpr (kMsbFirst) {
      Rgb565RunHighFirst(out, rgb, count);
    } else {
      Rgb565RunLowFirst(out, rgb, count);
    }
    return;
  }
  const std::ptrdiff_t stride = step * kBytesPerPixel;
  for (int x = 0; x < w; ++x, out += stride, rgb += 3) {
    StoreRgb<kBytesPerPixel, kMsbFirst>(out, rgb);
  }
}

bool Packable(int width, int height, const ImageSettings& settings) {
  return width > 0 && height > 0 && (settings.colorDepth == 0 || settings.colorDepth == 1);
}

}  // namespace

CPixelPacker::CPixelPacker(int width, int height, const ImageSettings& settings,
                           std::span<std::uint8_t> block)
    : width_(width),
      height_(height),
      bytesPerPixel_(settings.BytesPerPixel()),
      columnBottomToTop_(settings.columnBottomToTop),
      block_(block.data()) {
  // Canvas pixel (x, y) lands at position X × height + Y (column first) or
  // Y × width + X (row first), where X and Y are x and y mirrored as the
  // settings say.
  const std::ptrdiff_t xStep = settings.rowRightToLeft ? -1 : 1;
  firstX_ = settings.rowRightToLeft ? width - 1 : 0;
  if (settings.columnFirst) {
    firstX_ *= height;
    rowPosition_ = 1;
    step_ = xStep * height;
  } else {
    rowPosition_ = width;
    step_ = xStep;
  }
  const bool msbFirst = settings.msbFirst;
  if (settings.colorDepth == 1) {
    pixelRow_ = msbFirst ? PackPixelRow<3, true> : PackPixelRow<3, false>;
    rgbRow_ = msbFirst ? PackRgbRow<3, true> : PackRgbRow<3, false>;
  } else {
    pixelRow_ = msbFirst ? PackPixelRow<2, true> : PackPixelRow<2, false>;
    rgbRow_ = msbFirst ? PackRgbRow<2, true> : PackRgbRow<2, false>;
  }
}

std::uint8_t* CPixelPacker::RowStart(int y) const {
  const std::ptrdiff_t storedY = columnBottomToTop_ ? height_ - 1 - y : y;
  return block_ + (firstX_ + storedY * rowPosition_) * bytesPerPixel_;
}

void CPixelPacker::PackRow(int y, const QRgb* row) const {
  pixelRow_(RowStart(y), step_, row, width_);
}

void CPixelPacker::PackRow(int y, const std::uint8_t* rgb) const {
  rgbRow_(RowStart(y), step_, rgb, width_);
}

bool PackPictureInto(const QImage& canvas, int width, int height, const ImageSettings& settings,
                     std::span<std::uint8_t> block) {
  const bool drawnFormat =
      canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
  if (!Packable(width, height, settings) || canvas.width() != width || canvas.height() != height ||
      !drawnFormat || block.size() != PackedSize(width, height, settings)) {
    return false;
  }
  const CPixelPacker packer(width, height, settings, block);
  for (int y = 0; y < height; ++y) {
    packer.PackRow(y, reinterpret_cast<const QRgb*>(canvas.constScanLine(y)));
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
