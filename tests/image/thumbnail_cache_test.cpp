#include "image/thumbnail_cache.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>

#include <filesystem>
#include <string>
#include <vector>

#include "image/picture_canvas.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

void SaveFilled(const fs::path& path, QSize size, QColor colour, const char* format = "PNG") {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format)) << path;
}

TEST(ThumbnailCacheTest, DecodesAtThumbnailSizeOrTellsWhatTheFileIs) {
  CTempDir dir;
  SaveFilled(dir / "wide.png", QSize(400, 200), Qt::red);
  SaveFilled(dir / "tall.jpg", QSize(10, 20), Qt::green, "JPEG");
  SaveFilled(dir / "odd.bmp", QSize(5, 7), Qt::blue, "BMP");
  WriteBytes(dir / "beep.wav", "RIFF....WAVE");
  struct Case {
    fs::path path;
    Thumbnail::Kind kind;
    QSize size;
    QSize image;
  };
  for (const Case& c : {Case{dir / "wide.png", Thumbnail::Kind::Picture, {80, 40}, {80, 40}},
                        Case{dir / "tall.jpg", Thumbnail::Kind::Picture, {40, 80}, {40, 80}},
                        // The image fills the box, whose sides are even.
                        Case{dir / "odd.bmp", Thumbnail::Kind::Picture, {57, 80}, {56, 80}},
                        Case{dir / "beep.wav", Thumbnail::Kind::NotPicture, {32, 32}, {0, 0}},
                        Case{dir / "gone.png", Thumbnail::Kind::Missing, {32, 32}, {0, 0}},
                        Case{fs::path(), Thumbnail::Kind::Missing, {32, 32}, {0, 0}}}) {
    const Thumbnail thumbnail = DecodeThumbnail(c.path);
    EXPECT_EQ(thumbnail.kind, c.kind) << c.path;
    EXPECT_EQ(thumbnail.size, c.size) << c.path;
    EXPECT_EQ(thumbnail.image.size(), c.image) << c.path;
  }
  EXPECT_EQ(DecodeThumbnail(dir / "wide.png").image.pixelColor(40, 20), QColor(Qt::red));
}

TEST(ThumbnailCacheTest, SizesForALayoutComeFromTheHeaderWithoutDecoding) {
  CTempDir dir;
  SaveFilled(dir / "wide.png", QSize(400, 200), Qt::red);
  SaveFilled(dir / "tall.jpg", QSize(10, 20), Qt::green, "JPEG");
  WriteBytes(dir / "beep.wav", "RIFF....WAVE");
  CThumbnailCache cache({}, std::size_t{1} << 20, CThumbnailStore({}));
  struct Case {
    fs::path path;
    QSize size;
  };
  const Case cases[] = {Case{dir / "wide.png", {80, 40}}, Case{dir / "tall.jpg", {40, 80}},
                        Case{dir / "beep.wav", {32, 32}}, Case{dir / "gone.png", {32, 32}}};
  for (const Case& c : cases) {
    EXPECT_EQ(cache.SizeOf(c.path), c.size) << c.path;
  }
  EXPECT_EQ(cache.Decodes(), 0);
  for (const Case& c : cases) {
    EXPECT_EQ(cache.Get(c.path).size, c.size) << c.path;
  }
  // A rewritten picture is measured again.
  SaveFilled(dir / "wide.png", QSize(100, 400), Qt::red);
  EXPECT_EQ(cache.SizeOf(dir / "wide.png"), QSize(20, 80));
}

// Pixels the decoder never delivers are the compile's blue (paletted: the
// first colour), not whatever the memory held.
TEST(ThumbnailCacheTest, UndeliveredPixelsAreThoseTheCompileShows) {
  struct Case {
    const char* file;  // under tests/data/images, its top left never delivered
    QRgb topLeft;
  };
  for (const Case& c : {Case{"truncated_24bit_8x4.bmp", 0xFF0000FF},
                        Case{"rle8_skipped_pixels_8x4.bmp", 0xFFFF0000}}) {
    SCOPED_TRACE(c.file);
    const fs::path path = fs::path(ZENTORA_TEST_DATA_DIR) / "images" / c.file;
    const Thumbnail thumbnail = DecodeThumbnail(path);
    ASSERT_EQ(thumbnail.kind, Thumbnail::Kind::Picture);
    EXPECT_EQ(thumbnail.image.pixel(0, 0), c.topLeft);
    EXPECT_EQ(DrawPictureCanvas(path).canvas.pixel(0, 0), c.topLeft);
  }
}

