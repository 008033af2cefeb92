// fontview: the font library viewer's reading, as text or as a picture.

#include <QBuffer>
#include <QByteArray>
#include <QCommandLineParser>
#include <QImageWriter>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "base/atomic_file_writer.h"
#include "base/file_kind.h"
#include "base/output_input_check.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/font_options.h"
#include "cli/integer_option.h"
#include "font/library_reader.h"
#include "font/library_table_image.h"

namespace zentora::cli {

namespace {

void AddFontViewOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(TrQ("cli",
                                       "像字库查看窗口一样读取字库。W 和 H 是字模的宽度和高度。\n"
                                       "不给出 --glyph 或 --png 时，输出文件长度和行数。"));
  parser.addPositionalArgument("LIB", TrQ("cli", "字库。"), "fontview LIB");
  parser.addOption({"width", TrQ("cli", "字模宽度，以像素计（8 到 48）。"), "W"});
  parser.addOption({"height", TrQ("cli", "字模高度，以像素计（8 到 48）。"), "H"});
  parser.addOption({"vertical", TrQ("cli", "字模是纵向取模的。")});
  parser.addOption({"bit0-first", TrQ("cli", "每个字节的第一个像素在 bit0。")});
  parser.addOption({"glyph", TrQ("cli", "把第 N 个字模输出为由“#”和“.”组成的行。"), "N"});
  parser.addOption({"png", TrQ("cli", "把查看窗口的表格画到 FILE。"), "FILE"});
  parser.addOption({"first-row", TrQ("cli", "与 --png 一起：画出的第一行（默认 0）。"), "R", "0"});
  parser.addOption({"rows", TrQ("cli", "与 --png 一起：最多画这么多行（默认全部）。"), "N"});
}

// The layout the options describe, or the exit status after a usage error.
std::variant<GlyphLayout, int> ReadLayout(const QCommandLineParser& parser) {
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  if (!parser.isSet("width") || !parser.isSet("height")) {
    PrintError(Tr("cli", "需要 --width 和 --height"));
    return kExitUsage;
  }
  if (parser.isSet("glyph") && parser.isSet("png")) {
    PrintError(Tr("cli", "--glyph 和 --png 不能同时使用"));
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
  // A count for the plural only; no file holds rows past the int range.
  const int rows = static_cast<int>(std::min<std::uint64_t>(library.RowCount(layout), INT_MAX));
  PrintLine(
      Fill(TrN("cli", "长度 %1 字节，每个字模 %2 字节，共 %n 行，每行 16 个字模", nullptr, rows),
           std::to_string(library.Length()), std::to_string(BytesPerGlyph(layout))));
  return kExitOk;
}

// The table as PNG bytes, as Qt's PNG writer makes them.
Result<QByteArray> EncodeTable(const QImage& table) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(table)) {
    return Status::Failure(ToUtf8(writer.errorString()));
  }
  return bytes;
}

// --png FILE: the viewer's table from --first-row, at most --rows rows,
// written whole or not at all.
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
  const std::filesystem::path pngPath = ToPath(parser.value("png"));
  auto refuse = [&](const std::string& reason) {
    PrintError(Tr("cli", "无法写入文件：") + WithReason(pngPath.string(), reason));
    return kExitFailed;
  };
  // Before the drawing, which takes a while for a large library.
  if (const Status kind = CheckOutputKind(pngPath); !kind) {
    return refuse(kind.message());
  }
  const Result<QImage> table = DrawLibraryTable(library, layout, *firstRow, *rowCount);
  if (!table) {
    PrintError(table.error());
    return kExitFailed;
  }
  const Result<QByteArray> png = EncodeTable(table.value());
  if (!png) {
    return refuse(png.error());
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(png.value().constData());
  if (const Status written = WriteFileAtomically(
          pngPath, std::span(bytes, static_cast<std::size_t>(png.value().size())));
      !written) {
    return refuse(written.message());
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
  if (parser.isSet("png")) {
    if (Status refused = RefuseOutputsOntoInputs({ToPath(parser.value("png"))}, {path}); !refused) {
      PrintError(refused.message());
      return kExitUsage;
    }
  }
  CFontLibraryReader library;
  if (const Status opened = library.Open(path); !opened) {
    PrintError(Tr("cli", "无法打开字库：") + WithReason(path.string(), opened.message()));
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
