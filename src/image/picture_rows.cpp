#include "image/picture_rows.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <cerrno>
#include <cstring>
#include <memory>

#include "base/system_error_text.h"
#include "image/image_index.h"
#include "image/jpeg_picture_reader.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"
#include "image/png_picture_reader.h"
#include "image/png_row_reader.h"

namespace zentora {

namespace {

PictureRead TooLarge(QSize size) {
  PictureRead result;
  result.status = PictureRead::Status::TooLarge;
  result.width = size.width();
  result.height = size.height();
  return result;
}

PictureRead Unreadable(std::string reason) {
  PictureRead result;
  result.status = PictureRead::Status::Unreadable;
  result.reason = std::move(reason);
  return result;
}

PictureRead Drawn(QSize size, bool transparent, PictureDecoder decoder) {
  PictureRead result;
  result.status = PictureRead::Status::Drawn;
  result.width = size.width();
  result.height = size.height();
  result.transparent = transparent;
  result.decoder = decoder;
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

bool FitsIndexFor(const PictureReadOptions& options, QSize size) {
  return !options.bytesPerPixel ||
         FitsImageIndex(size.width(), size.height(), *options.bytesPerPixel);
}

PictureRead ReadWithGeneralDecoder(QIODevice& device, const PictureReadOptions& options,
                                   CPictureRowSink& sink) {
  QImageReader reader(&device);
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  if (announced.isValid() && !FitsIndexFor(options, announced)) {
    return TooLarge(announced);
  }
  Result<QImage> picture = DecodePicture(reader, announced);
  if (!picture) {
    return Unreadable(picture.error());
  }
  const QSize size = picture.value().size();
  if (!FitsIndexFor(options, size)) {
    return TooLarge(size);
  }
  const bool transparent = options.noteTransparency && HasTransparentPixel(picture.value());
  QImage canvas = DrawOverBlue(std::move(picture).value());
  if (canvas.isNull() || !sink.Begin(size)) {
    return Unreadable(ErrnoMessage(ENOMEM));
  }
  for (int y = 0; y < size.height(); ++y) {
    sink.PixelRow(y, reinterpret_cast<QRgb*>(canvas.scanLine(y)));
  }
  return Drawn(size, transparent, PictureDecoder::kGeneral);
}

// The fast readers below return nullopt for a file they leave to the
// general decoder, which then reads it from the start as it always has;
// what they do return is what the general decoder would have given.

std::optional<PictureRead> ReadPng(QIODevice& device, const PictureReadOptions& options,
                                   CPictureRowSink& sink) {
  const std::unique_ptr<CPngRowReader> rows = CPngRowReader::Open(device);
  if (!rows) {
    return std::nullopt;
  }
  const QSize size = rows->Size();
  if (!FitsIndexFor(options, size)) {
    return TooLarge(size);
  }
  const QImage::Format decoded =
      rows->Channels() == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
  if (!WithinAllocationLimit(size, decoded)) {
    return std::nullopt;
  }
  bool transparent = false;
  if (!ReadPngRows(*rows, sink, transparent)) {
    return std::nullopt;
  }
  return Drawn(size, options.noteTransparency && transparent, PictureDecoder::kPngRows);
}

// Larger files stream through the general decoder rather than sit whole in
// memory.
constexpr qint64 kMaxJpegFileBytes = qint64{64} << 20;

std::optional<PictureRead> ReadJpeg(QIODevice& device, const PictureReadOptions& options,
                                    CPictureRowSink& sink) {
  const qint64 length = device.size() - device.pos();
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
  if (!FitsIndexFor(options, *size)) {
    return TooLarge(*size);
  }
  if (!WithinAllocationLimit(*size, QImage::Format_RGB32)) {
    return std::nullopt;
  }
  const auto rowBytes = static_cast<std::size_t>(size->width()) * 3;
  const std::span<std::uint8_t> rgb =
      sink.Scratch(rowBytes * static_cast<std::size_t>(size->height()));
  if (rgb.empty() || !DecodeTurboJpeg(file, *size, rgb) || !sink.Begin(*size)) {
    return std::nullopt;
  }
  for (int y = 0; y < size->height(); ++y) {
    sink.RgbRow(y, rgb.data() + rowBytes * static_cast<std::size_t>(y));
  }
  return Drawn(*size, false, PictureDecoder::kTurboJpeg);
}

std::optional<PictureRead> ReadFast(QIODevice& device, const PictureReadOptions& options,
                                    CPictureRowSink& sink) {
  if (options.decoders == PictureDecoders::kGeneralOnly || device.isSequential()) {
    return std::nullopt;
  }
  char head[8] = {};
  const qint64 got = device.peek(head, sizeof head);
  if (got == sizeof head && std::memcmp(head, "\x89PNG\r\n\x1a\n", sizeof head) == 0) {
    return ReadPng(device, options, sink);
  }
  if (got >= 2 && static_cast<std::uint8_t>(head[0]) == 0xFF &&
      static_cast<std::uint8_t>(head[1]) == 0xD8) {
    return ReadJpeg(device, options, sink);
  }
  return std::nullopt;
}

}  // namespace

PictureRead ReadPictureRows(QIODevice& device, const PictureReadOptions& options,
                            CPictureRowSink& sink) {
  const qint64 start = device.pos();
  if (std::optional<PictureRead> read = ReadFast(device, options, sink)) {
    return std::move(*read);
  }
  if (!device.isSequential() && device.pos() != start && !device.seek(start)) {
    return Unreadable(ErrnoMessage(EIO));
  }
  return ReadWithGeneralDecoder(device, options, sink);
}

PictureRead ReadPictureRows(const std::filesystem::path& path, const PictureReadOptions& options,
                            CPictureRowSink& sink) {
  if (path.empty()) {
    return Unreadable(ErrnoMessage(ENOENT));
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (Status opened = OpenPictureFile(file); !opened) {
    return Unreadable(opened.message());
  }
  return ReadPictureRows(file, options, sink);
}

}  // namespace zentora
