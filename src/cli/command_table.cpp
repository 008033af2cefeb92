#include "cli/command_table.h"

#include <QString>

#include <cstdio>
#include <string_view>
#include <vector>

#include "base/translation.h"
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
    {"compile", "", RunCompile,
     QT_TRANSLATE_NOOP("cli", "PROJECT [--out DIR] [--depfile DEPFILE] [图片选项]"),
     QT_TRANSLATE_NOOP("cli",
                       "把工程的图片编译为 DIR/image.bin 和 DIR/image.idx，\n"
                       "声音编译为 DIR/wave.bin 和 DIR/wave.idx\n"
                       "（DIR 默认为工程文件夹 + output/）。")},
    {"download", "", RunDownload, "DIR",
     QT_TRANSLATE_NOOP("cli",
                       "把 DIR 里的 image.idx、image.bin、wave.idx 和 wave.bin 发送到模块。")},
    {"build", "", RunBuild,
     QT_TRANSLATE_NOOP("cli", "PROJECT [--out DIR] [--depfile DEPFILE] [图片选项]"),
     QT_TRANSLATE_NOOP("cli", "如上编译，然后下载这四个文件。")},
    {"export", "", RunExport,
     QT_TRANSLATE_NOOP("cli", "PROJECT FILE [--depfile DEPFILE] [图片选项]"),
     QT_TRANSLATE_NOOP("cli",
                       "把图片写入 FILE：FILE 以 .bin 结尾（不分大小写）时写数据文件，\n"
                       "并在旁边写 FILE 的名称 + .idx；否则写由字节数组组成的 C 头文件。")},
    {"adjust", "", RunAdjust, "FILE... --width W --height H [--scale] [--no-keep-aspect]",
     QT_TRANSLATE_NOOP("cli",
                       "把图片就地调整为 W x H（1 到 2000）：裁剪左上部分，\n"
                       "或伸缩，除非给出 --no-keep-aspect，否则保持纵横比。")},
    {"project", "create", RunProjectCreate, "PROJECT [--picture FILE]... [--sound FILE]...",
     QT_TRANSLATE_NOOP("cli", "创建工程文件，并把文件复制到工程文件夹。")},
    {"project", "show", RunProjectShow, "PROJECT [--json]",
     QT_TRANSLATE_NOOP("cli", "列出工程的图片和声音及其编号。")},
    {"fonts", "", RunFonts, "", QT_TRANSLATE_NOOP("cli", "像字库取模窗口一样列出已安装的字体。")},
    {"glyphs", "", RunGlyphs,
     QT_TRANSLATE_NOOP("cli",
                       "TEXT | --text-file FILE [--header HEADER] [--depfile DEPFILE]\n"
                       "[字体选项]"),
     QT_TRANSLATE_NOOP("cli",
                       "输出 TEXT 的字模 C 数组；或按编码顺序为 FILE 中的每个字符取模一次，\n"
                       "写成固件可直接包含的 C 头文件 HEADER。")},
    {"fontlib", "", RunFontLibrary, QT_TRANSLATE_NOOP("cli", "OUT [--depfile DEPFILE] [字体选项]"),
     QT_TRANSLATE_NOOP("cli", "生成整个字符集的字库。")},
    {"fontview", "", RunFontView,
     "LIB --width W --height H [--vertical] [--bit0-first]\n"
     "[--glyph N | --png FILE]",
     QT_TRANSLATE_NOOP("cli", "以文字显示字库中的一个字模，或把字库表格画成图片。")},
    {"inspect", "", RunInspect,
     QT_TRANSLATE_NOOP("cli", "DIR [图片选项] [--png DIR2] [--wav DIR2] [--sheet N]\n[--json]"),
     QT_TRANSLATE_NOOP("cli",
                       "列出并检查 DIR 中编译好的资源；按图片选项像模块那样读出图片写成文件，\n"
                       "把声音写成 WAV 文件，并把第 N 张图片按其色彩深度的全部 16 种设置画出。")},
    {"preview", "", RunPreview,
     QT_TRANSLATE_NOOP("cli", "PICTURE [--png OUT [--side-by-side]] [图片选项]"),
     QT_TRANSLATE_NOOP("cli",
                       "按图片选项把 PICTURE 编译再读出，打印它在模块上与原图的误差，\n"
                       "并把模块显示的图片（或左右并排的原图与模块显示）写成 PNG 文件 OUT。")},
};

