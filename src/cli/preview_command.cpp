// preview: a picture as the module will show it at the given settings.

#include <QCommandLineParser>
#include <QString>

#include "base/output_input_check.h"
#include "base/translation.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/image_options.h"
#include "readback/module_preview.h"

namespace zentora::cli {

int RunPreview(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      TrQ("cli",
          "把图片按给出的图片选项编译成模块的像素数据再读出，\n"
          "打印与原图相比每个通道的最大误差和 PSNR。\n"
          "退出状态：0 成功，1 图片无法读取或文件没有写成，2 参数错误。"));
  parser.addPositionalArgument("PICTURE", TrQ("cli", "图片文件。"), "preview PICTURE");
  parser.addOption({"png", TrQ("cli", "把模块显示的图片写成 PNG 文件 OUT。"), "OUT"});
  parser.addOption({"side-by-side", TrQ("cli", "在 OUT 中左边放原图，右边放模块显示的图片。")});
  AddImageOptions(parser);
  AddDitherOption(parser);
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  if (!ExpectPositionals(parser, 1)) {
    return kExitUsage;
  }
  const std::optional<ImageSettings> settings = ReadPackingOptions(parser);
  if (!settings) {
    return kExitUsage;
  }
  if (parser.isSet("side-by-side") && !parser.isSet("png")) {
    PrintError(Tr("cli", "--side-by-side 写入 --png OUT；请同时给出 --png"));
    return kExitUsage;
  }
  const std::filesystem::path picture = ToPath(parser.positionalArguments()[0]);
  const std::filesystem::path out = parser.isSet("png") ? ToPath(parser.value("png")) : "";
  if (!out.empty()) {
    if (Status refused = RefuseOutputsOntoInputs({out}, {picture}); !refused) {
      PrintError(refused.message());
      return kExitUsage;
    }
  }
  const Result<ModulePreview> preview = PreviewPicture(picture, *settings);
  if (!preview) {
    PrintError(preview.error());
    return kExitFailed;
  }
  PrintLine(FiguresLine(preview.value().figures));
  if (preview.value().transparent) {
    PrintLine(TransparencyLine());
  }
  if (out.empty()) {
    return kExitOk;
  }
  const QImage written =
      parser.isSet("side-by-side") ? SideBySide(preview.value()) : preview.value().shown;
  if (Status status = WritePreviewPng(written, out); !status) {
    PrintError(status.message());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zentora::cli
