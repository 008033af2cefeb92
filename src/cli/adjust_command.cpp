#include <QCommandLineParser>

#include <cstdio>

#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/integer_option.h"
#include "image/picture_adjust.h"

namespace zentora::cli {

namespace {

// nullopt (after printing why) unless the option is given with a side the
// adjustment accepts.
std::optional<int> ReadSide(const QCommandLineParser& parser, const QString& option) {
  if (!parser.isSet(option)) {
    PrintError(Fill(Tr("cli", "需要 --%1"), ToUtf8(option)));
    return std::nullopt;
  }
  return ReadIntegerOption<int>(parser, option, Between(kMinAdjustSide, kMaxAdjustSide));
}

}  // namespace

int RunAdjust(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli",
          "把图片就地改写为正好 W x H 像素，格式由扩展名决定\n"
          "（bmp、gif、jpg、jpeg、png、tif、tiff）；其他文件保持不变。\n"
          "不给出 --scale 时裁剪左上区域；--scale 时伸缩并保持纵横比，\n"
          "多出的右边或下边部分被切掉，除非同时给出\n"
          "--no-keep-aspect。"));
  parser.addPositionalArgument("FILE", TrQ("cli", "要调整的图片（一个或多个）。"),
                               "adjust FILE... --width W --height H");
  parser.addOption({"width", TrQ("cli", "目标宽度，1 到 2000。"), "W"});
  parser.addOption({"height", TrQ("cli", "目标高度，1 到 2000。"), "H"});
  parser.addOption({"scale", TrQ("cli", "伸缩图片而不是裁剪。")});
  parser.addOption({"no-keep-aspect", TrQ("cli", "与 --scale 一起：把整张图片拉伸到目标大小。")});
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  const QStringList files = parser.positionalArguments();
  if (files.isEmpty()) {
    PrintError(Tr("cli", "缺少参数"));
    std::fputs(CommandHelpText(parser).c_str(), stderr);
    return kExitUsage;
  }
  const std::optional<int> width = ReadSide(parser, "width");
  const std::optional<int> height = ReadSide(parser, "height");
  if (!width || !height) {
    return kExitUsage;
  }
  const AdjustMethod method = parser.isSet("scale") ? AdjustMethod::Scale : AdjustMethod::Crop;
  const bool keepAspectRatio = !parser.isSet("no-keep-aspect");

  // Every file is tried, whatever became of the ones before it.
  bool failed = false;
  for (const QString& file : files) {
    const Result<AdjustOutcome> adjusted =
        AdjustPicture(ToPath(file), *width, *height, method, keepAspectRatio);
    if (!adjusted) {
      PrintError(adjusted.error());
      failed = true;
    }
  }
  return failed ? kExitFailed : kExitOk;
}

}  // namespace zentora::cli
