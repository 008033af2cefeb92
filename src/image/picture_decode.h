#pragma once

#include <QImage>
#include <QSize>

#include "base/result.h"

class QImageReader;

namespace zentora {

// Decodes the first frame that `reader` holds. Every use of a picture file
// (compile, export, adjustment, gallery thumbnails) decodes through here, so
// that all of them see the same pixels, and those pixels depend on the file
// alone:
//  - Pixels the decoder never delivers (a BMP cut short, the pixels a
//    run-length BMP skips) are the canvas blue, or for a paletted picture its
//    first colour: the memory the decoder writes into is filled before it
//    starts (animated formats excepted, which draw each frame by rules of
//    their own).
//  - A paletted picture's colour table covers every index its pixels can
//    hold: indexes beyond the file's table are opaque black, as converting
//    the picture has always drawn them, and nothing drawing it reads past
//    the table.
// `announced` is the size the reader announced (invalid if none). With a
// valid `scaledTo`, a decoder that can decode straight at a smaller size
// does; any other decodes at full size and the caller scales.
// A failure carries the reason alone (not a picture, an unsupported format,
// too large for the decoder's allocation limit, damaged), for a line that
// names the file itself.
Result<QImage> DecodePicture(QImageReader& reader, QSize announced, QSize scaledTo = {});

// Whether a picture of this size fits the decoders' allocation limit as it
// stands now.
bool WithinAllocationLimit(QSize size, QImage::Format format);

}  // namespace zentora
