// glyphs: the glyph dialog's "生成字模", and the header a firmware includes
// for the characters of its texts.

#include <QCommandLineParser>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/atomic_file_writer.h"
#include "base/compiler_files.h"
#include "base/output_input_check.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/depfile_option.h"
#include "cli/font_options.h"
#include "font/font_catalog.h"
#include "font/glyph_header.h"
#include "font/glyph_model.h"
#include "font/glyph_renderer.h"
#include "font/glyph_text.h"
#include "font/missing_glyphs.h"

namespace zentora::cli {

namespace {

// The file standard output was sent to (`> glyphs.h`), named from the
// current folder when it lies inside it, as a build tool names its outputs;
// nullopt when it goes to a terminal or a pipe.
std::optional<std::filesystem::path> StandardOutputFile() {
  struct stat info {};
  if (::fstat(STDOUT_FILENO, &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  std::error_code error;
  const std::filesystem::path file = std::filesystem::read_symlink("/proc/self/fd/1", error);
  if (error || !file.is_absolute()) {
    return std::nullopt;
  }
  const std::filesystem::path here = std::filesystem::current_path(error);
  const std::filesystem::path inside = error ? file : file.lexically_relative(here);
  return inside.empty() || *inside.begin() == ".." ? file : inside;
}

// What a run reads and where it writes: the header, or standard output.
struct GlyphsFiles {
  std::filesystem::path font;
  std::filesystem::path textFile;  // empty for a TEXT argument
  std::filesystem::path header;    // empty for the array on standard output

  std::vector<std::filesystem::path> Inputs() const {
    std::vector<std::filesystem::path> inputs = FontPrerequisites(font);
    if (!textFile.empty()) {
      inputs.push_back(textFile);
    }
    return inputs;
  }
};

// Refuses outputs onto the inputs, then reads --depfile, whose target is the
// header or the file standard output goes to. nullopt after printing why.
std::optional<DepfileRequest> CheckOutputs(const QCommandLineParser& parser,
                                           const GlyphsFiles& files) {
  if (files.header.empty()) {
    // Standard output opened onto an input (1<> or >>) would write the
    // arrays into it.
    const CInputFiles inputs(files.Inputs());
    if (const std::filesystem::path* input = inputs.FindOpen(STDOUT_FILENO)) {
      PrintError(Fill(Tr("cli", "不能把输出写入要读取的文件：%1"), input->string()));
      return std::nullopt;
    }
  } else if (Status refused = RefuseOutputsOntoInputs({files.header}, files.Inputs()); !refused) {
    PrintError(refused.message());
    return std::nullopt;
  }
  if (!parser.isSet("depfile")) {
    return DepfileRequest{};
  }
  std::optional<std::filesystem::path> target = files.header;
  if (files.header.empty() && !(target = StandardOutputFile())) {
    PrintError(Tr("cli", "--depfile 要求把标准输出重定向到文件，或给出 --header"));
    return std::nullopt;
  }
  return ReadDepfileOption(parser, {{*target}, files.Inputs()});
}

// The name the header's comment gives the font: the file's own name, never
// the folder it lies in on the machine that built it.
std::string FontNameForHeader(const FontChoice& choice, const std::filesystem::path& fontFile) {
  if (!choice.font.fontFile.empty() || choice.font.faceName.empty()) {
    return fontFile.filename().string();
  }
  return choice.font.faceName;
}

}  // namespace

int RunGlyphs(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli",
          "输出 TEXT 的字模 C 数组，每个 UTF-16 码元一行，行尾与窗口相同，为 CR LF。\n"
          "给出 --text-file 或 --header 时，文本中的每个字符只取模一次，按所选字符集的\n"
          "编码从小到大排列；换行等控制字符不计，字符集中没有的字符列在 stderr 上，\n"
          "退出状态为 1。"));
  parser.addPositionalArgument("TEXT", TrQ("cli", "要取模的字符。"), "glyphs TEXT");
  parser.addOption(
      {"text-file", TrQ("cli", "从这个 UTF-8 文本文件（可带 BOM）读取字符，代替 TEXT。"), "FILE"});
  parser.addOption({"header",
                    TrQ("cli",
                        "把字模写成 C 头文件 HEADER：字模数组、排好序的编码表、字符个数\n"
                        "和字模大小，名称取自文件名。"),
                    "HEADER"});
  AddFontOptions(parser);
  AddDepfileOption(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  GlyphsFiles files;
  files.textFile = ToPath(parser.value("text-file"));
  files.header = ToPath(parser.value("header"));
  if (!ExpectPositionals(parser, files.textFile.empty() ? 1 : 0)) {
    return kExitUsage;
  }
  const std::optional<FontChoice> choice = ReadFontOptions(parser);
  if (!choice) {
    return kExitUsage;
  }
  files.font = ChosenFontFile(*choice);
  const std::optional<DepfileRequest> depfile = CheckOutputs(parser, files);
  if (!depfile) {
    return kExitUsage;
  }
  std::u16string text = parser.positionalArguments().value(0).toStdU16String();
  if (!files.textFile.empty()) {
    Result<std::u16string> read = ReadGlyphTextFile(files.textFile);
    if (!read) {
      PrintError(read.error());
      return kExitUsage;
    }
    text = std::move(read).value();
  }

  // A text file or a header is a set of characters: each once, in code
  // order. Typed text is modelled unit by unit, as the window does.
  const bool asSet = !files.textFile.empty() || !files.header.empty();
  const GlyphSelection selection =
      asSet ? SelectGlyphCharacters(text, choice->charset) : GlyphSelection{};
  const std::u16string units =
      asSet ? std::u16string(selection.characters.begin(), selection.characters.end()) : text;
  CGlyphRenderer renderer;
  std::vector<std::uint8_t> glyphs = ModelText(renderer, choice->font, choice->layout, units);
  if (files.header.empty()) {
    PrintLine(FormatGlyphArray(glyphs, BytesPerGlyph(choice->layout)));
    // Flushed first, so that the recorded target is no older than its record.
    std::fflush(stdout);
  } else {
    const std::string header =
        FormatGlyphHeader({HeaderNamePrefix(files.header), FontNameForHeader(*choice, files.font),
                           choice->font.height, choice->charset, choice->layout,
                           selection.characters, selection.codes, std::move(glyphs)});
    if (Status written = WriteFileAtomically(
            files.header,
            std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size()));
        !written) {
      PrintError(WriteFailureLine(files.header, written));
      return kExitFailed;
    }
  }
  const int unencodable =
      EndWithWarning(UnencodableCharactersLine(selection.unencodable, choice->charset));
  const int missing =
      EndWithWarning(MissingGlyphsLine(MissingCharacters(renderer, choice->font, units)));
  return RecordDependencies(*depfile, std::max(unencodable, missing));
}

}  // namespace zentora::cli
