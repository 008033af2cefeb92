#pragma once

#include <QImage>

#include <filesystem>
#include <string>

class QIODevice;

namespace zentora {

// Which decoder drew a picture. The fast readers take the common layouts
// (8-bit RGB and RGBA PNGs, JPEGs in YCbCr, RGB or grey) and give exactly the
// general decoder's pixels; every other file, and every file they would not
// read the way the general decoder does, goes to the general decoder (Qt's
// image plugins).
enum class PictureDecoder { kGeneral, kPngRows, kTurboJpeg };

// Whether the fast readers may try first; tests and fuzzers compare them
// with the general decoder alone.
enum class PictureDecoders { kFastFirst, kGeneralOnly };

// A picture decoded and drawn the way the compilers and the export see it:
// an opaque Format_RGB32 canvas at the picture's own pixel size, transparent
// parts blended over pure blue.
struct PictureCanvas {
  enum class Status {
    Drawn,
    Unreadable,  // missing, not a picture, or beyond the decoder's allocation limit
    TooLarge,    // decodable, but its index entry could not describe it
  };
  Status status = Status::Unreadable;
  std::string reason;  // why it is Unreadable, for a line that names the file
  QImage canvas;
  int width = 0;   // set for Drawn and TooLarge
  int height = 0;  // set for Drawn and TooLarge
  // Some pixel was less than opaque, so the blue shows through it. Only
  // DrawPictureCanvasNotingTransparency looks; the compilers have no use for it.
  bool transparent = false;
  PictureDecoder decoder = PictureDecoder::kGeneral;
};

// Decodes the first frame of a picture file and draws it onto the blue
// canvas. Pictures whose index entry at bytesPerPixel could not be true are
// refused as TooLarge, from their header alone where the format tells the
// size up front.
//
// `recycled` may hand in a canvas that is no longer needed: when the next
// picture has the same size and format, the decoder writes into its memory
// instead of allocating and faulting in a new one.
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
