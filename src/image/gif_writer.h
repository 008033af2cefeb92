#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "base/result.h"

namespace zentora {

// Encodes a picture as a GIF file of one image: a palette of at most 256
// colours chosen for this picture, with dithering, and LZW-compressed
// indices. Transparency is not kept: callers hand in opaque canvases.
Result<std::vector<std::uint8_t>> EncodeGif(const QImage& picture);

}  // namespace zentora
