#pragma once

#include <filesystem>

#include "base/result.h"

namespace zentora {

enum class AdjustMethod {
  Crop = 0,   // the top-left region at its own scale, the rest white
  Scale = 1,  // scaled to fill the target
};

// The target sizes the adjustment accepts, in pixels.
inline constexpr int kMinAdjustSide = 1;
inline constexpr int kMaxAdjustSide = 2000;

enum class AdjustOutcome {
  Rewritten,  // the file holds the adjusted picture
  NoEncoder,  // its extension names no format we write: the file is untouched
};

// Rewrites one picture file at exactly width × height pixels, in the format
// its extension names (bmp, gif, jpg/jpeg, png, tif/tiff, in any case). The
// picture is drawn on opaque white with bilinear filtering:
//  - Crop: its top-left width × height region, unscaled;
//  - Scale without keepAspectRatio: the whole picture, stretched;
//  - Scale with keepAspectRatio: the largest top-left region of the target's
//    proportions, so the right or bottom part is cut off rather than the
//    picture distorted.
// The new file replaces the old one only once it is completely written. A
// picture that cannot be decoded, a size outside kMinAdjustSide to
// kMaxAdjustSide and a failed encode or write are failures with a message
// for the user; the file is then untouched.
Result<AdjustOutcome> AdjustPicture(const std::filesystem::path& path, int width, int height,
                                    AdjustMethod method, bool keepAspectRatio);

}  // namespace zentora
