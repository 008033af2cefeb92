// fontview: the font library viewer's reading, as text or as a picture.

#include <QCommandLineParser>
#include <QImageWriter>

#include <string>
#include <variant>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/font_options.h"
#include "cli/integer_option.h"
#include "font/library_reader.h"
#include "font/library_table_image.h"

namespace zentora::cli {

namespace {

void AddFontViewOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Read a font library as the viewer does. W and H are a glyph's drawn width\n"
      "and height. Without --glyph or --png, print the file's length and rows.");
  parser.addPositionalArgument("LIB", "The font library.", "fontview LIB");
  parser.addOption({"width", "Glyph width in pixels (8 to 48).", "W"});
  parser.addOption({"height", "Glyph height in pixels (8 to 48).", "H"});
  parser.addOption({"vertical", "The glyphs were modelled column by column."});
  parser.addOption({"bit0-first", "The first pixel of each byte is bit 0."});
  parser.addOption({"glyph", "Print glyph N as rows of '#' and '.'.", "N"});
  parser.addOption({"png", "Draw the viewer's table to FILE.", "FILE"});
  parser.addOption({"first-row", "With --png: the first row drawn (default 0).", "R", "0"});
  parser.addOption({"rows", "With --png: at most this many rows (default all).", "N"});
}

// The layout the options describe, or the exit status after a usage error.
std::variant<GlyphLayout, int> ReadLayout(const QCommandLineParser& parser) {
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  if (!parser.isSet("width") || !parser.isSet("height")) {
    PrintError("--width and --height are required");
    return kExitUsage;
  }
  if (parser.isSet("glyph") && parser.isSet("png")) {
    PrintError("--glyph and --png exclude each other");
    return kExitUsage;
  }
  const std::optional<int> width = ReadIntegerOption<int>(parser, "width", kGlyphExtentRule);
  const std::optional<int> height = ReadIntegerOption<int>(parser, "height", kGlyphExtentRule);
  if (!width || !height) {
    return kExitUsage;
  }
  return GlyphLayout{*width, *height, !parser.isSet("vertical"), !parser.isSet("bit0-first")};
}

// --glyph N: the glyph as rows of '#' and '.'.
int PrintGlyph(const QCommandLineParser& parser, CFontLibraryReader& library,
               const GlyphLayout& layout) {
  const std::optional<std::uint64_t> number =
      ReadIntegerOption<std::uint64_t>(parser, "glyph", AtLeast(0));
  if (!number) {
    return kExitUsage;
  }
  const Result<std::vector<std::uint8_t>> glyph = library.ReadGlyph(*number, layout);
  if (!glyph) {
    PrintError(glyph.error());
    return kExitUsage;
  }
  for (int y = 0; y < layout.cellHeight; ++y) {
    std::string line;
    for (int x = 0; x < layout.cellWidth; ++x) {
      line += GlyphPixel(glyph.value(), layout, x, y) ? '#' : '.';
    }
    PrintLine(line);
  }
  return kExitOk;
}

int PrintSummary(const CFontLibraryReader& library, const GlyphLayout& layout) {
  PrintLine("length " + std::to_string(library.Length()) + " bytes, " +
            std::to_string(BytesPerGlyph(layout)) + " bytes per glyph, " +
            std::to_string(library.RowCount(layout)) + " rows of 16 glyphs");
  return kExitOk;
}

// --png FILE: the viewer's table from --first-row, at most --rows rows.
int DrawTable(const QCommandLineParser& parser, CFontLibraryReader& library,
              const GlyphLayout& layout) {
  const std::optional<std::uint64_t> firstRow =
      ReadIntegerOption<std::uint64_t>(parser, "first-row", AtLeast(0));
  const std::optional<std::uint64_t> rowCount =
      parser.isSet("rows") ? ReadIntegerOption<std::uint64_t>(parser, "rows", AtLeast(0))
                           : std::optional(library.RowCount(layout));
  if (!firstRow || !rowCount) {
    return kExitUsage;
  }
  const Result<QImage> table = DrawLibraryTable(library, layout, *firstRow, *rowCount);
  if (!table) {
    PrintError(table.error());
    return kExitFailed;
  }
  const QString pngPath = parser.value("png");
  QImageWriter writer(pngPath, "png");
  if (!writer.write(table.value())) {
    PrintError("无法写入文件：" + ToUtf8(pngPath) + "（" + ToUtf8(writer.errorString()) + "）");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int RunFontView(const QStringList& arguments) {
  QCommandLineParser parser;
  AddFontViewOptions(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  const std::variant<GlyphLayout, int> layout = ReadLayout(parser);
  if (const int* done = std::get_if<int>(&layout)) {
    return *done;
  }
  const std::filesystem::path path = ToPath(parser.positionalArguments()[0]);
  CFontLibraryReader library;
  if (const Status opened = library.Open(path); !opened) {
    PrintError("无法打开字库：" + path.string() + "（" + opened.message() + "）");
    return kExitUsage;
  }
  if (parser.isSet("glyph")) {
    return PrintGlyph(parser, library, std::get<GlyphLayout>(layout));
  }
  if (parser.isSet("png")) {
    return DrawTable(parser, library, std::get<GlyphLayout>(layout));
  }
  return PrintSummary(library, std::get<GlyphLayout>(layout));
}

}  // namespace zentora::cli
