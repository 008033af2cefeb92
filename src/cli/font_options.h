#pragma once

#include <QCommandLineParser>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/integer_option.h"
#include "font/charset.h"
#include "font/font_desc.h"
#include "font/glyph_layout.h"

namespace zentora::cli {

// What the glyph dialog's controls hold: the font, the character set and
// the packing.
struct FontChoice {
  FontDesc font;
  CharsetKind charset = CharsetKind::kGb2312;
  GlyphLayout layout;
};

// --cell, and fontview's --width and --height: the extents a glyph layout
// takes.
inline constexpr IntegerRule kGlyphExtentRule{kMinGlyphExtent, kMaxGlyphExtent, 8};
static_assert([] {
  for (int extent = 0; extent <= 2 * kMaxGlyphExtent; ++extent) {
    if (RuleAccepts(kGlyphExtentRule, extent) != IsGlyphExtent(extent)) {
      return false;
    }
  }
  return true;
}());

// --size: the window offers 8 to 48; beyond four times the largest cell a
// glyph is only a piece of a character too large for its cell, and each one
// costs time and memory with the square of the height.
inline constexpr IntegerRule kFontHeightRule = Between(1, 4 * kMaxGlyphExtent);

// --font, --font-file, --size, --charset, --cell, --vertical, --bit0-first,
// --mono.
void AddFontOptions(QCommandLineParser& parser);

// nullopt (after printing why) for a value an option cannot take or a font
// file that does not load. A --font that no installed font has is allowed,
// as in the dialog (the platform substitutes), with a note on stderr.
std::optional<FontChoice> ReadFontOptions(const QCommandLineParser& parser);

// The font file the choice draws with: the --font-file, or the installed
// font that the name resolves to. Empty when none resolves.
std::filesystem::path ChosenFontFile(const FontChoice& choice);

// What a glyph run read, for its dependency file: the font file, when the
// choice resolves to one.
std::vector<std::filesystem::path> FontPrerequisites(const std::filesystem::path& fontFile);

// A warning about glyphs that were written all the same (characters the
// font or the set lacks): printed on stderr, and the run ends with 1 so
// that a script notices. kExitOk for an empty line.
int EndWithWarning(const std::string& line);

}  // namespace zentora::cli
