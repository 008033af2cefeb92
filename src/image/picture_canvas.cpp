#include "image/picture_canvas.h"

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

PictureCanvas Draw(QImageReader& reader, std::optional<int> bytesPerPixel, QImage recycled) {
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  if (announced.isValid() && !FitsIndexFor(bytesPerPixel, announced)) {
    return Refused(PictureCanvas::Status::TooLarge, announced);
  }
  // Memory is handed only to the PNG and JPEG decoders, which write every
  // pixel of the frame into it. Other decoders have their own rules for an
  // image they are given (GIF frames are drawn over earlier ones), so they
  // start from a fresh image.
  const QByteArray format = reader.format();
  QImage picture;
  if (format == "png" || format == "jpeg") {
    picture = std::move(recycled);
  }
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
