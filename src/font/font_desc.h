#pragma once

#include <filesystem>
#include <string>

namespace zentora {

// The character sets a font is asked for: the desktop's ANSI set for ASCII
// work, its Simplified Chinese set for GB2312 and GBK.
inline constexpr int kAnsiCharset = 0;
inline constexpr int kGb2312Charset = 134;

// The height used when none is chosen (0).
inline constexpr int kDefaultFontHeight = 16;

// A font as the glyph tools ask for it.
struct FontDesc {
  // A name from the font list; a name no font has gets the platform's
  // substitute.
  std::string faceName;
  // The height of the font's character cell (ascent plus descent) in
  // pixels, not of its em square; 0 asks for the default height.
  int height = 0;
  int charset = kAnsiCharset;
  // A font file to use instead of looking the name up (command line).
  std::filesystem::path fontFile;
  // Every glyph drawn from outlines is hinted and drawn in black and white,
  // whatever the font's gasp table asks for; embedded bitmaps still win.
  bool monochrome = false;

  bool operator==(const FontDesc&) const = default;
};

}  // namespace zentora
