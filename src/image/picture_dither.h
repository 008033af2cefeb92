#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

#include "image/image_settings.h"

namespace zentora {

// Replaces every pixel of a drawn canvas (Format_RGB32 or Format_ARGB32) by a
// colour that RGB565 holds exactly, chosen by settings.dither, so that the
// packer's dropping of low bits then loses nothing. Works in the canvas's own
// rows, left to right and top to bottom, whatever order the block is stored
// in. A pixel whose colour RGB565 already holds (pure blue, the transparent
// parts, among them) is kept and neither takes nor gives error. Does nothing
// for 24-bit settings, for Dither::kNone and for other formats.
void DitherCanvas(QImage& canvas, const ImageSettings& settings);

// The same a row at a time, for rows on their way from a decoder to the
// packer: every row of the picture in turn from the top (diffusion carries
// error from each row to the next).
class CRowDitherer {
 public:
  CRowDitherer(int width, const ImageSettings& settings);
  // Whether rows change at all: 16 bits with a dither chosen.
  bool Active() const { return dither_ != Dither::kNone; }
  // Row y of width pixels, in place.
  void DitherRow(int y, QRgb* row);
  // Row y of width pixels as red, green, blue bytes, into `out` (as many).
  void DitherRow(int y, const std::uint8_t* rgb, std::uint8_t* out);

 private:
  template <typename In, typename Out>
  void DiffuseRow(const In* in, Out* out);

  Dither dither_;
  int width_;
  // Ordered: 2t + 1 for each column, for each of the table's rows.
  std::array<std::vector<std::uint8_t>, 8> thresholds_;
  // Diffusion, four slots a pixel: the shares from the row above, and the
  // errors of the row being dithered (with a pixel of zeros at each end);
  // whether each pixel of the row is held exactly.
  std::vector<std::int16_t> fromAbove_;
  std::vector<std::int8_t> errors_;
  std::vector<std::uint8_t> held_;
};

}  // namespace zentora
