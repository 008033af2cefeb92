#pragma once

#include <QImage>

#include <optional>

namespace zentora {

class CPngRowReader;

struct PngCanvas {
  QImage canvas;             // Format_RGB32, transparent parts blended over blue
  bool transparent = false;  // some pixel was less than opaque
};

// Draws the rows of an opened PNG onto the blue canvas as the general
// decoder and the blend would: RGB rows as they are, RGBA rows over blue
// with Qt's own blend, a batch of rows at a time, and opaque rows copied.
// `recycled` is used when it has the picture's size and Format_RGB32.
// nullopt when the rows stop early or the rest of the file does not check
// out, so that the general decoder reads the file instead.
std::optional<PngCanvas> DrawPngRows(CPngRowReader& rows, QImage recycled);

}  // namespace zentora
