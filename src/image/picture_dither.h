#pragma once

#include <QImage>

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

}  // namespace zentora
