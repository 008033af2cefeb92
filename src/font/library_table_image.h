#pragma once

#include <QImage>

#include <cstdint>

#include "base/result.h"
#include "font/font_desc.h"
#include "font/glyph_layout.h"

namespace zentora {

class CFontLibraryReader;

// The viewer's table as a picture: a caption row ("地址", then 0 to 15), and
// per row of 16 glyphs its address ("0x%04X" of its first glyph number) in a
// 70-pixel column followed by 16 cells of 50 × 50 pixels, each glyph drawn
// black about its cell's centre as the viewer draws it. Captions use the
// viewer's label font ("宋体" at 16 pixels, or its substitute).
inline constexpr int kTableAddressWidth = 70;
inline constexpr int kTableCellSize = 50;
inline constexpr int kTableCaptionHeight = 24;

Result<QImage> DrawLibraryTable(CFontLibraryReader& library, const GlyphLayout& layout,
                                std::uint64_t firstRow, std::uint64_t rowCount);

// Where the viewer puts pixel (0, 0) of a W × H glyph in the cell
// [left, right) × [top, bottom): half the glyph left of and above the cell's
// centre, in integer division.
struct CellOrigin {
  int x = 0;
  int y = 0;
};
constexpr CellOrigin GlyphOriginInCell(int left, int top, int right, int bottom,
                                       const GlyphLayout& layout) {
  return {(left + right) / 2 - layout.cellWidth / 2, (top + bottom) / 2 - layout.cellHeight / 2};
}

}  // namespace zentora
