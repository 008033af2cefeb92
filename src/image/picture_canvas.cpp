#include "image/picture_canvas.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <span>

#include "base/system_error_text.h"
#include "image/image_index.h"
#include "image/jpeg_canvas_reader.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"
#include "image/png_canvas_reader.h"
#include "image/png_row_reader.h"

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

// What a caller asks of one drawing.
struct Request {
  std::optional<int> bytesPerPixel;  // none: no index entry to keep true
  QImage recycled;
  bool noteTransparency = false;
  PictureDecoders decoders = PictureDecoders::kFastFirst;
};

PictureCanvas Drawn(QImage canvas, bool transparent, PictureDecoder decoder) {
  // A recycled canvas may carry another picture's "@2x" ratio.
  canvas.setDevicePixelRatio(1.0);
  PictureCanvas result;
  result.status = PictureCanvas::Status::Drawn;
  result.width = canvas.width();
  result.height = canvas.height();
  result.canvas = std::move(canvas);
  result.transparent = transparent;
  result.decoder = decoder;
  return result;
}

PictureCanvas Draw(QImageReader& reader, Request request) {
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  if (announced.isValid() && !FitsIndexFor(request.bytesPerPixel, announced)) {
    return TooLarge(announced);
  }
  Result<QImage> picture = DecodePicture(reader, announced, {}, std::move(request.recycled));
  if (!picture) {
    return Unreadable(picture.error());
  }
  if (!FitsIndexFor(request.bytesPerPixel, picture.value().size())) {
    return TooLarge(picture.value().size());
  }
  const bool transparent = request.noteTransparency && HasTransparentPixel(picture.value());
  QImage canvas = DrawOverBlue(std::move(picture).value());
  if (canvas.isNull()) {
    return Unreadable(ErrnoMessage(ENOMEM));
  }
  return Drawn(std::move(canvas), transparent, PictureDecoder::kGeneral);
}

// The fast readers below return nullopt for a file they leave to the
// general decoder, which then reads it from the start as it always has;
// what they do return is what the general decoder would have given.

std::optional<PictureCanvas> DrawPng(QIODevice& device, Request& request) {
  const std::unique_ptr<CPngRowReader> rows = CPngRowReader::Open(device);
  if (!rows) {
    return std::nullopt;
  }
  const QSize size = rows->Size();
  if (!FitsIndexFor(request.bytesPerPixel, size)) {
    return TooLarge(size);
  }
  const QImage::Format decoded =
      rows->Channels() == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  if (!WithinAllocationLimit(size, decoded)) {
    return std::nullopt;
  }
  std::optional<PngCanvas> drawn = DrawPngRows(*rows, std::move(request.recycled));
  if (!drawn) {
    return std::nullopt;
  }
  return Drawn(std::move(drawn->canvas), request.noteTransparency && drawn->transparent,
               PictureDecoder::kPngRows);
}

// Larger files stream through the general decoder rather than sit whole in
// memory.
constexpr qint64 kMaxJpegFileBytes = qint64{64} << 20;

std::optional<PictureCanvas> DrawJpeg(QIODevice& device, Request& request) {
  const qint64 length = device.size();
  if (length <= 0 || length > kMaxJpegFileBytes) {
    return std::nullopt;
  }
  const auto bytes =
      std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(length));
  if (device.read(reinterpret_cast<char*>(bytes.get()), length) != length) {
    return std::nullopt;
  }
  const std::span<const std::uint8_t> file(bytes.get(), static_cast<std::size_t>(length));
  const std::optional<QSize> size = TurboJpegSize(file);
  if (!size) {
    return std::nullopt;
  }
  if (!FitsIndexFor(request.bytesPerPixel, *size)) {
    return TooLarge(*size);
  }
  if (!WithinAllocationLimit(*size, QImage::Format_RGB32)) {
    return std::nullopt;
  }
  QImage canvas =
      request.recycled.size() == *size && request.recycled.format() == QImage::Format_RGB32
          ? std::move(request.recycled)
          : QImage(*size, QImage::Format_RGB32);
  if (canvas.isNull() || !DecodeTurboJpeg(file, canvas)) {
    request.recycled = std::move(canvas);
    return std::nullopt;
  }
  return Drawn(std::move(canvas), false, PictureDecoder::kTurboJpeg);
}

std::optional<PictureCanvas> DrawFast(QIODevice& device, Request& request) {
  if (request.decoders == PictureDecoders::kGeneralOnly || device.isSequential()) {
    return std::nullopt;
  }
  char head[8] = {};
  const qint64 got = device.peek(head, sizeof head);
  std::optional<PictureCanvas> drawn;
  if (got == sizeof head && std::memcmp(head, "\x89PNG\r\n\x1a\n", sizeof head) == 0) {
    drawn = DrawPng(device, request);
  } else if (got >= 2 && static_cast<std::uint8_t>(head[0]) == 0xFF &&
             static_cast<std::uint8_t>(head[1]) == 0xD8) {
    drawn = DrawJpeg(device, request);
  }
  return drawn;
}

PictureCanvas DrawDevice(QIODevice& device, Request request) {
  const qint64 start = device.pos();
  if (std::optional<PictureCanvas> drawn = DrawFast(device, request)) {
    return std::move(*drawn);
  }
  if (!device.isSequential() && device.pos() != start && !device.seek(start)) {
    return Unreadable(ErrnoMessage(EIO));
  }
  QImageReader reader(&device);
  return Draw(reader, std::move(request));
}

PictureCanvas DrawFile(const std::filesystem::path& path, Request request) {
  if (path.empty()) {
    return Unreadable(ErrnoMessage(ENOENT));
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (Status opened = OpenPictureFile(file); !opened) {
    return Unreadable(opened.message());
  }
  // Content decides the format, not the extension, so a renamed file still
  // decodes.
  return DrawDevice(file, std::move(request));
}

}  // namespace

PictureCanvas DrawPictureCanvas(QIODevice& device, int bytesPerPixel, PictureDecoders decoders) {
  return DrawDevice(device, {bytesPerPixel, {}, false, decoders});
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path, int bytesPerPixel,
                                QImage recycled) {
  return DrawFile(path, {bytesPerPixel, std::move(recycled)});
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path) {
  return DrawFile(path, {});
}

PictureCanvas DrawPictureCanvasNotingTransparency(const std::filesystem::path& path,
                                                  PictureDecoders decoders) {
  return DrawFile(path, {std::nullopt, {}, true, decoders});
}

}  // namespace zentora
