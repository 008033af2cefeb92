#pragma once

#include <QImage>

#include <filesystem>

#include "image/picture_rows.h"

class QIODevice;

namespace zentora {

// A picture decoded and drawn the way the compilers and the export see it:
// an opaque Format_RGB32 canvas at the picture's own pixel size, transparent
// parts blended over pure blue. The canvas is set for Drawn.
struct PictureCanvas : PictureRead {
  QImage canvas;
};

// Decodes the first frame of a picture file and draws it onto the blue
// canvas. Pictures whose index entry at bytesPerPixel could not be true are
// refused as TooLarge, from their header alone where the format tells the
// size up front.
//
// `recycled` may hand in a canvas that is no longer needed: when the next
// picture has the same size, it is drawn into its memory instead of new
// memory that would have to be faulted in.
PictureCanvas DrawPictureCanvas(const std::filesystem::path& path, int bytesPerPixel,
                                QImage recycled = {});
// From a device that can seek, from its start.
PictureCanvas DrawPictureCanvas(QIODevice& device, int bytesPerPixel,
                                PictureDecoders decoders = PictureDecoders::kFastFirst);

// The same without the index's limits, for output that has no index entry to
// keep true (the C header): only the decoder's allocation limit bounds it,
// and the result is never TooLarge.
PictureCanvas DrawPictureCanvas(const std::filesystem::path& path);

// The same, also noting whether the picture has any transparency.
PictureCanvas DrawPictureCanvasNotingTransparency(
    const std::filesystem::path& path, PictureDecoders decoders = PictureDecoders::kFastFirst);

}  // namespace zentora