constexpr std::string_view kUsageHead =
    QT_TRANSLATE_NOOP("cli",
                      "用法：zentora-cli 命令 [参数] [选项]\n"
                      "\n"
                      "为 Zentora 液晶显示模块准备图片和声音。\n"
                      "\n"
                      "命令：\n");

constexpr std::string_view kUsageTail = QT_TRANSLATE_NOOP(
    "cli",
    "\n"
    "图片选项：\n"
    "  --depth 16|24            16 位 RGB565（默认）或 24 位 RGB\n"
    "  --msb-first              每个像素的高字节（或红色）在前\n"
    "  --row-right-to-left      每行从右至左扫描\n"
    "  --column-bottom-to-top   每列从下至上扫描\n"
    "  --column-first           按列存放\n"
    "  --dither none|ordered|diffusion  16 位时的抖动（默认 none）\n"
    "\n"
    "字体选项：\n"
    "  --font 名称 | --font-file 路径   字体（默认：与取模窗口的选择相同）\n"
    "  --size PX                        字体高度，以像素计（1 到 192，默认 16）\n"
    "  --charset ascii|gb2312|gbk       字符集（默认 gb2312）\n"
    "  --cell 8|16|24|32|40|48          字模大小（默认 16）\n"
    "  --vertical                       纵向取模\n"
    "  --bit0-first                     每个字节的第一个像素放在 bit0\n"
    "  --mono                           单色点阵：黑白微调，不管 gasp 表\n"
    "\n"
    "其他选项：\n"
    "  --lang zh|en                     界面语言（默认按系统语言环境）\n"
    "  --verbose                        同时显示 Qt 和图片解码库的英文消息\n"
    "  --depfile DEPFILE                compile、build、export、glyphs、fontlib：\n"
    "                                   成功后写 Make 格式的依赖文件\n"
    "  --json                           inspect、project show：在 stdout 上\n"
    "                                   输出一个 JSON 文档\n"
    "\n"
    "输出信息的各行写到 stdout，错误写到 stderr。\n"
    "退出状态：0 成功，1 有步骤失败，2 参数错误或无法读取工程。\n"
    "“zentora-cli 命令 --help”说明单个命令。\n");

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

// The columns text takes on a terminal: East Asian characters take two.
std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (const QChar c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) {
    width += c.unicode() >= 0x1100 && !c.isLowSurrogate() ? 2 : 1;
  }
  return width;
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
  // Only the arguments that name option groups have a translation.
  return Indented(prefix, Tr("cli", row.arguments.data()), DisplayWidth(prefix));
}

// The first lines of a command's own help.
std::string UsageOf(const CommandRow& row) {
  return Synopsis(row, Tr("cli", "用法：zentora-cli "));
}

// 'zentora-cli project --help': the synopses of a command's actions.
int PrintActionUsage(const QString& name) {
  std::string usage;
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name)) {
      usage += usage.empty() ? UsageOf(row) : Synopsis(row, Tr("cli", "      zentora-cli "));
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

// Runs a command with its usage line in place for its help.
int Run(const CommandRow& row, const QStringList& arguments, qsizetype words) {
  SetCommandUsage(UsageOf(row));
  return row.run(CommandArguments(arguments, words));
}

int RunAction(const QStringList& arguments) {
  const QString name = arguments.value(1);
  const QString action = arguments.value(2);
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name) && action == Latin1(row.action)) {
      return Run(row, arguments, 2);
    }
  }
  if (action == "-h" || action == "--help") {
    return PrintActionUsage(name);
  }
  PrintError(action.isEmpty()
                 ? Fill(Tr("cli", "%1：请给出 %2"), ToUtf8(name), ActionList(name))
                 : Fill(Tr("cli", "%1：未知的操作“%2”"), ToUtf8(name), ToUtf8(action)));
  return kExitUsage;
}

}  // namespace

std::string UsageText() {
  std::string usage = Tr("cli", kUsageHead.data());
  for (const CommandRow& row : kCommands) {
    usage += Synopsis(row, "  ");
    usage += Indented("      ", Tr("cli", row.help.data()), 6);
  }
  return usage + Tr("cli", kUsageTail.data());
}

int RunCommand(const QStringList& arguments) {
  const QString name = arguments.value(1);
  for (const CommandRow& row : kCommands) {
    if (IsNamed(row, name)) {
      return row.action.empty() ? Run(row, arguments, 1) : RunAction(arguments);
    }
  }
  PrintError(Fill(Tr("cli", "未知的命令“%1”；“zentora-cli --help”列出全部命令"), ToUtf8(name)));
  return kExitUsage;
}

}  // namespace zentora::cli
