#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "image/image_settings.h"

namespace zentora {

// One pixel as the module stores it: RGB565 with the low bits of each channel
// dropped, or three bytes; low byte (or blue) first unless msbFirst.
std::uint16_t ToRgb565(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Packs a drawn canvas (QImage::Format_RGB32 or Format_ARGB32, width × height
// pixels; alpha is ignored) into the module's pixel block: width × height ×
// BytesPerPixel() bytes in the scan order that the settings choose. Returns
// an empty block when the canvas does not have that size or format.
std::vector<std::uint8_t> PackPicture(const QImage& canvas, int width, int height,
                                      const ImageSettings& settings);

}  // namespace zentora
