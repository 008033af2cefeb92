#include "readback/files_depth.h"

#include "base/translation.h"

namespace zentora {

int FilesBytesPerPixel(std::span<const PictureEntry> pictures) {
  for (const PictureEntry& entry : pictures) {
    if (const int depth = entry.BytesPerPixel(); depth != 0) {
      return depth;
    }
  }
  return 0;
}

PictureReading ReadingForFiles(std::span<const PictureEntry> pictures,
                               const ImageSettings& chosen) {
  PictureReading reading{chosen, std::nullopt};
  const int files = FilesBytesPerPixel(pictures);
  if (files == 0 || files == chosen.BytesPerPixel()) {
    return reading;
  }
  reading.settings.colorDepth = files - 2;
  reading.finding =
      Finding{"depth-mismatch",
              Fill(Tr("inspect", "资源文件是 %1 位色彩，与所选的 %2 位不同；按文件的 %1 位显示"),
                   std::to_string(files * 8), std::to_string(chosen.BytesPerPixel() * 8))};
  return reading;
}

}  // namespace zentora
