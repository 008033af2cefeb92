#include "image/gif_writer.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <string>

namespace zentora {

namespace {

// GIF stores sizes in 16 bits.
constexpr int kMaxGifSide = 0xFFFF;

struct LiqAttrDeleter {
  void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct LiqImageDeleter {
  void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct LiqResultDeleter {
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};
struct ColorMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

struct Quantized {
  std::vector<GifPixelType> indices;  // one per pixel, row by row
  std::array<GifColorType, 256> colours{};
  int colourCount = 0;
};

Result<Quantized> Quantize(QImage rgba) {
  const int width = rgba.width();
  const int height = rgba.height();
  std::vector<void*> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    rows[static_cast<std::size_t>(y)] = rgba.scanLine(y);
  }
  const std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
  if (!attr) {
    return Status::Failure("cannot start the palette quantizer");
  }
  const std::unique_ptr<liq_image, LiqImageDeleter> image(
      liq_image_create_rgba_rows(attr.get(), rows.data(), width, height, 0.0));
  if (!image) {
    return Status::Failure("the palette quantizer refused the picture");
  }
  liq_result* rawResult = nullptr;
  if (liq_image_quantize(image.get(), attr.get(), &rawResult) != LIQ_OK || rawResult == nullptr) {
    return Status::Failure("cannot choose a palette for the picture");
  }
  const std::unique_ptr<liq_result, LiqResultDeleter> result(rawResult);

  Quantized quantized;
  quantized.indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (liq_write_remapped_image(result.get(), image.get(), quantized.indices.data(),
                               quantized.indices.size()) != LIQ_OK) {
    return Status::Failure("cannot map the picture onto its palette");
  }
  // Read after remapping, which may refine the palette.
  const liq_palette* palette = liq_get_palette(result.get());
  if (palette == nullptr) {
    return Status::Failure("cannot map the picture onto its palette");
  }
  quantized.colourCount = static_cast<int>(std::min<unsigned>(palette->count, 256));
  for (int i = 0; i < quantized.colourCount; ++i) {
    const liq_color& colour = palette->entries[i];
    quantized.colours[static_cast<std::size_t>(i)] = {colour.r, colour.g, colour.b};
  }
  return quantized;
}

int AppendToVector(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), bytes, bytes + length);
  } catch (const std::bad_alloc&) {
    // giflib takes a short count as a failed write.
    return 0;
  }
  return length;
}

std::string GifFailure(int error) {
  const char* text = GifErrorString(error);
  return text != nullptr ? std::string(text) : "GIF error " + std::to_string(error);
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeGif(const QImage& picture) {
  if (picture.isNull()) {
    return Status::Failure("no picture to encode");
  }
  const int width = picture.width();
  const int height = picture.height();
  if (width > kMaxGifSide || height > kMaxGifSide) {
    return Status::Failure("a GIF cannot hold more than 65535 pixels in either direction");
  }
  // Red, green, blue, alpha bytes, as the quantizer reads them.
  QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  if (rgba.isNull()) {
    return Status::Failure("not enough memory to encode the picture");
  }
  Result<Quantized> quantized = Quantize(std::move(rgba));
  if (!quantized) {
    return quantized.status();
  }

  // A GIF colour table has a power of two entries, at least two.
  int tableSize = 2;
  while (tableSize < quantized.value().colourCount) {
    tableSize *= 2;
  }
  const std::unique_ptr<ColorMapObject, ColorMapDeleter> colourMap(
      GifMakeMapObject(tableSize, quantized.value().colours.data()));
  if (!colourMap) {
    return Status::Failure("not enough memory to encode the picture");
  }

  std::vector<std::uint8_t> bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToVector, &error);
  if (gif == nullptr) {
    return Status::Failure(GifFailure(error));
  }
  // The screen descriptor keeps its own copy of the colour table.
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, colourMap.get()) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < height; ++y) {
    GifPixelType* row = quantized.value().indices.data() +
                        static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    ok = EGifPutLine(gif, row, width) == GIF_OK;
  }
  const int lastError = gif->Error;
  // Closing writes the trailer and frees the handle, also after a failure.
  int closeError = 0;
  if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
    return Status::Failure(GifFailure(closeError));
  }
  if (!ok) {
    return Status::Failure(GifFailure(lastError));
  }
  return bytes;
}

}  // namespace zentora
