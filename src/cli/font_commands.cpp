// fonts, glyphs and fontlib: the glyph dialog's list, its "生成字模" and its
// "生成字库...".

#include <QCommandLineParser>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "base/output_input_check.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/console_sink.h"
#include "cli/depfile_option.h"
#include "cli/font_options.h"
#include "font/font_catalog.h"
#include "font/font_library.h"
#include "font/glyph_model.h"
#include "font/glyph_renderer.h"
#include "font/missing_glyphs.h"

namespace zentora::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int /*signal*/) {
  gInterrupted = 1;
}

// Turns Ctrl-C into a stop request, so that an interrupted generation
// removes its temporary file and leaves an existing library as it was.
class CInterruptWatch {
 public:
  CInterruptWatch() {
    gInterrupted = 0;
    previous_ = std::signal(SIGINT, OnInterrupt);
    watcher_ = std::jthread([this](std::stop_token done) {
      while (!done.stop_requested()) {
        if (gInterrupted != 0) {
          stop_.request_stop();
          return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
  }
  ~CInterruptWatch() {
    watcher_.request_stop();
    watcher_.join();
    std::signal(SIGINT, previous_);
  }
  std::stop_token Token() const { return stop_.get_token(); }

 private:
  std::stop_source stop_;
  void (*previous_)(int) = SIG_DFL;
  std::jthread watcher_;
};

// The font file the choice draws with: the --font-file, or the installed
// font that the name resolves to. Empty when none resolves.
std::filesystem::path ChosenFontFile(const FontChoice& choice) {
  const Result<FontSource> source = ResolveFont(choice.font);
  return source ? source.value().file : std::filesystem::path();
}

// What a glyph run read: the font file, when the choice resolves to one.
std::vector<std::filesystem::path> FontPrerequisites(const std::filesystem::path& fontFile) {
  return fontFile.empty() ? std::vector<std::filesystem::path>{}
                          : std::vector<std::filesystem::path>{fontFile};
}

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

// --depfile for glyphs: its target is the file standard output goes to.
std::optional<DepfileRequest> ReadGlyphsDepfile(const QCommandLineParser& parser,
                                                const std::filesystem::path& fontFile) {
  if (!parser.isSet("depfile")) {
    return DepfileRequest{};
  }
  const std::optional<std::filesystem::path> output = StandardOutputFile();
  if (!output) {
    PrintError(Tr("cli", "--depfile 要求把标准输出重定向到文件"));
    return std::nullopt;
  }
  return ReadDepfileOption(parser, {{*output}, FontPrerequisites(fontFile)});
}

// The glyphs are written either way; blank ones the font could not draw
// make the run end with 1, so that a script notices.
int WarnOfMissingGlyphs(const std::vector<char32_t>& missing) {
  if (missing.empty()) {
    return kExitOk;
  }
  PrintError(MissingGlyphsLine(missing));
  return kExitFailed;
}

}  // namespace

int RunFonts(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "像字库取模窗口一样列出已安装的字体；“*”标出窗口\n"
                                       "首先选中的字体。"));
  parser.addOption({"plain", TrQ("cli", "只列名称，不加标记。")});
  // Names the command in the usage line, as the commands with arguments do.
  parser.addPositionalArgument("fonts", TrQ("cli", "本命令，不带其他参数。"), "fonts");
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 0)) {
    return kExitUsage;
  }
  const std::vector<std::string>& names = InstalledFontNames();
  const std::optional<std::string> selected = DefaultFontName(names);
  for (const std::string& name : names) {
    const bool isDefault = !parser.isSet("plain") && selected && name == *selected;
    PrintLine(parser.isSet("plain") ? name : (isDefault ? "* " : "  ") + name);
  }
  return kExitOk;
}

int RunGlyphs(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "输出 TEXT 的字模 C 数组，每个 UTF-16 码元一行，\n"
                                       "行尾与窗口相同，为 CR LF。"));
  parser.addPositionalArgument("TEXT", TrQ("cli", "要取模的字符。"), "glyphs TEXT");
  AddFontOptions(parser);
  AddDepfileOption(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::optional<FontChoice> choice = ReadFontOptions(parser);
  if (!choice) {
    return kExitUsage;
  }
  // Standard output opened onto the font file (1<> or >>) would write the
  // arrays into the font.
  const std::filesystem::path chosenFont = ChosenFontFile(*choice);
  const CInputFiles fontFile({chosenFont});
  if (const std::filesystem::path* font = fontFile.FindOpen(STDOUT_FILENO)) {
    PrintError(Fill(Tr("cli", "不能把输出写入要读取的文件：%1"), font->string()));
    return kExitUsage;
  }
  const std::optional<DepfileRequest> depfile = ReadGlyphsDepfile(parser, chosenFont);
  if (!depfile) {
    return kExitUsage;
  }
  const QString text = parser.positionalArguments()[0];
  const std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()),
                             static_cast<std::size_t>(text.size()));
  CGlyphRenderer renderer;
  const std::vector<std::uint8_t> glyphs = ModelText(renderer, choice->font, choice->layout, units);
  PrintLine(FormatGlyphArray(glyphs, BytesPerGlyph(choice->layout)));
  // Flushed first, so that the recorded target is no older than its record.
  std::fflush(stdout);
  return RecordDependencies(*depfile,
                            WarnOfMissingGlyphs(MissingCharacters(renderer, choice->font, units)));
}

int RunFontLibrary(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(TrQ("cli",
                                       "把整个字符集的字库写入 OUT：按编码顺序排列的全部字模，\n"
                                       "没有其他内容。已有的 OUT 只在新字库完整生成后\n"
                                       "才被替换。"));
  parser.addPositionalArgument("OUT", TrQ("cli", "要写入的字库文件（.bin）。"), "fontlib OUT");
  AddFontOptions(parser);
  AddDepfileOption(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::optional<FontChoice> choice = ReadFontOptions(parser);
  if (!choice) {
    return kExitUsage;
  }
  const LibraryRequest request{choice->font, choice->layout, choice->charset,
                               ToPath(parser.positionalArguments()[0])};
  const std::filesystem::path chosenFont = ChosenFontFile(*choice);
  if (Status refused = RefuseOutputsOntoInputs({request.path}, {chosenFont}); !refused) {
    PrintError(refused.message());
    return kExitUsage;
  }
  const std::optional<DepfileRequest> depfile =
      ReadDepfileOption(parser, {{request.path}, FontPrerequisites(chosenFont)});
  if (!depfile) {
    return kExitUsage;
  }
  CConsoleSink sink(stdout, stderr);
  CInterruptWatch interrupt;
  sink.ShowProgress(true);
  const Outcome result = GenerateLibrary(request, sink, interrupt.Token());
  sink.ShowProgress(false);
  if (result.done()) {
    CGlyphRenderer renderer;
    return RecordDependencies(
        *depfile, WarnOfMissingGlyphs(MissingCharacters(renderer, request.font,
                                                        CharsetCharacters(request.charset))));
  }
  if (result.cancelled()) {
    PrintError(Tr("cli", "已中断；没有写入任何内容"));
    return 130;
  }
  PrintError(result.message());
  return kExitFailed;
}

}  // namespace zentora::cli
