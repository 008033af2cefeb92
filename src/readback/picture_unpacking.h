#pragma once

#include <QImage>

#include <cstdint>
#include <span>

#include "base/result.h"
#include "image/image_settings.h"

namespace zentora {

class CDataFileReader;
struct PictureEntry;

// An RGB565 value as 8-bit channels, each widened by repeating its high
// bits, so that packing the result again gives the same value.
constexpr QRgb WidenRgb565(std::uint16_t value) {
  const unsigned red = value >> 11;
  const unsigned green = (value >> 5) & 0x3F;
  const unsigned blue = value & 0x1F;
  return qRgb(static_cast<int>((red << 3) | (red >> 2)),
              static_cast<int>((green << 2) | (green >> 4)),
              static_cast<int>((blue << 3) | (blue >> 2)));
}

// The inverse of PackPicture: a pixel block read back into an opaque
// Format_RGB32 picture of width × height, with the scan order and byte
// order the settings name. Null when the block is shorter than
// PackedSize(width, height, settings) or a size is not positive.
QImage UnpackPicture(std::span<const std::uint8_t> block, int width, int height,
                     const ImageSettings& settings);

// Picture `entry` of image.bin as the module shows it when it reads the
// block with `settings`. A depth other than the block's own reads more or
// fewer bytes from the same address (past the end of the file as zero), up
// to twice the block's length: the entry's fields alone never decide how
// much is allocated. Fails for an empty entry or a block that image.bin does
// not hold.
Result<QImage> ReadPicture(const CDataFileReader& data, const PictureEntry& entry,
                           const ImageSettings& settings);

}  // namespace zentora
