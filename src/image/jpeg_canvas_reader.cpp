#include "image/jpeg_canvas_reader.h"

#include <turbojpeg.h>

#include <bit>
#include <memory>
#include <type_traits>

namespace zentora {

namespace {

static_assert(std::endian::native == std::endian::little,
              "QRgb 0xAARRGGBB is stored as B, G, R, A: TurboJPEG's BGRX");

// One decompressor for each thread that decodes: creating one costs more
// than decoding a small picture.
tjhandle ThreadDecompressor() {
  struct Destroy {
    void operator()(void* handle) const { tjDestroy(handle); }
  };
  thread_local const std::unique_ptr<std::remove_pointer_t<tjhandle>, Destroy> handle(
      tjInitDecompress());
  return handle.get();
}

// Colour spaces whose pixels come out as Qt's plugin gives them: YCbCr and
// RGB through libjpeg's own conversion, grey repeated into each channel.
// CMYK and YCCK the plugin converts by a formula of its own.
bool TakenColourSpace(int colourSpace) {
  return colourSpace == TJCS_YCbCr || colourSpace == TJCS_RGB || colourSpace == TJCS_GRAY;
}

}  // namespace

std::optional<QSize> TurboJpegSize(std::span<const std::uint8_t> file) {
  tjhandle handle = ThreadDecompressor();
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colourSpace = 0;
  if (handle == nullptr || file.empty() ||
      tjDecompressHeader3(handle, file.data(), static_cast<unsigned long>(file.size()), &width,
                          &height, &subsampling, &colourSpace) != 0 ||
      !TakenColourSpace(colourSpace) || width <= 0 || height <= 0) {
    return std::nullopt;
  }
  return QSize(width, height);
}

bool DecodeTurboJpeg(std::span<const std::uint8_t> file, QImage& canvas) {
  tjhandle handle = ThreadDecompressor();
  if (handle == nullptr || canvas.format() != QImage::Format_RGB32) {
    return false;
  }
  // The accurate IDCT and smooth upsampling are the library's defaults, as
  // in the plugin at its default quality; a warning (data cut short, bytes
  // out of place) stops the decode, so that the plugin takes the file and
  // its way of going on.
  const int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING;
  return tjDecompress2(handle, file.data(), static_cast<unsigned long>(file.size()), canvas.bits(),
                       canvas.width(), static_cast<int>(canvas.bytesPerLine()), canvas.height(),
                       TJPF_BGRX, flags) == 0;
}

}  // namespace zentora
