#include <QCommandLineParser>

#include <cstdio>

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
    PrintError("--" + ToUtf8(option) + " is required");
    return std::nullopt;
  }
  return ReadIntegerOption<int>(parser, option, Between(kMinAdjustSide, kMaxAdjustSide));
}

}  // namespace

int RunAdjust(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Rewrite pictures in place at exactly W x H pixels, in the format their\n"
      "extension names (bmp, gif, jpg, jpeg, png, tif, tiff); other files are left\n"
      "as they are. Crops the top-left region unless --scale is given; --scale keeps\n"
      "the proportions by cutting off the right or bottom part unless\n"
      "--no-keep-aspect is given too.");
  parser.addPositionalArgument("FILE", "A picture to adjust (one or more).",
                               "adjust FILE... --width W --height H");
  parser.addOption({"width", "The target width, 1 to 2000.", "W"});
  parser.addOption({"height", "The target height, 1 to 2000.", "H"});
  parser.addOption({"scale", "Scale the picture instead of cropping it."});
  parser.addOption({"no-keep-aspect", "With --scale, stretch the whole picture to the target."});
  if (std::optional<int> done = ParseArguments(parser, arguments)) {
    return *done;
  }
  const QStringList files = parser.positionalArguments();
  if (files.isEmpty()) {
    PrintError("missing arguments");
    std::fputs(parser.helpText().toUtf8().constData(), stderr);
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
