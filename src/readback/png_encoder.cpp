#include "readback/png_encoder.h"

#include <spng.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/translation.h"

namespace zentora {

namespace {

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

Status Failed(int error) {
  return Status::Failure(Tr("inspect", "PNG 编码失败：") + spng_strerror(error));
}

}  // namespace

Result<QByteArray> EncodePng(const QImage& picture, PngPacking packing) {
  if (picture.isNull() || picture.format() != QImage::Format_RGB32) {
    return Status::Failure(Tr("inspect", "PNG 编码失败：图片格式不对"));
  }
  const std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!context) {
    return Status::Failure(Tr("inspect", "内存不足"));
  }
  spng_ctx* png = context.get();
  spng_ihdr header{};
  header.width = static_cast<std::uint32_t>(picture.width());
  header.height = static_cast<std::uint32_t>(picture.height());
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  int error = spng_set_option(png, SPNG_ENCODE_TO_BUFFER, 1);
  if (packing == PngPacking::Stored) {
    // zlib level 0, and no row filters: nothing for them to help.
    error = error ? error : spng_set_option(png, SPNG_IMG_COMPRESSION_LEVEL, 0);
    error = error ? error : spng_set_option(png, SPNG_FILTER_CHOICE, SPNG_DISABLE_FILTERING);
  } else {
    // zlib's fastest level with the one filter that suits flat backgrounds
    // and thumbnails alike: most of a sheet's size for a tenth of the time.
    error = error ? error : spng_set_option(png, SPNG_IMG_COMPRESSION_LEVEL, 1);
    error = error ? error : spng_set_option(png, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_SUB);
  }
  error = error ? error : spng_set_ihdr(png, &header);
  error = error ? error
                : spng_encode_image(png, nullptr, 0, SPNG_FMT_PNG,
                                    SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(picture.width()) * 3);
  for (int y = 0; y < picture.height() && !error; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    for (std::size_t x = 0; x < row.size() / 3; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(qRed(in[x]));
      row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in[x]));
      row[3 * x + 2] = static_cast<std::uint8_t>(qBlue(in[x]));
    }
    error = spng_encode_row(png, row.data(), row.size());
    if (error == SPNG_EOI) {
      error = 0;
    }
  }
  if (error) {
    return Failed(error);
  }
  std::size_t length = 0;
  void* bytes = spng_get_png_buffer(png, &length, &error);
  if (bytes == nullptr) {
    return Failed(error);
  }
  QByteArray encoded(static_cast<const char*>(bytes), static_cast<qsizetype>(length));
  std::free(bytes);
  return encoded;
}

}  // namespace zentora
