#include "cli/font_options.h"

#include <algorithm>

#include "cli/cli_support.h"
#include "font/font_catalog.h"
#include "font/glyph_renderer.h"

namespace zentora::cli {

void AddFontOptions(QCommandLineParser& parser) {
  parser.addOption(
      {"font", "A font from 'zentora-cli fonts' (default: the dialog's default).", "NAME"});
  parser.addOption({"font-file", "Draw with this font file instead of an installed font.", "PATH"});
  parser.addOption({"size", "Font height in pixels (default 16).", "PX", "16"});
  parser.addOption({"charset", "ascii, gb2312 (default) or gbk.", "SET", "gb2312"});
  parser.addOption({"cell", "Glyph cell: 8, 16 (default), 24, 32, 40 or 48.", "PX", "16"});
  parser.addOption({"vertical", "Model column by column instead of row by row."});
  parser.addOption({"bit0-first", "Store the first pixel of each byte in bit 0."});
  parser.addOption({"mono",
                    "Hint every glyph and draw it in black and white, whatever the font's gasp "
                    "table asks for (the font's own bitmaps of the size still win)."});
}

std::optional<FontChoice> ReadFontOptions(const QCommandLineParser& parser) {
  FontChoice choice;
  const QString charset = parser.value("charset").toLower();
  if (charset == "ascii") {
    choice.charset = CharsetKind::kAscii;
  } else if (charset == "gb2312") {
    choice.charset = CharsetKind::kGb2312;
  } else if (charset == "gbk") {
    choice.charset = CharsetKind::kGbk;
  } else {
    PrintError("--charset takes ascii, gb2312 or gbk, not '" + ToUtf8(parser.value("charset")) +
               "'");
    return std::nullopt;
  }
  const std::optional<int> size = ReadIntegerOption<int>(parser, "size", AtLeast(1));
  const std::optional<int> cell = ReadIntegerOption<int>(parser, "cell", kGlyphExtentRule);
  if (!size || !cell) {
    return std::nullopt;
  }
  choice.layout = {*cell, *cell, !parser.isSet("vertical"), !parser.isSet("bit0-first")};
  choice.font.height = *size;
  choice.font.monochrome = parser.isSet("mono");
  choice.font.charset = choice.charset == CharsetKind::kAscii ? kAnsiCharset : kGb2312Charset;

  if (parser.isSet("font-file")) {
    choice.font.fontFile = ToPath(parser.value("font-file"));
    if (CGlyphRenderer renderer; !renderer.CanLoad(choice.font)) {
      PrintError("cannot load the font file '" + choice.font.fontFile.string() + "'");
      return std::nullopt;
    }
    return choice;
  }
  if (parser.isSet("font")) {
    choice.font.faceName = ToUtf8(parser.value("font"));
    const std::vector<std::string>& names = InstalledFontNames();
    const bool listed = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return FontNamesEqual(name, choice.font.faceName);
    });
    if (!listed) {
      PrintError("no installed font is named '" + choice.font.faceName +
                 "'; drawing with its substitute");
    }
  } else {
    choice.font.faceName = DefaultFontName().value_or(std::string());
  }
  return choice;
}

}  // namespace zentora::cli
