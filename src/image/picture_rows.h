#pragma once

#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

class QIODevice;

namespace zentora {

// The blue that transparent parts are drawn over, and that fills what a
// damaged file never delivers.
inline constexpr QRgb kCanvasBlue = 0xFF0000FF;

// Which decoder read a picture. The fast readers take the common layouts
// (8-bit RGB and RGBA PNGs, JPEGs in YCbCr, RGB or grey) and give exactly the
// general decoder's pixels; every other file, and every file they would not
// read the way the general decoder does, goes to the general decoder (Qt's
// image plugins).
enum class PictureDecoder { kGeneral, kPngRows, kTurboJpeg };

// Whether the fast readers may try first; tests and fuzzers compare them
// with the general decoder alone.
enum class PictureDecoders { kFastFirst, kGeneralOnly };

// Receives a picture's rows as the compilers see them, transparent parts
// blended over pure blue, from the top row to the bottom one. A fast reader
// that finds damage late (at the end of a file) hands the picture to the
// general decoder, and Begin comes again with the rows from the top.
class CPictureRowSink {
 public:
  virtual ~CPictureRowSink() = default;
  // False when there is no memory for a picture of this size: it is then
  // unreadable.
  virtual bool Begin(QSize size) = 0;
  // Row y of size.width() pixels: opaque QRgb values, which the sink may
  // change in place, or red, green and blue bytes.
  virtual void PixelRow(int y, QRgb* row) = 0;
  virtual void RgbRow(int y, const std::uint8_t* rgb) = 0;
  // Memory a reader decodes a whole picture into before its rows come
  // (bytes long, valid until the next call); empty when there is none.
  virtual std::span<std::uint8_t> Scratch(std::size_t bytes) = 0;
};

// How reading a picture went.
struct PictureRead {
  enum class Status {
    Drawn,
    Unreadable,  // missing, not a picture, or beyond the decoder's allocation limit
    TooLarge,    // decodable, but its index entry could not describe it
  };
  Status status = Status::Unreadable;
  std::string reason;  // why it is Unreadable, for a line that names the file
  int width = 0;       // set for Drawn and TooLarge
  int height = 0;      // set for Drawn and TooLarge
  // Some pixel was less than opaque, so the blue shows through it; only
  // looked for when asked.
  bool transparent = false;
  PictureDecoder decoder = PictureDecoder::kGeneral;
};

struct PictureReadOptions {
  // Pictures whose index entry at this many bytes a pixel could not be true
  // are refused as TooLarge, from their header alone where the format tells
  // the size up front. None: there is no index entry to keep true (the C
  // header), and only the decoder's allocation limit bounds a picture.
  std::optional<int> bytesPerPixel;
  bool noteTransparency = false;
  PictureDecoders decoders = PictureDecoders::kFastFirst;
};

// Decodes the first frame of a picture file (content decides the format,
// not the extension) and hands its rows to the sink.
PictureRead ReadPictureRows(const std::filesystem::path& path, const PictureReadOptions& options,
                            CPictureRowSink& sink);
// The same from a device that can seek, from its current position.
PictureRead ReadPictureRows(QIODevice& device, const PictureReadOptions& options,
                            CPictureRowSink& sink);

}  // namespace zentora
