#include "font/glyph_model.h"

#include "font/glyph_renderer.h"

#include <cassert>

namespace zentora {

void ModelCell(const CellBitmap& cell, const GlyphLayout& layout, std::span<std::uint8_t> dest) {
  for (int x = 0; x < layout.cellWidth; ++x) {
    for (int y = 0; y < layout.cellHeight; ++y) {
      if (cell.IsSet(x, y)) {
        SetGlyphPixel(dest, layout, x, y);
      }
    }
  }
}

void ModelChar(CGlyphRenderer& renderer, const FontDesc& desc, const GlyphLayout& layout,
               char16_t ch, std::span<std::uint8_t> dest) {
  CellBitmap cell;
  cell.Reset(layout.cellWidth, layout.cellHeight);
  renderer.RenderChar(desc, ch, cell);
  ModelCell(cell, layout, dest);
}

std::vector<std::uint8_t> ModelText(CGlyphRenderer& renderer, const FontDesc& desc,
                                    const GlyphLayout& layout, std::u16string_view text) {
  assert(IsValidGlyphLayout(layout));
  const std::size_t bytes = static_cast<std::size_t>(BytesPerGlyph(layout));
  std::vector<std::uint8_t> glyphs(text.size() * bytes, 0);
  for (std::size_t k = 0; k < text.size(); ++k) {
    ModelChar(renderer, desc, layout, text[k], std::span(glyphs).subspan(k * bytes, bytes));
  }
  return glyphs;
}

std::string FormatGlyphLine(std::span<const std::uint8_t> glyph) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = "    ";
  line.reserve(line.size() + glyph.size() * 5);
  for (const std::uint8_t byte : glyph) {
    line += "0x";
    line += kHex[byte >> 4];
    line += kHex[byte & 0x0F];
    line += ',';
  }
  return line;
}

std::string FormatGlyphArray(std::span<const std::uint8_t> glyphs, int bytesPerGlyph) {
  const std::size_t b = static_cast<std::size_t>(bytesPerGlyph);
  std::string text = "char data[]={\r\n";
  text.reserve(text.size() + glyphs.size() * 5 + glyphs.size() / b * 6 + 2);
  for (std::size_t start = 0; start + b <= glyphs.size(); start += b) {
    text += FormatGlyphLine(glyphs.subspan(start, b));
    text += "\r\n";
  }
  text += "};";
  return text;
}

}  // namespace zentora
