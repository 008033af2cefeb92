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

}  // namespace zentora
