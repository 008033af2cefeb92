#include "support/test_pictures.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace zentora::testing {

void SavePicture(const std::filesystem::path& path, int width, int height,
                 std::initializer_list<QRgb> pixels) {
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  QImage image(width, height, QImage::Format_RGB32);
  const QRgb* pixel = pixels.begin();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      row[x] = *pixel++;
    }
  }
  ASSERT_TRUE(image.save(QString::fromStdString(path.string()))) << "cannot write " << path;
}

}  // namespace zentora::testing
