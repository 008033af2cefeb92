// fontview: the font library viewer's reading, as text or as a picture.

#include <QCommandLineParser>
#include <QImageWriter>

#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "font/library_reader.h"
#include "font/library_table_image.h"

namespace zentora::cli {

namespace {

std::optional<int> ReadExtent(const QCommandLineParser& parser, const QString& option) {
  bool ok = false;
  const int value = parser.value(option).toInt(&ok);
  if (!ok || !IsGlyphExtent(value)) {
    PrintError("--" + ToUtf8(option) + " takes 8, 16, 24, 32, 40 or 48");
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint64_t> ReadCount(const QCommandLineParser& parser, const QString& option) {
  bool ok = false;
  const qulonglong value = parser.value(option).toULongLong(&ok);
  if (!ok) {
    PrintError("--" + ToUtf8(option) + " takes a number, not '" + ToUtf8(parser.value(option)) +
               "'");
    return std::nullopt;
  }
  return value;
}

void PrintGlyph(const std::vector<std::uint8_t>& glyph, const GlyphLayout& layout) {
  for (int y = 0; y < layout.cellHeight; ++y) {
    std::string line;
    for (int x = 0; x < layout.cellWidth; ++x) {
      line += GlyphPixel(glyph, layout, x, y) ? '#' : '.';
    }
    PrintLine(line);
  }
}

}  // namespace

int RunFontView(const QStringList& arguments) {
  QCommandLineParser parser;
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
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
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
  const std::optional<int> width = ReadExtent(parser, "width");
  const std::optional<int> height = ReadExtent(parser, "height");
  if (!width || !height) {
    return kExitUsage;
  }
  const GlyphLayout layout{*width, *height, !parser.isSet("vertical"), !parser.isSet("bit0-first")};

  const std::filesystem::path path = ToPath(parser.positionalArguments()[0]);
  CFontLibraryReader library;
  if (const Status opened = library.Open(path); !opened) {
    PrintError("无法打开字库：" + path.string() + "（" + opened.message() + "）");
    return kExitUsage;
  }

  if (parser.isSet("glyph")) {
    const std::optional<std::uint64_t> number = ReadCount(parser, "glyph");
    if (!number) {
      return kExitUsage;
    }
    const Result<std::vector<std::uint8_t>> glyph = library.ReadGlyph(*number, layout);
    if (!glyph) {
      PrintError(glyph.error());
      return kExitUsage;
    }
    PrintGlyph(glyph.value(), layout);
    return kExitOk;
  }

  const std::uint64_t rows = library.RowCount(layout);
  if (!parser.isSet("png")) {
    PrintLine("length " + std::to_string(library.Length()) + " bytes, " +
              std::to_string(BytesPerGlyph(layout)) + " bytes per glyph, " + std::to_string(rows) +
              " rows of 16 glyphs");
    return kExitOk;
  }
  const std::optional<std::uint64_t> firstRow = ReadCount(parser, "first-row");
  const std::optional<std::uint64_t> rowCount =
      parser.isSet("rows") ? ReadCount(parser, "rows") : std::optional(rows);
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

}  // namespace zentora::cli
