#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "font/charset.h"
#include "font/glyph_layout.h"

namespace zentora {

// What a firmware needs of a set of glyphs: the glyphs in ascending code
// order, each character's code in the set and the packing.
struct GlyphHeader {
  // The prefix of every name the header defines (HeaderNamePrefix).
  std::string prefix;
  // The font as the header's first comment names it.
  std::string fontName;
  int fontHeight = 0;
  CharsetKind charset = CharsetKind::kGb2312;
  GlyphLayout layout;
  std::vector<char16_t> characters;
  std::vector<std::uint16_t> codes;
  std::vector<std::uint8_t> glyphs;  // BytesPerGlyph(layout) bytes per character
};

// The header file's name as a C identifier, so that two headers in one
// firmware define different names: "menu-glyphs.h" gives "menu_glyphs".
// Letters, digits and '_' are kept, other ASCII becomes '_', and other
// bytes are dropped; a name that would not start with a letter is
// prefixed with "glyphs_" (or is "glyphs" when nothing is left).
std::string HeaderNamePrefix(const std::filesystem::path& header);

// The C header: an include guard, PREFIX_COUNT, _WIDTH, _HEIGHT and _BYTES
// (per glyph), the sorted code table prefix_codes and the glyphs
// prefix_data, one line per glyph as the glyph dialog formats it, each
// line's comment naming its character. Line ends are LF.
std::string FormatGlyphHeader(const GlyphHeader& header);

}  // namespace zentora