TEST(ThumbnailCacheTest, LargePicturesKeepTheirLayoutInTheThumbnail) {
  // Four quarters of different colours, in each format with its own way down
  // to the thumbnail (a PNG of photo form is averaged as it is read).
  QImage picture(600, 300, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.fillRect(0, 0, 300, 150, Qt::red);
  painter.fillRect(300, 0, 300, 150, Qt::green);
  painter.fillRect(0, 150, 300, 150, Qt::blue);
  painter.fillRect(300, 150, 300, 150, Qt::white);
  painter.end();
  CTempDir dir;
  for (const char* format : {"PNG", "BMP", "JPEG"}) {
    const fs::path path = dir / (std::string("quarters.") + format);
    ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format));
    const QImage image = DecodeThumbnail(path).image;
    ASSERT_EQ(image.size(), QSize(80, 40)) << format;
    struct Probe {
      QPoint point;
      QColor colour;
    };
    for (const Probe& probe : {Probe{{20, 10}, Qt::red}, Probe{{60, 10}, Qt::green},
                               Probe{{20, 30}, Qt::blue}, Probe{{60, 30}, Qt::white}}) {
      const QColor got = image.pixelColor(probe.point);
      EXPECT_NEAR(got.red(), probe.colour.red(), 8) << format << " at " << probe.point.x();
      EXPECT_NEAR(got.green(), probe.colour.green(), 8) << format << " at " << probe.point.x();
      EXPECT_NEAR(got.blue(), probe.colour.blue(), 8) << format << " at " << probe.point.x();
    }
  }
}

TEST(ThumbnailCacheTest, DecodesOnceUntilTheFileChanges) {
  CTempDir dir;
  SaveFilled(dir / "a.png", QSize(40, 40), Qt::red);
  WriteBytes(dir / "beep.wav", "RIFF");
  QImage icon(32, 32, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::yellow);
  int iconsAsked = 0;
  CThumbnailCache cache(
      [&](const fs::path&) {
        ++iconsAsked;
        return icon;
      },
      std::size_t{1} << 20, CThumbnailStore({}));

  // The same file twice in one request, and again later: one decode.
  EXPECT_TRUE(cache.NeedsDecoding(dir / "a.png"));
  const std::vector<Thumbnail> first = cache.GetMany({dir / "a.png", dir / "a.png"});
  EXPECT_EQ(first[1].image.pixelColor(10, 10), QColor(Qt::red));
  EXPECT_EQ(cache.Get(dir / "a.png").image.pixelColor(10, 10), QColor(Qt::red));
  EXPECT_EQ(cache.Decodes(), 1);
  EXPECT_FALSE(cache.NeedsDecoding(dir / "a.png"));

  // Rewritten (the adjustment, or an editor outside): decoded again.
  SaveFilled(dir / "a.png", QSize(40, 20), Qt::blue);
  const Thumbnail rewritten = cache.Get(dir / "a.png");
  EXPECT_EQ(rewritten.size, QSize(80, 40));
  EXPECT_EQ(rewritten.image.pixelColor(10, 10), QColor(Qt::blue));
  EXPECT_EQ(cache.Decodes(), 2);

  // Files that are no picture get the fallback image, also kept.
  EXPECT_EQ(cache.Get(dir / "beep.wav").image, icon);
  EXPECT_EQ(cache.Get(dir / "beep.wav").image, icon);
  EXPECT_EQ(iconsAsked, 1);

  fs::remove(dir / "a.png");
  EXPECT_FALSE(cache.NeedsDecoding(dir / "a.png"));
  EXPECT_EQ(cache.Get(dir / "a.png").kind, Thumbnail::Kind::Missing);
}

}  // namespace
}  // namespace zentora
