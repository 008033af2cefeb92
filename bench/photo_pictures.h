#pragma once

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace zentora::bench {

inline constexpr int kPhotoWidth = 800;
inline constexpr int kPhotoHeight = 480;

// Photo-like content: smooth gradients with fine noise, so that PNG and JPEG
// decoding cost what real pictures cost (flat colour would decode far too
// fast).
inline QImage MakePhotoPicture(int seed) {
  QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
  std::mt19937 random(static_cast<unsigned>(seed));
  std::uniform_int_distribution<int> noise(-12, 12);
  const double phase = seed * 0.37;
  for (int y = 0; y < kPhotoHeight; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kPhotoWidth; ++x) {
      const double wave = std::sin(x * 0.013 + phase) * std::cos(y * 0.021 - phase);
      const int red = std::clamp(static_cast<int>(128 + 100 * wave) + noise(random), 0, 255);
      const int green = std::clamp(x * 255 / kPhotoWidth + noise(random), 0, 255);
      const int blue = std::clamp(y * 255 / kPhotoHeight + noise(random), 0, 255);
      row[x] = qRgb(red, green, blue);
    }
  }
  return image;
}

// `count` pictures of 800 × 480, half PNG and half JPEG, in a folder that
// later runs reuse (by default under the temporary folder).
inline std::vector<std::filesystem::path> PhotoPictures(
    int count, const std::filesystem::path& folder = std::filesystem::temp_directory_path() /
                                                     "zentora-bench-pictures") {
  std::filesystem::create_directories(folder);
  std::vector<std::filesystem::path> paths;
  for (int i = 0; i < count; ++i) {
    const bool png = i % 2 == 0;
    std::filesystem::path path =
        folder / ("picture-" + std::to_string(i) + (png ? ".png" : ".jpg"));
    if (!std::filesystem::exists(path)) {
      MakePhotoPicture(i).save(QString::fromStdString(path.string()), png ? "PNG" : "JPEG",
                               png ? -1 : 85);
    }
    paths.push_back(path);
  }
  return paths;
}

}  // namespace zentora::bench
