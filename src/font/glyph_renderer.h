#pragma once

#include <memory>
#include <string_view>

#include "base/result.h"
#include "font/cell_bitmap.h"
#include "font/font_catalog.h"
#include "font/font_desc.h"

namespace zentora {

// Draws characters the way the desktop draws a single centred line of text:
// white on black, the text box (advance width by the font's line height)
// centred in the cell and cut off at its edges.
//
// The requested height is the font's character cell: the em size is
// height × unitsPerEm / (winAscent + winDescent) (hhea's ascender and
// descender where the font has no OS/2 table), and ascent and descent split
// the height in that ratio.
//
// Each glyph is drawn as the desktop draws that font at that em size: from
// an embedded bitmap strike of exactly that size where the font has the
// glyph in one; otherwise from its outline, hinted and in black and white
// where the font's gasp table asks for no grey-scale at that size (or the
// desc asks for monochrome), anti-aliased where it asks for grey-scale or
// has no gasp table.
//
// One renderer holds one FreeType face and is not shared between threads;
// the face is kept across characters and made anew when the font changes.
class CGlyphRenderer {
 public:
  CGlyphRenderer();
  ~CGlyphRenderer();
  CGlyphRenderer(const CGlyphRenderer&) = delete;
  CGlyphRenderer& operator=(const CGlyphRenderer&) = delete;

  // A character the font lacks leaves the cell blank, as does a font that
  // cannot be loaded.
  void RenderChar(const FontDesc& desc, char16_t ch, CellBitmap& cell);
  // A line of text centred in a width × height box, for labels.
  void RenderLine(const FontDesc& desc, std::u16string_view text, int width, int height,
                  CellBitmap& box);

  // Whether the face that draws desc maps ch to a glyph in its Unicode
  // charmap: the face actually opened, which may be fontconfig's substitute
  // for the name. A font that cannot be drawn has no glyphs.
  bool HasGlyph(const FontDesc& desc, char16_t ch);

  // Whether the font desc names can be loaded at all; the failure says why
  // (the file is missing or no file, is no font, cannot be drawn at the
  // height).
  Status CanLoad(const FontDesc& desc);

 private:
  struct Face;
  bool Prepare(const FontDesc& desc);
  std::unique_ptr<Face> face_;
};

// RenderChar on this thread's own renderer.
CellBitmap RenderChar(const FontDesc& desc, int cellWidth, int cellHeight, char16_t ch);

}  // namespace zentora
