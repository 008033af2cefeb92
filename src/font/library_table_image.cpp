#include "font/library_table_image.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/translation.h"
#include "font/cell_bitmap.h"
#include "font/glyph_renderer.h"
#include "font/library_reader.h"

namespace zentora {

namespace {

constexpr std::uint8_t kPaper = 255;
constexpr std::uint8_t kCaptionBackground = 236;
constexpr std::uint8_t kGridLine = 210;

const FontDesc& LabelFont() {
  static const FontDesc font{"宋体", 16, kGb2312Charset, {}};
  return font;
}

void FillRect(QImage& image, int left, int top, int width, int height, std::uint8_t value) {
  for (int y = std::max(0, top); y < std::min(image.height(), top + height); ++y) {
    std::uint8_t* row = image.scanLine(y);
    std::fill(row + std::max(0, left), row + std::min(image.width(), left + width), value);
  }
}

// Text centred in a box, darkened over the background by its coverage.
void DrawLabel(QImage& image, CGlyphRenderer& renderer, const std::u16string& text, int left,
               int top, int width, int height) {
  CellBitmap box;
  renderer.RenderLine(LabelFont(), text, width, height, box);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.scanLine(top + y);
    for (int x = 0; x < width; ++x) {
      const int coverage = box.At(x, y);
      row[left + x] = static_cast<std::uint8_t>(row[left + x] * (255 - coverage) / 255);
    }
  }
}

std::u16string Ascii(const std::string& text) {
  return {text.begin(), text.end()};
}

void DrawCaptionRow(QImage& image, CGlyphRenderer& renderer) {
  FillRect(image, 0, 0, image.width(), kTableCaptionHeight, kCaptionBackground);
  DrawLabel(image, renderer, TrQ("font", "地址").toStdU16String(), 0, 0, kTableAddressWidth,
            kTableCaptionHeight);
  for (int column = 1; column <= kGlyphsPerRow; ++column) {
    const int left = kTableAddressWidth + (column - 1) * kTableCellSize;
    DrawLabel(image, renderer, Ascii(std::to_string(column - 1)), left, 0, kTableCellSize,
              kTableCaptionHeight);
  }
}

// The glyph's set pixels in black about the centre of the cell at (left,
// top); pixels that fall outside the picture are dropped.
void DrawGlyph(QImage& image, const std::vector<std::uint8_t>& glyph, const GlyphLayout& layout,
               int left, int top) {
  const CellOrigin origin =
      GlyphOriginInCell(left, top, left + kTableCellSize, top + kTableCellSize, layout);
  for (int x = 0; x < layout.cellWidth; ++x) {
    for (int y = 0; y < layout.cellHeight; ++y) {
      const int px = origin.x + x;
      const int py = origin.y + y;
      if (GlyphPixel(glyph, layout, x, y) && px >= 0 && py >= 0 && px < image.width() &&
          py < image.height()) {
        image.scanLine(py)[px] = 0;
      }
    }
  }
}

// One row of the table, its address and its 16 glyphs, at top.
Status DrawGlyphRow(QImage& image, CGlyphRenderer& renderer, CFontLibraryReader& library,
                    const GlyphLayout& layout, std::uint64_t row, int top) {
  char address[32];
  std::snprintf(address, sizeof address, "0x%04llX",
                static_cast<unsigned long long>(row * kGlyphsPerRow));
  DrawLabel(image, renderer, Ascii(address), 0, top, kTableAddressWidth, kTableCellSize);
  for (int column = 1; column <= kGlyphsPerRow; ++column) {
    const Result<std::vector<std::uint8_t>> glyph = library.ReadCell(row, column, layout);
    if (!glyph) {
      return glyph.status();
    }
    DrawGlyph(image, glyph.value(), layout, kTableAddressWidth + (column - 1) * kTableCellSize,
              top);
  }
  return Status::Ok();
}

// Grid lines on the right and bottom edge of every cell, outside the
// largest glyph's 48 pixels.
void DrawGridLines(QImage& image, std::uint64_t rowCount) {
  for (int column = 0; column <= kGlyphsPerRow; ++column) {
    FillRect(image, kTableAddressWidth + column * kTableCellSize - 1, 0, 1, image.height(),
             kGridLine);
  }
  for (std::uint64_t i = 0; i <= rowCount; ++i) {
    FillRect(image, 0, kTableCaptionHeight + static_cast<int>(i) * kTableCellSize - 1,
             image.width(), 1, kGridLine);
  }
}

}  // namespace

Result<QImage> DrawLibraryTable(CFontLibraryReader& library, const GlyphLayout& layout,
                                std::uint64_t firstRow, std::uint64_t rowCount) {
  const std::uint64_t rows = library.RowCount(layout);
  firstRow = std::min(firstRow, rows);
  rowCount = std::min(rowCount, rows - firstRow);
  const int width = kTableAddressWidth + kGlyphsPerRow * kTableCellSize;
  const std::uint64_t height =
      kTableCaptionHeight + rowCount * static_cast<std::uint64_t>(kTableCellSize);
  if (height > 1'000'000) {
    return Status::Failure(Tr("font", "表格过高，请用 --rows 分段输出"));
  }
  QImage image(width, static_cast<int>(height), QImage::Format_Grayscale8);
  if (image.isNull()) {
    return Status::Failure(Tr("font", "内存不足"));
  }
  image.fill(kPaper);
  CGlyphRenderer renderer;
  DrawCaptionRow(image, renderer);
  for (std::uint64_t i = 0; i < rowCount; ++i) {
    const int top = kTableCaptionHeight + static_cast<int>(i) * kTableCellSize;
    if (Status drawn = DrawGlyphRow(image, renderer, library, layout, firstRow + i, top); !drawn) {
      return drawn;
    }
  }
  DrawGridLines(image, rowCount);
  return image;
}

}  // namespace zentora
