#pragma once

#include <cstdint>
#include <span>

namespace zentora {

// How the pixels of one glyph are packed into bytes. The bit numbering runs
// on from byte to byte without fill bits, so W × H / 8 bytes hold a glyph
// exactly when both extents are multiples of 8.
struct GlyphLayout {
  int cellWidth = 16;
  int cellHeight = 16;
  bool horizontal = true;  // row after row; otherwise column after column
  bool bit7First = true;   // the first pixel of a byte is its most significant bit

  bool operator==(const GlyphLayout&) const = default;
};

inline constexpr int kMinGlyphExtent = 8;
inline constexpr int kMaxGlyphExtent = 48;

constexpr bool IsGlyphExtent(int extent) {
  return extent >= kMinGlyphExtent && extent <= kMaxGlyphExtent && extent % 8 == 0;
}

constexpr bool IsValidGlyphLayout(const GlyphLayout& layout) {
  return IsGlyphExtent(layout.cellWidth) && IsGlyphExtent(layout.cellHeight);
}

constexpr int BytesPerGlyph(const GlyphLayout& layout) {
  return layout.cellWidth * layout.cellHeight / 8;
}

// The cell of the glyph dialogs' size lists: index 0..5 → 8..48 pixels.
constexpr int GlyphExtentOfIndex(int index) {
  return (index + 1) * 8;
}

struct GlyphBit {
  int byte = 0;
  std::uint8_t mask = 0;
  bool operator==(const GlyphBit&) const = default;
};

// Where pixel (x, y) of the cell lives, x from the left and y from the top.
constexpr GlyphBit GlyphBitPosition(const GlyphLayout& layout, int x, int y) {
  const int n = layout.horizontal ? y * layout.cellWidth + x : x * layout.cellHeight + y;
  const int bit = layout.bit7First ? 7 - n % 8 : n % 8;
  return {n / 8, static_cast<std::uint8_t>(1U << bit)};
}

// glyph must hold BytesPerGlyph(layout) bytes.
inline void SetGlyphPixel(std::span<std::uint8_t> glyph, const GlyphLayout& layout, int x, int y) {
  const GlyphBit bit = GlyphBitPosition(layout, x, y);
  glyph[static_cast<std::size_t>(bit.byte)] |= bit.mask;
}

inline bool GlyphPixel(std::span<const std::uint8_t> glyph, const GlyphLayout& layout, int x,
                       int y) {
  const GlyphBit bit = GlyphBitPosition(layout, x, y);
  return (glyph[static_cast<std::size_t>(bit.byte)] & bit.mask) != 0;
}

}  // namespace zentora
