#include "image/picture_adjust.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file_writer.h"
#include "base/compiler_files.h"
#include "base/exclusive_file.h"
#include "base/file_extension.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "image/gif_writer.h"
#include "image/picture_decode.h"
#include "image/picture_file.h"

namespace zentora {

namespace {

// Pictures far larger than the module's screen are what the adjustment is
// for, so it decodes up to this much where the decoders' usual limit would
// refuse.
constexpr int kAdjustAllocationLimitMiB = 1024;

// The widest pixel Qt decodes into (four 32-bit float channels), so that the
// limit is raised for every picture that might need it.
constexpr std::int64_t kWidestDecodedPixelBytes = 16;

enum class Encoder { Bmp, Gif, Jpeg, Png, Tiff };

std::optional<Encoder> EncoderFor(const std::filesystem::path& path) {
  const std::string extension = LowerCaseExtension(path);
  if (extension == "bmp") {
    return Encoder::Bmp;
  }
  if (extension == "gif") {
    return Encoder::Gif;
  }
  if (extension == "jpg" || extension == "jpeg") {
    return Encoder::Jpeg;
  }
  if (extension == "png") {
    return Encoder::Png;
  }
  if (extension == "tif" || extension == "tiff") {
    return Encoder::Tiff;
  }
  return std::nullopt;
}

// Qt keeps the decoders' allocation limit in one process-wide value. It is
// raised only for a picture whose announced size needs more, only while that
// picture decodes, and for one adjustment at a time; a compile decoding
// meanwhile still refuses pictures too large for the index from their
// headers.
class CRaisedAllocationLimit {
 public:
  explicit CRaisedAllocationLimit(QSize announced) {
    if (!announced.isValid()) {
      return;
    }
    lock_ = std::unique_lock(Mutex());
    const int limit = QImageReader::allocationLimit();
    const std::int64_t needed = static_cast<std::int64_t>(announced.width()) * announced.height() *
                                kWidestDecodedPixelBytes;
    if (limit > 0 && limit < kAdjustAllocationLimitMiB &&
        needed > static_cast<std::int64_t>(limit) * 1024 * 1024) {
      restore_ = limit;
      QImageReader::setAllocationLimit(kAdjustAllocationLimitMiB);
    }
  }
  ~CRaisedAllocationLimit() {
    if (restore_) {
      QImageReader::setAllocationLimit(*restore_);
    }
  }
  CRaisedAllocationLimit(const CRaisedAllocationLimit&) = delete;
  CRaisedAllocationLimit& operator=(const CRaisedAllocationLimit&) = delete;

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }

  std::unique_lock<std::mutex> lock_;
  std::optional<int> restore_;
};

// The first frame at its own pixel size, or why it cannot be decoded. The
// file is closed again on return.
Result<QImage> ReadPicture(const std::filesystem::path& path) {
  if (path.empty()) {
    return Status::Failure(ErrnoMessage(ENOENT));
  }
  QFile file(QFile::decodeName(path.c_str()));
  if (Status opened = OpenPictureFile(file); !opened) {
    return opened;
  }
  // Content decides the decoder; only the encoder follows the extension.
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  const QSize announced = reader.size();
  const CRaisedAllocationLimit raised(announced);
  return DecodePicture(reader, announced);
}

QImage DrawAdjusted(const QImage& picture, int width, int height, AdjustMethod method,
                    bool keepAspectRatio) {
  // Every pixel ends up opaque, so a canvas without alpha holds the same
  // result as one with it.
  QImage canvas(width, height, QImage::Format_RGB32);
  if (canvas.isNull()) {
    return canvas;
  }
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const int w = picture.width();
  const int h = picture.height();
  if (method == AdjustMethod::Crop) {
    painter.drawImage(QPoint(0, 0), picture, QRect(0, 0, std::min(width, w), std::min(height, h)));
  } else if (!keepAspectRatio) {
    painter.drawImage(QRectF(0, 0, width, height), picture, QRectF(0, 0, w, h));
  } else {
    // Single precision, as the region's size has always been computed.
    const float g = std::min(static_cast<float>(w) / static_cast<float>(width),
                             static_cast<float>(h) / static_cast<float>(height));
    painter.drawImage(QRectF(0, 0, width, height), picture,
                      QRectF(0, 0, static_cast<float>(width) * g, static_cast<float>(height) * g));
  }
  painter.end();
  return canvas;
}

Result<std::vector<std::uint8_t>> Encode(const QImage& canvas, Encoder encoder) {
  if (encoder == Encoder::Gif) {
    return EncodeGif(canvas);
  }
  const char* format = "png";
  switch (encoder) {
    case Encoder::Bmp:
      format = "bmp";
      break;
    case Encoder::Jpeg:
      format = "jpeg";
      break;
    case Encoder::Tiff:
      format = "tiff";
      break;
    case Encoder::Png:
    case Encoder::Gif:
      break;
  }
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(canvas)) {
    return Status::Failure(writer.errorString().toStdString());
  }
  const QByteArray& bytes = buffer.data();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

Result<AdjustOutcome> Adjust(const std::filesystem::path& path, Encoder encoder, int width,
                             int height, AdjustMethod method, bool keepAspectRatio) {
  QImage canvas;
  {
    // The decoded picture goes before the encoding needs its memory.
    const Result<QImage> picture = ReadPicture(path);
    if (!picture) {
      return Status::Failure(Tr("image", "无法读取图片：") +
                             WithReason(path.string(), picture.error()));
    }
    canvas = DrawAdjusted(picture.value(), width, height, method, keepAspectRatio);
  }
  if (canvas.isNull()) {
    return Status::Failure(WriteFailureLine(path, Status::Failure(ErrnoMessage(ENOMEM))));
  }
  const Result<std::vector<std::uint8_t>> encoded = Encode(canvas, encoder);
  if (!encoded) {
    return Status::Failure(WriteFailureLine(path, encoded.status()));
  }
  if (Status written = WriteFileAtomically(path, encoded.value()); !written) {
    return Status::Failure(WriteFailureLine(path, written));
  }
  return AdjustOutcome::Rewritten;
}

}  // namespace

Result<AdjustOutcome> AdjustPicture(const std::filesystem::path& path, int width, int height,
                                    AdjustMethod method, bool keepAspectRatio) {
  if (width < kMinAdjustSide || width > kMaxAdjustSide || height < kMinAdjustSide ||
      height > kMaxAdjustSide) {
    return Status::Failure("Enter an integer between " + std::to_string(kMinAdjustSide) + " and " +
                           std::to_string(kMaxAdjustSide) + ".");
  }
  const std::optional<Encoder> encoder = EncoderFor(path);
  if (!encoder) {
    return AdjustOutcome::NoEncoder;
  }
  try {
    return Adjust(path, *encoder, width, height, method, keepAspectRatio);
  } catch (const std::bad_alloc&) {
    return Status::Failure(WriteFailureLine(path, Status::Failure(ErrnoMessage(ENOMEM))));
  }
}

}  // namespace zentora
