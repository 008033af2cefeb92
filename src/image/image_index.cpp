#include "image/image_index.h"

#include "base/little_endian.h"

namespace zentora {

std::uint32_t ImageDataLength(int width, int height, int bytesPerPixel) {
  const std::uint64_t w = static_cast<std::uint32_t>(width) & 0xFFFF;
  const std::uint64_t h = static_cast<std::uint32_t>(height) & 0xFFFF;
  return static_cast<std::uint32_t>((w * h * static_cast<std::uint64_t>(bytesPerPixel)) &
                                    kMaxImageDataLength);
}

bool FitsImageIndex(int width, int height, int bytesPerPixel) {
  if (width < 0 || height < 0 || static_cast<std::uint32_t>(width) > kMaxImageSide ||
      static_cast<std::uint32_t>(height) > kMaxImageSide) {
    return false;
  }
  const std::uint64_t length = static_cast<std::uint64_t>(width) *
                               static_cast<std::uint64_t>(height) *
                               static_cast<std::uint64_t>(bytesPerPixel);
  return length <= kMaxImageDataLength;
}

ImageIndexEntry EncodeImageIndexEntry(int number, std::uint32_t address, int width, int height,
                                      int bytesPerPixel) {
  ImageIndexEntry entry{};
  PutLittleEndian(entry, 0, static_cast<std::uint32_t>(number), 2);
  // offset 2: reserved
  PutLittleEndian(entry, 3, address, 4);
  PutLittleEndian(entry, 7, static_cast<std::uint32_t>(width), 2);
  PutLittleEndian(entry, 9, static_cast<std::uint32_t>(height), 2);
  PutLittleEndian(entry, 11, ImageDataLength(width, height, bytesPerPixel), 3);
  // offsets 14 and 15: reserved
  return entry;
}

}  // namespace zentora
