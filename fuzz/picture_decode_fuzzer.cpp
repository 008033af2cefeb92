// The compiler's picture path from raw bytes: decode, draw over blue, pack;
// the same bytes drawn by the general decoder alone, which must give the
// same result wherever a fast reader took them; then the same bytes decoded
// and drawn scaled, as the adjustment draws them, which reads a paletted
// picture through its colour table.
// The first byte picks the packing settings so every variant gets exercised.
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

#include "fuzz/same_canvas.h"
#include "image/image_index.h"
#include "image/picture_canvas.h"
#include "image/picture_decode.h"
#include "image/pixel_packing.h"

namespace {

void DrawScaled(QByteArray& bytes) {
  QBuffer device(&bytes);
  device.open(QIODevice::ReadOnly);
  QImageReader reader(&device);
  const zentora::Result<QImage> picture = zentora::DecodePicture(reader, reader.size());
  if (!picture) {
    return;
  }
  // Drawing reads a paletted picture's colour table by the pixels' indexes,
  // inside Qt where the sanitizers do not look: every index must be in it.
  // (Grey pictures are 8 bits deep too, with no table to read.)
  const QImage::Format format = picture.value().format();
  const int indexes = format == QImage::Format_Indexed8                                   ? 256
                      : format == QImage::Format_Mono || format == QImage::Format_MonoLSB ? 2
                                                                                          : 0;
  if (picture.value().colorCount() < indexes) {
    std::abort();
  }
  QImage canvas(16, 16, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(0, 0, 16, 16), picture.value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::uint8_t flags = data[0];
  zentora::ImageSettings settings;
  settings.colorDepth = flags & 1;
  settings.msbFirst = (flags & 2) != 0;
  settings.rowRightToLeft = (flags & 4) != 0;
  settings.columnBottomToTop = (flags & 8) != 0;
  settings.columnFirst = (flags & 16) != 0;

  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1),
                                             static_cast<qsizetype>(size - 1));
  QBuffer device(&bytes);
  device.open(QIODevice::ReadOnly);
  const zentora::PictureCanvas drawn = zentora::DrawPictureCanvas(device, settings.BytesPerPixel());
  QBuffer again(&bytes);
  again.open(QIODevice::ReadOnly);
  const zentora::PictureCanvas general = zentora::DrawPictureCanvas(
      again, settings.BytesPerPixel(), zentora::PictureDecoders::kGeneralOnly);
  if (!zentora::fuzz::SameCanvas(drawn, general)) {
    std::abort();
  }
  DrawScaled(bytes);
  if (drawn.status != zentora::PictureCanvas::Status::Drawn) {
    return 0;
  }
  if (!zentora::FitsImageIndex(drawn.width, drawn.height, settings.BytesPerPixel())) {
    std::abort();
  }
  const std::vector<std::uint8_t> block =
      zentora::PackPicture(drawn.canvas, drawn.width, drawn.height, settings);
  if (block.size() !=
      zentora::ImageDataLength(drawn.width, drawn.height, settings.BytesPerPixel())) {
    std::abort();
  }
  return 0;
}
