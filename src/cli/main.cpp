// zentora-cli: the resource compiler and project tools for scripts and build
// servers. Every command runs the same core code as the desktop program.

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "cli/cli_support.h"
#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "Usage: zentora-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Prepares pictures and sounds for the Zentora LCD display module.\n"
    "\n"
    "Commands:\n"
    "  compile PROJECT [--out DIR] [image options]\n"
    "      Compile the project's pictures into DIR/image.bin and DIR/image.idx\n"
    "      and its sounds into DIR/wave.bin and DIR/wave.idx\n"
    "      (DIR defaults to the project's folder + output/).\n"
    "  download DIR\n"
    "      Send DIR's image.idx, image.bin, wave.idx and wave.bin to the module.\n"
    "  build PROJECT [--out DIR] [image options]\n"
    "      Compile as above, then download the four files.\n"
    "  export PROJECT FILE [image options]\n"
    "      Write the pictures to FILE: the data file with FILE's name + .idx beside\n"
    "      it when FILE ends in .bin (any case), else a C header of byte arrays.\n"
    "  adjust FILE... --width W --height H [--scale] [--no-keep-aspect]\n"
    "      Resize pictures in place to W x H (1 to 2000): crop the top-left part,\n"
    "      or scale, keeping the proportions unless --no-keep-aspect.\n"
    "  project create PROJECT [--picture FILE]... [--sound FILE]...\n"
    "      Make a project file, copying the files into its folder.\n"
    "  project show PROJECT\n"
    "      List a project's pictures and sounds with their numbers.\n"
    "  fonts\n"
    "      List the installed fonts as the glyph dialog does.\n"
    "  glyphs TEXT [font options]\n"
    "      Print the C array of TEXT's glyphs.\n"
    "  fontlib OUT [font options]\n"
    "      Write the font library of a whole character set.\n"
    "  fontview LIB --width W --height H [--vertical] [--bit0-first]\n"
    "           [--glyph N | --png FILE]\n"
    "      Show one glyph of a font library as text, or its table as a picture.\n"
    "\n"
    "Image options:\n"
    "  --depth 16|24            16-bit RGB565 (default) or 24-bit RGB\n"
    "  --msb-first              high byte (or red) of each pixel first\n"
    "  --row-right-to-left      scan each row from right to left\n"
    "  --column-bottom-to-top   scan each column from bottom to top\n"
    "  --column-first           store column by column\n"
    "\n"
    "Font options:\n"
    "  --font NAME | --font-file PATH   the font (default: as the dialog selects)\n"
    "  --size PX                        font height in pixels (default 16)\n"
    "  --charset ascii|gb2312|gbk       character set (default gb2312)\n"
    "  --cell 8|16|24|32|40|48          glyph cell (default 16)\n"
    "  --vertical                       model column by column\n"
    "  --bit0-first                     first pixel of each byte in bit 0\n"
    "\n"
    "Lines of the output list go to stdout, errors to stderr.\n"
    "Exit status: 0 success, 1 a step failed, 2 bad arguments or unreadable project.\n"
    "'zentora-cli COMMAND --help' describes one command.\n";

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("zentora-cli");
  QCoreApplication::setApplicationVersion("0.1.0");

  const QStringList arguments = QCoreApplication::arguments();
  const QString command = arguments.value(1);
  if (command.isEmpty()) {
    std::fputs(kUsage, stderr);
    return zentora::cli::kExitUsage;
  }
  if (command == "-h" || command == "--help" || command == "help") {
    std::fputs(kUsage, stdout);
    return zentora::cli::kExitOk;
  }
  if (command == "--version") {
    std::puts("zentora-cli 0.1.0");
    return zentora::cli::kExitOk;
  }
  QStringList rest = arguments.mid(2);
  rest.prepend("zentora-cli " + command);
  if (command == "compile") {
    return zentora::cli::RunCompile(rest);
  }
  if (command == "project") {
    return zentora::cli::RunProject(rest);
  }
  if (command == "download") {
    return zentora::cli::RunDownload(rest);
  }
  if (command == "build") {
    return zentora::cli::RunBuild(rest);
  }
  if (command == "fonts") {
    return zentora::cli::RunFonts(rest);
  }
  if (command == "glyphs") {
    return zentora::cli::RunGlyphs(rest);
  }
  if (command == "fontlib") {
    return zentora::cli::RunFontLibrary(rest);
  }
  if (command == "fontview") {
    return zentora::cli::RunFontView(rest);
  }
  if (command == "export") {
    return zentora::cli::RunExport(rest);
  }
  if (command == "adjust") {
    return zentora::cli::RunAdjust(rest);
  }
  zentora::cli::PrintError("unknown command '" + command.toStdString() +
                           "'; 'zentora-cli --help' lists the commands");
  return zentora::cli::kExitUsage;
}
