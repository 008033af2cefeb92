#include "cli/command_table.h"

#include <QString>

#include <cstdio>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"

namespace zentora::cli {

namespace {

// One subcommand: how it is called, what runs it, and its entry in the usage
// text. A command with actions ("project create", "project show") has a row
// per action; a new line in arguments continues them, aligned under their
// first word.
struct CommandRow {
  std::string_view name;
  std::string_view action;
  int (*run)(const QStringList& arguments);
  std::string_view arguments;
  std::string_view help;
};

constexpr CommandRow kCommands[] = {
    {"compile", "", RunCompile, "PROJECT [--out DIR] [image options]",
     "Compile the project's pictures into DIR/image.bin and DIR/image.idx\n"
     "and its sounds into DIR/wave.bin and DIR/wave.idx\n"
     "(DIR defaults to the project's folder + output/)."},
    {"download", "", RunDownload, "DIR",
     "Send DIR's image.idx, image.bin, wave.idx and wave.bin to the module."},
    {"build", "", RunBuild, "PROJECT [--out DIR] [image options]",
     "Compile as above, then download the four files."},
    {"export", "", RunExport, "PROJECT FILE [image options]",
     "Write the pictures to FILE: the data file with FILE's name + .idx beside\n"
     "it when FILE ends in .bin (any case), else a C header of byte arrays."},
    {"adjust", "", RunAdjust, "FILE... --width W --height H [--scale] [--no-keep-aspect]",
     "Resize pictures in place to W x H (1 to 2000): crop the top-left part,\n"
     "or scale, keeping the proportions unless --no-keep-aspect."},
    {"project", "create", RunProjectCreate, "PROJECT [--picture FILE]... [--sound FILE]...",
     "Make a project file, copying the files into its folder."},
    {"project", "show", RunProjectShow, "PROJECT",
     "List a project's pictures and sounds with their numbers."},
    {"fonts", "", RunFonts, "", "List the installed fonts as the glyph dialog does."},
    {"glyphs", "", RunGlyphs, "TEXT [font options]", "Print the C array of TEXT's glyphs."},
    {"fontlib", "", RunFontLibrary, "OUT [font options]",
     "Write the font library of a whole character set."},
    {"fontview", "", RunFontView,
     "LIB --width W --height H [--vertical] [--bit0-first]\n"
     "[--glyph N | --png FILE]",
     "Show one glyph of a font library as text, or its table as a picture."},
    {"inspect", "", RunInspect, "DIR [image options] [--png DIR2] [--wav DIR2] [--sheet N]",
     "List and check the compiled resources of DIR; write the pictures as the\n"
     "module reads them with the image options, the sounds as WAV files, and\n"
     "picture N under all 16 settings of its depth."},
};

constexpr std::string_view kUsageHead =
    "Usage: zentora-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Prepares pictures and sounds for the Zentora LCD display module.\n"
    "\n"
    "Commands:\n";

constexpr std::string_view kUsageTail =
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

QLatin1StringView Latin1(std::string_view text) {
  return QLatin1StringView(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsNamed(const CommandRow& row, const QString& name) {
  return name == Latin1(row.name);
}

// Each line of text after prefix, the following lines indented by indent.
std::string Indented(std::string_view prefix, std::string_view text, std::size_t indent) {
  std::string lines(prefix);
  for (char c : text) {
    lines += c;
    if (c == '\n') {
      lines.append(indent, ' ');
    }
  }
  return lines + '\n';
}

// "project create PROJECT ...": the command as it is typed.
std::string Synopsis(const CommandRow& row, std::string_view before) {
  std::string prefix = std::string(before) + std::string(row.name);
  if (!row.action.empty()) {
    prefix += ' ';
    prefix += row.action;
  }
  if (row.arguments.empty()) {
    return prefix + '\n';
  }
  prefix += ' ';
  return Indented(prefix, row.arguments, prefix.size());
}

// 'zentora-cli project --help': the synopses of a command's actions.
int PrintActionUsage(const QString& name) {
  std::string usage;
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name)) {
      usage += Synopsis(row, usage.empty() ? "Usage: zentora-cli " : "       zentora-cli ");
    }
  }
  std::fputs(usage.c_str(), stdout);
  return kExitOk;
}

// "create or show": the actions of a command, for its error message.
std::string ActionList(const QString& name) {
  std::vector<std::string> actions;
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name)) {
      actions.emplace_back(row.action);
    }
  }
  return JoinAlternatives(actions);
}

// The arguments a command's function receives: its full name, then the rest.
QStringList CommandArguments(const QStringList& arguments, qsizetype words) {
  QStringList rest = arguments.mid(words + 1);
  rest.prepend("zentora-cli " + arguments.mid(1, words).join(' '));
  return rest;
}

int RunAction(const QStringList& arguments) {
  const QString name = arguments.value(1);
  const QString action = arguments.value(2);
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name) && action == Latin1(row.action)) {
      return row.run(CommandArguments(arguments, 2));
    }
  }
  if (action == "-h" || action == "--help") {
    return PrintActionUsage(name);
  }
  PrintError(action.isEmpty() ? ToUtf8(name) + ": say " + ActionList(name)
                              : ToUtf8(name) + ": unknown action '" + ToUtf8(action) + "'");
  return kExitUsage;
}

}  // namespace

std::string UsageText() {
  std::string usage(kUsageHead);
  for (const CommandRow& row : kCommands) {
    usage += Synopsis(row, "  ");
    usage += Indented("      ", row.help, 6);
  }
  return usage + std::string(kUsageTail);
}

int RunCommand(const QStringList& arguments) {
  const QString name = arguments.value(1);
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name)) {
      return row.action.empty() ? row.run(CommandArguments(arguments, 1)) : RunAction(arguments);
    }
  }
  PrintError("unknown command '" + ToUtf8(name) + "'; 'zentora-cli --help' lists the commands");
  return kExitUsage;
}

}  // namespace zentora::cli
