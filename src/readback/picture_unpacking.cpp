#include "readback/picture_unpacking.h"

#include <cstddef>
#include <memory>
#include <vector>

#include "base/translation.h"
#include "image/pixel_packing.h"
#include "readback/data_file_reader.h"
#include "readback/resource_listing.h"

namespace zentora {

namespace {

template <int kBytesPerPixel, bool kMsbFirst>
inline QRgb LoadPixel(const std::uint8_t* in) {
  if constexpr (kBytesPerPixel == 2) {
    const auto high = static_cast<unsigned>(kMsbFirst ? in[0] : in[1]);
    const auto low = static_cast<unsigned>(kMsbFirst ? in[1] : in[0]);
    return WidenRgb565(static_cast<std::uint16_t>((high << 8) | low));
  } else {
    return kMsbFirst ? qRgb(in[0], in[1], in[2]) : qRgb(in[2], in[1], in[0]);
  }
}

// The packer's walk read backwards: each picture row is gathered from the
// block with the constant stride its scan order gives it.
template <int kBytesPerPixel, bool kMsbFirst>
void UnpackRows(const std::uint8_t* block, int w, int h, const ImageSettings& settings,
                QImage& picture) {
  const std::ptrdiff_t firstX = settings.rowRightToLeft ? w - 1 : 0;
  const std::ptrdiff_t xStep = settings.rowRightToLeft ? -1 : 1;
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    const std::ptrdiff_t storedY = settings.columnBottomToTop ? h - 1 - y : y;
    const std::ptrdiff_t position =
        settings.columnFirst ? firstX * h + storedY : storedY * w + firstX;
    const std::ptrdiff_t stride = (settings.columnFirst ? xStep * h : xStep) * kBytesPerPixel;
    const std::uint8_t* in = block + position * kBytesPerPixel;
    for (int x = 0; x < w; ++x, in += stride) {
      row[x] = LoadPixel<kBytesPerPixel, kMsbFirst>(in);
    }
  }
}

}  // namespace

QImage UnpackPicture(std::span<const std::uint8_t> block, int width, int height,
                     const ImageSettings& settings) {
  if (width <= 0 || height <= 0 || (settings.colorDepth != 0 && settings.colorDepth != 1) ||
      block.size() < PackedSize(width, height, settings)) {
    return {};
  }
  QImage picture(width, height, QImage::Format_RGB32);
  if (picture.isNull()) {
    return {};
  }
  const int variant = (settings.colorDepth == 1 ? 2 : 0) + (settings.msbFirst ? 1 : 0);
  switch (variant) {
    case 0:
      UnpackRows<2, false>(block.data(), width, height, settings, picture);
      break;
    case 1:
      UnpackRows<2, true>(block.data(), width, height, settings, picture);
      break;
    case 2:
      UnpackRows<3, false>(block.data(), width, height, settings, picture);
      break;
    default:
      UnpackRows<3, true>(block.data(), width, height, settings, picture);
      break;
  }
  return picture;
}

Result<QImage> ReadPicture(const CDataFileReader& data, const PictureEntry& entry,
                           const ImageSettings& settings) {
  const std::optional<std::uint64_t> offset = entry.Offset();
  if (entry.IsEmpty() || !entry.inData || !offset || entry.width == 0 || entry.height == 0) {
    return Status::Failure(
        Fill(Tr("inspect", "图片 %1 没有可读的数据"), std::to_string(entry.position)));
  }
  const std::size_t size = PackedSize(entry.width, entry.height, settings);
  if (size > 2 * std::uint64_t{entry.length}) {
    return Status::Failure(
        Fill(Tr("inspect", "图片 %1 的数据不够按此设置读出"), std::to_string(entry.position)));
  }
  auto block = std::make_unique_for_overwrite<std::uint8_t[]>(size);
  if (Status read = data.ReadPadded(*offset, std::span(block.get(), size)); !read) {
    return read;
  }
  QImage picture = UnpackPicture(std::span(block.get(), size), entry.width, entry.height, settings);
  if (picture.isNull()) {
    return Status::Failure(Tr("inspect", "内存不足"));
  }
  return picture;
}

}  // namespace zentora
