#include "image/picture_decode.h"

#include <QColor>
#include <QIODevice>
#include <QImageIOHandler>
#include <QImageReader>
#include <QList>
#include <QMimeDatabase>
#include <QMimeType>

#include "base/translation.h"
#include "image/picture_rows.h"

namespace zentora {

namespace {

constexpr QRgb kBeyondTable = 0xFF000000;

bool Animated(QImageReader& reader) {
  return reader.format() == "gif" || reader.supportsAnimation();
}

QSize DecodedSize(QImageReader& reader, QSize announced, QSize scaledTo) {
  if (scaledTo.isValid() && announced.isValid() &&
      reader.supportsOption(QImageIOHandler::ScaledSize)) {
    reader.setScaledSize(scaledTo);
    return scaledTo;
  }
  return announced;
}

QImage PrefilledTarget(QImageReader& reader, QSize size) {
  const QImage::Format format = reader.imageFormat();
  if (!size.isValid() || format == QImage::Format_Invalid || Animated(reader) ||
      !WithinAllocationLimit(size, format)) {
    return {};
  }
  QImage target(size, format);
  // Paletted targets have no table yet: index 0, the file's first colour.
  target.fill(QColor::fromRgb(kCanvasBlue));
  return target;
}

// The tables QImage's conversions fall back on, so that converting the
// picture gives the same pixels as before while drawing it reads only
// inside its table.
void CoverEveryIndex(QImage& picture) {
  QList<QRgb> table = picture.colorTable();
  switch (picture.format()) {
    case QImage::Format_Indexed8:
      if (table.isEmpty()) {
        for (int i = 0; i < 256; ++i) {
          table.append(qRgb(i, i, i));
        }
      }
      if (table.size() < 256) {
        table.resize(256, kBeyondTable);
      }
      break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      if (table.isEmpty()) {
        table.append(kBeyondTable);
      }
      if (table.size() < 2) {
        table.resize(2, 0xFFFFFFFF);
      }
      break;
    default:
      return;
  }
  if (table.size() != picture.colorCount()) {
    picture.setColorTable(table);
  }
}

bool LooksLikeAPicture(QIODevice* device) {
  if (device == nullptr || device->isSequential() || !device->seek(0)) {
    return false;
  }
  const QMimeType type = QMimeDatabase().mimeTypeForData(device);
  return type.name().startsWith(QLatin1String("image/"));
}

std::string FailureReason(QImageReader& reader, QSize announced) {
  if (reader.error() == QImageReader::UnsupportedFormatError) {
    return LooksLikeAPicture(reader.device()) ? Tr("image", "不支持的图片格式")
                                              : Tr("image", "不是图片文件");
  }
  const QImage::Format format = reader.imageFormat();
  if (announced.isValid() &&
      !WithinAllocationLimit(announced,
                             format == QImage::Format_Invalid ? QImage::Format_ARGB32 : format)) {
    return Tr("image", "图片太大，超出解码内存上限");
  }
  return Tr("image", "图片文件已损坏");
}

}  // namespace

bool WithinAllocationLimit(QSize size, QImage::Format format) {
  const qint64 limit = QImageReader::allocationLimit();
  const qint64 bitsPerLine =
      qint64{size.width()} * QImage::toPixelFormat(format).bitsPerPixel() + 31;
  return limit == 0 || bitsPerLine / 32 * 4 * size.height() <= limit * 1024 * 1024;
}

Result<QImage> DecodePicture(QImageReader& reader, QSize announced, QSize scaledTo) {
  const QSize decoded = DecodedSize(reader, announced, scaledTo);
  QImage picture = PrefilledTarget(reader, decoded);
  if (!reader.read(&picture) || picture.isNull()) {
    return Status::Failure(FailureReason(reader, announced));
  }
  // A name ending in "@2x" would otherwise halve the drawn size.
  picture.setDevicePixelRatio(1.0);
  CoverEveryIndex(picture);
  return picture;
}

}  // namespace zentora
