#include "image/jpeg_picture_reader.h"

#include <turbojpeg.h>

#include <memory>
#include <type_traits>

namespace zentora {

namespace {

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

bool DecodeTurboJpeg(std::span<const std::uint8_t> file, QSize size, std::span<std::uint8_t> rgb) {
  tjhandle handle = ThreadDecompressor();
  const int pitch = size.width() * 3;
  if (handle == nullptr ||
      rgb.size() != static_cast<std::size_t>(pitch) * static_cast<std::size_t>(size.height())) {
    return false;
  }
  // The accurate IDCT and smooth upsampling are the library's defaults, as
  // in the plugin at its default quality, which also decodes to red, green
  // and blue bytes; a warning (data cut short, bytes out of place) stops the
  // decode, so that the plugin takes the file and its way of going on.
  const int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING;
  return tjDecompress2(handle, file.data(), static_cast<unsigned long>(file.size()), rgb.data(),
                       size.width(), pitch, size.height(), TJPF_RGB, flags) == 0;
}

}  // namespace zentora
