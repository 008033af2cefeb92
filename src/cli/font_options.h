#pragma once

#include <QCommandLineParser>

#include <optional>

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

// --font, --font-file, --size, --charset, --cell, --vertical, --bit0-first.
void AddFontOptions(QCommandLineParser& parser);

// nullopt (after printing why) for a value an option cannot take or a font
// file that does not load. A --font that no installed font has is allowed,
// as in the dialog (the platform substitutes), with a note on stderr.
std::optional<FontChoice> ReadFontOptions(const QCommandLineParser& parser);

}  // namespace zentora::cli
