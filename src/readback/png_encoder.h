#pragma once

#include <QByteArray>
#include <QImage>

#include "base/result.h"

namespace zentora {

// How hard to compress. Unpacked module pictures are written stored: even
// zlib's fastest Huffman-only pass costs nearly three times what decoding
// and packing them took in the compile, and a thousand pictures must come
// out in about the compile's time. The sheets, one file each and mostly
// plain background, are compressed.
enum class PngPacking { Stored, Compressed };

// Encodes an opaque picture (Format_RGB32) as an 8-bit RGB PNG in memory.
Result<QByteArray> EncodePng(const QImage& picture, PngPacking packing);

}  // namespace zentora
