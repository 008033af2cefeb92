#include "image/picture_canvas.h"

#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <optional>

#include "image/image_index.h"
#include "image/picture_file.h"

namespace zentora {

namespace {

constexpr QRgb kCanvasBlue = 0xFF0000FF;

PictureCanvas Refused(PictureCanvas::Status status, QSize size = {}) {
  PictureCanvas result;
  result.status = status;
  if (status == PictureCanvas::Status::TooLarge) {
    result.width = size.width();
    result.height = size.height();
  }
  return result;
}

QImage DrawOverBlue(QImage picture) {
  picture.setDevicePixelRatio(1.0);
  if (!picture.hasAlphaChannel()) {
    // Opaque pictures would come out of the blend unchanged.
    return picture.convertToFormat(QImage::Format_RGB32);
  }
  QImage canvas(picture.size(), QImage::Format_RGB32);
  if (canvas.isNull()) {
    return canvas;
  }
  canvas.fill(kCanvasBlue);
  QPainter painter(&canvas);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QPoint(0, 0), picture);
  painter.end();
  return canvas;
}

// No bytes per pixel: there is no index entry to keep true.
bool FitsIndexFor(std::optional<int> bytesPerPixel, QSize size) {
  return !bytesPerPixel || FitsImageIndex(size.width(), size.height(), *bytesPerPixel);
}

bool WithinAllocationLimit(QSize size, QImage::Format format) {
  const qint64 limit = QImageReader::allocationLimit();
  const qint64 bitsPerLine =
      qint64{size.width()} * QImage::toPixelFormat(format).bitsPerPixel() + 31;
  return limit == 0 || bitsPerLine / 32 * 4 * size.height() <= limit * 1024 * 1024;
}

// The memory a decoder writes into. A decoder may leave pixels it does not
// deliver as it found them (a BMP cut short, the pixels a run-length BMP
// skips), so the memory is ours and filled before decoding: such pixels come
// out as the canvas blue (for paletted pictures, as their first palette
// colour) and the output depends on the file alone. Animated formats draw
// each frame over the one before by rules of their own, so they start from
// nothing; so does a picture the decoder's allocation limit will refuse.
QImage PrefilledTarget(QImageReader& reader, QSize announced, QImage recycled) {
  const QImage::Format format = reader.imageFormat();
  if (!announced.isValid() || format == QImage::Format_Invalid || reader.format() == "gif" ||
      reader.supportsAnimation() || !WithinAllocationLimit(announced, format)) {
    return {};
  }
  QImage target = recycled.size() == announced && recycled.format() == format
                      ? std::move(recycled)
                      : QImage(announced, format);
  target.fill(QColor::fromRgb(kCanvasBlue));
  return target;
}

PictureCanvas Draw(QImageReader& reader, std::optional<int> bytesPerPixel, QImage recycled) {
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  if (announced.isValid() && !FitsIndexFor(bytesPerPixel, announced)) {
    return Refused(PictureCanvas::Status::TooLarge, announced);
  }
  QImage picture = PrefilledTarget(reader, announced, std::move(recycled));
  if (!reader.read(&picture) || picture.isNull()) {
    return Refused(PictureCanvas::Status::Unreadable);
  }
  if (!FitsIndexFor(bytesPerPixel, picture.size())) {
    return Refused(PictureCanvas::Status::TooLarge, picture.size());
  }
  PictureCanvas result;
  result.width = picture.width();
  result.height = picture.height();
  result.canvas = DrawOverBlue(std::move(picture));
  if (result.canvas.isNull()) {
    return Refused(PictureCanvas::Status::Unreadable);
  }
  result.status = PictureCanvas::Status::Drawn;
  return result;
}

PictureCanvas DrawFile(const std::filesystem::path& path, std::optional<int> bytesPerPixel,
                       QImage recycled) {
  if (path.empty()) {
    return Refused(PictureCanvas::Status::Unreadable);
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (!OpenPictureFile(file)) {
    return Refused(PictureCanvas::Status::Unreadable);
  }
  // Content decides the format, not the extension, so a renamed file still
  // decodes.
  QImageReader reader(&file);
  return Draw(reader, bytesPerPixel, std::move(recycled));
}

}  // namespace

PictureCanvas DrawPictureCanvas(QIODevice& device, int bytesPerPixel, QImage recycled) {
  QImageReader reader(&device);
  return Draw(reader, bytesPerPixel, std::move(recycled));
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path, int bytesPerPixel,
                                QImage recycled) {
  return DrawFile(path, bytesPerPixel, std::move(recycled));
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path) {
  return DrawFile(path, std::nullopt, {});
}

}  // namespace zentora
