#include "cli/font_options.h"

#include <algorithm>

#include "base/translation.h"
#include "cli/cli_support.h"
#include "font/font_catalog.h"
#include "font/glyph_renderer.h"

namespace zentora::cli {

void AddFontOptions(QCommandLineParser& parser) {
  parser.addOption(
      {"font", TrQ("cli", "“zentora-cli fonts”列出的字体（默认：与窗口默认相同）。"), "NAME"});
  parser.addOption({"font-file", TrQ("cli", "用这个字体文件而不是已安装的字体。"), "PATH"});
  parser.addOption({"size", TrQ("cli", "字体高度，以像素计（1 到 192，默认 16）。"), "PX", "16"});
  parser.addOption({"charset", TrQ("cli", "ascii、gb2312（默认）或 gbk。"), "SET", "gb2312"});
  parser.addOption({"cell", TrQ("cli", "字模大小：8、16（默认）、24、32、40 或 48。"), "PX", "16"});
  parser.addOption({"vertical", TrQ("cli", "纵向取模，而不是横向取模。")});
  parser.addOption({"bit0-first", TrQ("cli", "每个字节的第一个像素放在 bit0。")});
  parser.addOption({"mono", TrQ("cli",
                                "为每个字模做微调并画成黑白点阵，不管字体的 gasp 表怎样要求"
                                "（字体自带的该字号点阵仍然优先）。")});
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
    PrintError(Fill(Tr("cli", "--charset 只接受 ascii、gb2312 或 gbk，而不是“%1”"),
                    ToUtf8(parser.value("charset"))));
    return std::nullopt;
  }
  const std::optional<int> size = ReadIntegerOption<int>(parser, "size", kFontHeightRule);
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
    CGlyphRenderer renderer;
    if (const Status loaded = renderer.CanLoad(choice.font); !loaded) {
      PrintError(WithReason(Fill(Tr("cli", "无法加载字体文件“%1”"), choice.font.fontFile.string()),
                            loaded.message()));
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
      PrintError(Fill(Tr("cli", "没有名为“%1”的已安装字体；改用其替代字体"), choice.font.faceName));
    }
  } else {
    choice.font.faceName = DefaultFontName().value_or(std::string());
  }
  return choice;
}

std::filesystem::path ChosenFontFile(const FontChoice& choice) {
  const Result<FontSource> source = ResolveFont(choice.font);
  return source ? source.value().file : std::filesystem::path();
}

std::vector<std::filesystem::path> FontPrerequisites(const std::filesystem::path& fontFile) {
  return fontFile.empty() ? std::vector<std::filesystem::path>{}
                          : std::vector<std::filesystem::path>{fontFile};
}

int EndWithWarning(const std::string& line) {
  if (line.empty()) {
    return kExitOk;
  }
  PrintError(line);
  return kExitFailed;
}

}  // namespace zentora::cli
