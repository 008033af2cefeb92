#include "font/library_length_hint.h"

#include "base/translation.h"
#include "font/glyph_layout.h"

namespace zentora {

namespace {

std::uint64_t GlyphBytes(int width, int height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) / 8;
}

}  // namespace

std::vector<int> FittingSquareExtents(std::uint64_t length) {
  std::vector<int> extents;
  if (length == 0) {
    return extents;
  }
  for (int extent = kMinGlyphExtent; extent <= kMaxGlyphExtent; extent += 8) {
    if (length % GlyphBytes(extent, extent) == 0) {
      extents.push_back(extent);
    }
  }
  return extents;
}

std::string LibraryLengthHint(std::uint64_t length, int chosenWidth, int chosenHeight) {
  const std::uint64_t glyph = GlyphBytes(chosenWidth, chosenHeight);
  if (glyph == 0 || length % glyph == 0) {
    return {};
  }
  const std::string notWhole =
      Fill(Tr("font", "文件长度 %1 字节不是 %2×%3 字模的整数倍"), std::to_string(length),
           std::to_string(chosenWidth), std::to_string(chosenHeight));
  const std::vector<int> fitting = FittingSquareExtents(length);
  if (fitting.empty()) {
    return notWhole;
  }
  std::string sizes;
  for (const int extent : fitting) {
    if (!sizes.empty()) {
      sizes += Tr("font", "、");
    }
    sizes += std::to_string(extent);
  }
  return Fill(Tr("font", "%1；可用的字模尺寸：%2"), notWhole, sizes);
}

}  // namespace zentora
