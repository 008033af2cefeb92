#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "image/image_settings.h"

namespace zentora {

// One pixel as the module stores it: RGB565 with the low bits of each channel
// dropped, or three bytes; low byte (or blue) first unless msbFirst.
constexpr std::uint16_t ToRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// Packs a drawn canvas (QImage::Format_RGB32 or Format_ARGB32, width × height
// pixels; alpha is ignored) into the module's pixel block: width × height ×
// BytesPerPixel() bytes in the scan order that the settings choose. Returns
// an empty block when the canvas does not have that size or format.
std::vector<std::uint8_t> PackPicture(const QImage& canvas, int width, int height,
                                      const ImageSettings& settings);

// The same into a block the caller provides, which must be exactly
// PackedSize() bytes; every byte of it is written. Lets the compiler pack
// into memory it never has to clear first. False for a canvas PackPicture
// would refuse.
bool PackPictureInto(const QImage& canvas, int width, int height, const ImageSettings& settings,
                     std::span<std::uint8_t> block);

// width × height × bytes per pixel.
std::size_t PackedSize(int width, int height, const ImageSettings& settings);

// Packs a picture a row at a time, in any order of rows, as a decoder gives
// them: each row lands where PackPicture would put the canvas row y.
class CPixelPacker {
 public:
  // `block` is exactly PackedSize(width, height, settings) bytes; widths
  // and heights are positive, the depth 16 or 24 bits.
  CPixelPacker(int width, int height, const ImageSettings& settings, std::span<std::uint8_t> block);

  // Row y of width pixels: QRgb values (alpha ignored), or red, green and
  // blue bytes.
  void PackRow(int y, const QRgb* row) const;
  void PackRow(int y, const std::uint8_t* rgb) const;

 private:
  using PixelRowFunction = void (*)(std::uint8_t*, std::ptrdiff_t, const QRgb*, int);
  using RgbRowFunction = void (*)(std::uint8_t*, std::ptrdiff_t, const std::uint8_t*, int);

  std::uint8_t* RowStart(int y) const;

  int width_;
  int height_;
  int bytesPerPixel_;
  bool columnBottomToTop_;
  std::ptrdiff_t firstX_;
  std::ptrdiff_t rowPosition_;  // position step from one row to the next
  std::ptrdiff_t step_;         // position step from one pixel to the next
  std::uint8_t* block_;
  PixelRowFunction pixelRow_;
  RgbRowFunction rgbRow_;
};

}  // namespace zentora
