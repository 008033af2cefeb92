#pragma once

#include <optional>
#include <span>
#include <string>

#include "image/image_settings.h"
#include "readback/resource_listing.h"

namespace zentora {

// The bytes per pixel the pictures were compiled with, as the index tells
// it: that of the first picture whose length is exactly width × height × 2
// or × 3; 0 when no picture's length fits either.
int FilesBytesPerPixel(std::span<const PictureEntry> pictures);

// How the pictures of a folder are drawn under the settings chosen for the
// module. Read at another depth than their own, the blocks come out as
// noise, so the files' depth wins where the index tells it, and a finding
// says so.
struct PictureReading {
  ImageSettings settings;
  // "depth-mismatch": "资源文件是 16 位色彩，与所选的 24 位不同；…"; none
  // when the depths agree or the lengths fit neither.
  std::optional<Finding> finding;
};

PictureReading ReadingForFiles(std::span<const PictureEntry> pictures, const ImageSettings& chosen);

}  // namespace zentora
