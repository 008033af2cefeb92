#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "font/cell_bitmap.h"
#include "font/font_desc.h"
#include "font/glyph_layout.h"

namespace zentora {

class CGlyphRenderer;

// Sets in dest the bit of every pixel the cell's text touches; never clears
// a bit, so dest starts zeroed. The cell has the layout's extents.
void ModelCell(const CellBitmap& cell, const GlyphLayout& layout, std::span<std::uint8_t> dest);

// Renders ch into a cell of the layout's extents and models it.
void ModelChar(CGlyphRenderer& renderer, const FontDesc& desc, const GlyphLayout& layout,
               char16_t ch, std::span<std::uint8_t> dest);

// One glyph per UTF-16 code unit of text, one after another; the halves of
// a surrogate pair are modelled one by one.
std::vector<std::uint8_t> ModelText(CGlyphRenderer& renderer, const FontDesc& desc,
                                    const GlyphLayout& layout, std::u16string_view text);

// One glyph as a line of the glyph dialog's C array: four blanks and a
// "0x%02X," item per byte, without a line end.
std::string FormatGlyphLine(std::span<const std::uint8_t> glyph);

// The C array of the glyph dialog: "char data[]={", one line of
// "0x%02X," items per glyph of bytesPerGlyph bytes, "};", with CR LF line
// ends and nothing after the closing brace.
std::string FormatGlyphArray(std::span<const std::uint8_t> glyphs, int bytesPerGlyph);

}  // namespace zentora
