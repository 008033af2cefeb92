#pragma once

#include <array>
#include <cstdint>

namespace zentora {

inline constexpr std::uint32_t kImageBaseAddress = 0x00B00000;
// Where the module keeps its sounds: picture data must end before it.
inline constexpr std::uint32_t kImageAreaEnd = 0x07000000;
// Picture numbers are stored in 16 bits.
inline constexpr int kImageNumberCount = 0x10000;
inline constexpr std::size_t kImageIndexEntrySize = 16;
// What the index can describe: 16-bit sizes and a 24-bit data length.
inline constexpr std::uint32_t kMaxImageSide = 0xFFFF;
inline constexpr std::uint64_t kMaxImageDataLength = 0xFFFFFF;

using ImageIndexEntry = std::array<std::uint8_t, kImageIndexEntrySize>;

// The 16 little-endian bytes that describe one picture in image.idx. Fields
// keep their low bits only (16 for number and sizes, 24 for the length).
ImageIndexEntry EncodeImageIndexEntry(int number, std::uint32_t address, int width, int height,
                                      int bytesPerPixel);

// The data length as the index stores it: width × height × bytes per pixel
// from the 16-bit sizes, kept to 24 bits.
std::uint32_t ImageDataLength(int width, int height, int bytesPerPixel);

// True when the index entry of a width × height picture would be true.
bool FitsImageIndex(int width, int height, int bytesPerPixel);

}  // namespace zentora
