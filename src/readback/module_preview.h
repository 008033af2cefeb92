#pragma once

#include <QImage>

#include <array>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "base/result.h"
#include "image/file_stamp.h"
#include "image/image_settings.h"

namespace zentora {

// A picture file as the compiler draws it (over the blue background), with
// whether any of it was transparent. Decoding is the slow part, so this is
// what is kept while only the settings change.
struct PreviewSource {
  QImage drawn;  // Format_RGB32
  bool transparent = false;
};

// Decodes and draws a picture file. A file that cannot be read fails with
// "无法读取图片：" + its name + the reason.
Result<PreviewSource> LoadPreviewSource(const std::filesystem::path& path);

// How far the module's picture is from the drawn one.
struct PreviewFigures {
  std::array<int, 3> maxError{};                          // red, green, blue, in 8-bit units
  double psnr = std::numeric_limits<double>::infinity();  // dB; infinite when identical

  bool Identical() const { return maxError == std::array<int, 3>{}; }
};

// The largest difference per channel and the PSNR over the three channels of
// two pictures of the same size.
PreviewFigures ComparePictures(const QImage& drawn, const QImage& shown);

// A picture as drawn beside the same picture as the module shows it: packed
// into the bytes the compiler writes at those settings and unpacked again.
struct ModulePreview {
  QImage drawn;
  QImage shown;
  PreviewFigures figures;
  bool transparent = false;
};

// Fails for a picture that the index cannot describe at the settings' depth
// (the compiler writes an empty entry for it).
Result<ModulePreview> PreviewOnModule(const PreviewSource& source, const ImageSettings& settings);
Result<ModulePreview> PreviewPicture(const std::filesystem::path& path,
                                     const ImageSettings& settings);

// "最大误差 R … G … B … · PSNR … dB", or the line for a picture the module
// shows exactly.
std::string FiguresLine(const PreviewFigures& figures);
// The line shown for a picture with transparency.
std::string TransparencyLine();

// Both halves in one picture, the drawn one on the left.
QImage SideBySide(const ModulePreview& preview);

// Encodes a picture as PNG and writes it in one step; a failure names the
// file and the reason.
Status WritePreviewPng(const QImage& picture, const std::filesystem::path& path);

// The last picture file decoded, kept while its stamp stays the same.
class CPreviewSourceCache {
 public:
  Result<std::shared_ptr<const PreviewSource>> Get(const std::filesystem::path& path);

 private:
  std::filesystem::path path_;
  std::optional<FileStamp> stamp_;
  std::shared_ptr<const PreviewSource> source_;
};

}  // namespace zentora
