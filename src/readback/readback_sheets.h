#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "image/image_settings.h"

namespace zentora {

class CDataFileReader;
struct PictureEntry;

// Draws one line of UTF-8 text centred in a box of a sheet, dark on the
// sheet's light background. The window draws with its own font; the
// command-line tool, which has no GUI application, with FreeType.
using LabelPainter = std::function<void(QImage& sheet, const QRect& box, std::string_view text)>;

// The 16 ways to read a block of one depth, in the settings sheet's order:
// low byte first, then high byte first; within each, row first then column
// first; within each, the four mirrorings.
std::array<ImageSettings, 16> SettingsOfDepth(int colorDepth);

// A setting's short label, "LSB → ↓ 行" to "MSB ← ↑ 列" (see the legend).
std::string SettingsLabel(const ImageSettings& settings);

// The size a width × height picture takes to fit a box × box square,
// keeping its proportions: larger pictures shrink, small ones grow by a
// whole factor so that their pixels stay sharp squares.
QSize FittedSize(int width, int height, int box);
// The picture scaled to that size.
QImage FitPicture(const QImage& picture, int box);

// The thumbnail square of the contact sheet.
inline constexpr int kThumbnailSize = 88;
// The contact sheet shows at most this many pictures (its memory grows with
// them); the rest are left out.
inline constexpr int kMaxContactSheetPictures = 2048;

// A numbered grid of thumbnails (FitPicture(…, kThumbnailSize)), labelled
// with their positions from 0; a null thumbnail leaves its cell empty.
QImage ComposeContactSheet(const std::vector<QImage>& thumbnails, const LabelPainter& label);

// Picture `entry` read with each of the 16 settings of its own depth, each
// tile labelled, under a heading and a legend of the labels.
Result<QImage> ComposeSettingsSheet(const CDataFileReader& data, const PictureEntry& entry,
                                    const LabelPainter& label);

}  // namespace zentora
