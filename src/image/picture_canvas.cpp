#include "image/picture_canvas.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <cerrno>
#include <optional>

#include "base/system_error_text.h"
#include "image/image_index.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"

namespace zentora {

namespace {

constexpr QRgb kCanvasBlue = 0xFF0000FF;

PictureCanvas TooLarge(QSize size) {
  PictureCanvas result;
  result.status = PictureCanvas::Status::TooLarge;
  result.width = size.width();
  result.height = size.height();
  return result;
}

PictureCanvas Unreadable(std::string reason) {
  PictureCanvas result;
  result.status = PictureCanvas::Status::Unreadable;
  result.reason = std::move(reason);
  return result;
}

QImage DrawOverBlue(QImage picture) {
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

bool HasTransparentPixel(const QImage& picture) {
  if (!picture.hasAlphaChannel()) {
    return false;
  }
  const QImage argb = picture.format() == QImage::Format_ARGB32 ||
                              picture.format() == QImage::Format_ARGB32_Premultiplied
                          ? picture
                          : picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x) {
      if (qAlpha(row[x]) != 255) {
        return true;
      }
    }
  }
  return false;
}

// No bytes per pixel: there is no index entry to keep true.
bool FitsIndexFor(std::optional<int> bytesPerPixel, QSize size) {
  return !bytesPerPixel || FitsImageIndex(size.width(), size.height(), *bytesPerPixel);
}

PictureCanvas Draw(QImageReader& reader, std::optional<int> bytesPerPixel, QImage recycled,
                   bool noteTransparency = false) {
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  if (announced.isValid() && !FitsIndexFor(bytesPerPixel, announced)) {
    return TooLarge(announced);
  }
  Result<QImage> picture = DecodePicture(reader, announced, {}, std::move(recycled));
  if (!picture) {
    return Unreadable(picture.error());
  }
  if (!FitsIndexFor(bytesPerPixel, picture.value().size())) {
    return TooLarge(picture.value().size());
  }
  PictureCanvas result;
  result.width = picture.value().width();
  result.height = picture.value().height();
  result.transparent = noteTransparency && HasTransparentPixel(picture.value());
  result.canvas = DrawOverBlue(std::move(picture).value());
  if (result.canvas.isNull()) {
    return Unreadable(ErrnoMessage(ENOMEM));
  }
  result.status = PictureCanvas::Status::Drawn;
  return result;
}

PictureCanvas DrawFile(const std::filesystem::path& path, std::optional<int> bytesPerPixel,
                       QImage recycled, bool noteTransparency = false) {
  if (path.empty()) {
    return Unreadable(ErrnoMessage(ENOENT));
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (Status opened = OpenPictureFile(file); !opened) {
    return Unreadable(opened.message());
  }
  // Content decides the format, not the extension, so a renamed file still
  // decodes.
  QImageReader reader(&file);
  return Draw(reader, bytesPerPixel, std::move(recycled), noteTransparency);
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

PictureCanvas DrawPictureCanvasNotingTransparency(const std::filesystem::path& path) {
  return DrawFile(path, std::nullopt, {}, true);
}

}  // namespace zentora
