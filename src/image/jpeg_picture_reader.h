#pragma once

#include <QSize>

#include <cstdint>
#include <optional>
#include <span>

namespace zentora {

// JPEGs decoded with libjpeg-turbo's TurboJPEG interface, with the
// parameters Qt's JPEG plugin uses (accurate integer IDCT,
// smooth chroma upsampling, full size), so the pixels are the plugin's own.
// Only files it decodes without a single warning count: everything else
// (CMYK, damaged data, unusual sampling) is left to the general decoder,
// which reads it as it always has.

// The picture's size, or nullopt when this reader does not take the file.
std::optional<QSize> TurboJpegSize(std::span<const std::uint8_t> file);

// Decodes the whole file into `rgb`: red, green and blue bytes, row after
// row, of a picture of `size` (TurboJpegSize). False on any error or
// warning; `rgb` then holds nothing useful.
bool DecodeTurboJpeg(std::span<const std::uint8_t> file, QSize size, std::span<std::uint8_t> rgb);

}  // namespace zentora
