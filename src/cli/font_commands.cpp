// fonts and fontlib: the glyph dialog's list and its "生成字库...".

#include <QCommandLineParser>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
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
    return RecordDependencies(*depfile,
                              EndWithWarning(MissingGlyphsLine(MissingCharacters(
                                  renderer, request.font, CharsetCharacters(request.charset)))));
  }
  if (result.cancelled()) {
    PrintError(Tr("cli", "已中断；没有写入任何内容"));
    return 130;
  }
  PrintError(result.message());
  return kExitFailed;
}

}  // namespace zentora::cli
