#include "cli/image_options.h"

#include "cli/cli_support.h"

namespace zentora::cli {

void AddImageOptions(QCommandLineParser& parser) {
  parser.addOption({"depth", "Colour depth: 16 (RGB565, default) or 24 (RGB).", "bits", "16"});
  parser.addOption({"msb-first", "Store the high byte (or red) of each pixel first."});
  parser.addOption({"row-right-to-left", "Scan each row from right to left."});
  parser.addOption({"column-bottom-to-top", "Scan each column from bottom to top."});
  parser.addOption({"column-first", "Store column by column instead of row by row."});
}

std::optional<ImageSettings> ReadImageOptions(const QCommandLineParser& parser) {
  ImageSettings settings;
  const QString depth = parser.value("depth");
  if (depth == "16") {
    settings.colorDepth = 0;
  } else if (depth == "24") {
    settings.colorDepth = 1;
  } else {
    PrintError("--depth takes 16 or 24, not '" + ToUtf8(depth) + "'");
    return std::nullopt;
  }
  settings.msbFirst = parser.isSet("msb-first");
  settings.rowRightToLeft = parser.isSet("row-right-to-left");
  settings.columnBottomToTop = parser.isSet("column-bottom-to-top");
  settings.columnFirst = parser.isSet("column-first");
  return settings;
}

}  // namespace zentora::cli
