#include "image/picture_adjust.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/system_error_text.h"
#include "image/picture_canvas.h"
#include "support/temp_dir.h"
#include "support/test_pictures.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::FolderContents;
using testing::ReadText;
using testing::SavePicture;
using testing::WriteBytes;
namespace fs = std::filesystem;

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

QString Name(const fs::path& path) {
  return QString::fromStdString(path.string());
}

// Saved as PNG whatever the name says: decoding goes by content.
void SavePng(const QImage& picture, const fs::path& path) {
  ASSERT_TRUE(picture.save(Name(path), "PNG")) << path;
}

QImage Load(const fs::path& path) {
  return QImageReader(Name(path)).read();
}

::testing::AssertionResult PixelNear(const QImage& picture, int x, int y, QRgb expected,
                                     int tolerance) {
  const QRgb pixel = picture.pixel(x, y);
  if (std::abs(qRed(pixel) - qRed(expected)) <= tolerance &&
      std::abs(qGreen(pixel) - qGreen(expected)) <= tolerance &&
      std::abs(qBlue(pixel) - qBlue(expected)) <= tolerance && qAlpha(pixel) == 255) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "pixel (" << x << "," << y << ") is " << std::hex << pixel << ", not " << expected;
}

struct Sample {
  int x, y;
  QRgb colour;
};

struct MethodCase {
  AdjustMethod method;
  bool keepAspectRatio;
  std::vector<Sample> samples;  // in the 640 × 640 result
};

class AdjustMethodTest : public ::testing::TestWithParam<MethodCase> {};

// 800 × 600: the left 600 × 600 square red above green (split at y = 300),
// the right 200 columns blue.
TEST_P(AdjustMethodTest, From800x600To640x640) {
  CTempDir dir;
  QImage source(800, 600, QImage::Format_RGB32);
  QPainter painter(&source);
  painter.fillRect(0, 0, 600, 300, QColor(kRed));
  painter.fillRect(0, 300, 600, 300, QColor(kGreen));
  painter.fillRect(600, 0, 200, 600, QColor(kBlue));
  painter.end();
  SavePng(source, dir / "p.png");
  const Result<AdjustOutcome> adjusted =
      AdjustPicture(dir / "p.png", 640, 640, GetParam().method, GetParam().keepAspectRatio);
  ASSERT_TRUE(adjusted) << adjusted.error();
  EXPECT_EQ(adjusted.value(), AdjustOutcome::Rewritten);
  const QImage result = Load(dir / "p.png");
  ASSERT_EQ(result.size(), QSize(640, 640));
  for (const Sample& s : GetParam().samples) {
    EXPECT_TRUE(PixelNear(result, s.x, s.y, s.colour, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(
    PictureAdjust, AdjustMethodTest,
    ::testing::Values(
        // The left square enlarged: no blue, the split at 320.
        MethodCase{AdjustMethod::Scale,
                   true,
                   {{634, 5, kRed}, {320, 310, kRed}, {320, 330, kGreen}, {634, 634, kGreen}}},
        // Squeezed across (blue from 480), stretched down (split at 320).
        MethodCase{AdjustMethod::Scale,
                   false,
                   {{475, 5, kRed}, {485, 5, kBlue}, {5, 310, kRed}, {5, 330, kGreen}}},
        // The top-left 640 × 600 unchanged over a white strip 40 pixels high;
        // keeping the aspect ratio plays no part.
        MethodCase{AdjustMethod::Crop,
                   false,
                   {{599, 299, kRed},
                    {600, 0, kBlue},
                    {0, 300, kGreen},
                    {639, 599, kBlue},
                    {0, 600, kWhite},
                    {639, 639, kWhite}}}));

TEST(PictureAdjust, ScalingIsBilinearAndTransparencyBecomesWhite) {
  CTempDir dir;
  SavePicture(dir / "ramp.png", 2, 1, {0xFF000000, kWhite});
  ASSERT_TRUE(AdjustPicture(dir / "ramp.png", 8, 1, AdjustMethod::Scale, false));
  const QImage ramp = Load(dir / "ramp.png");
  // Pixel centres 3.5 and 4.5 lie 3/8 and 5/8 of the way from black to white.
  EXPECT_TRUE(PixelNear(ramp, 3, 0, qRgb(96, 96, 96), 4));
  EXPECT_TRUE(PixelNear(ramp, 4, 0, qRgb(159, 159, 159), 4));

  QImage alpha(3, 1, QImage::Format_ARGB32);
  alpha.setPixel(0, 0, qRgba(255, 0, 0, 0));
  alpha.setPixel(1, 0, qRgba(0, 0, 0, 128));
  alpha.setPixel(2, 0, kRed);
  SavePng(alpha, dir / "alpha.png");
  ASSERT_TRUE(AdjustPicture(dir / "alpha.png", 3, 1, AdjustMethod::Crop, true));
  const QImage opaque = Load(dir / "alpha.png");
  EXPECT_TRUE(PixelNear(opaque, 0, 0, kWhite, 0));
  EXPECT_TRUE(PixelNear(opaque, 1, 0, qRgb(127, 127, 127), 1));
  EXPECT_TRUE(PixelNear(opaque, 2, 0, kRed, 0));
}

struct EncoderCase {
  const char* name;
  const char* format;  // as QImageReader names what it finds
};

class EncoderTest : public ::testing::TestWithParam<EncoderCase> {};

TEST_P(EncoderTest, ExtensionChoosesTheFormat) {
  CTempDir dir;
  const fs::path path = dir / GetParam().name;
  QImage red(2, 2, QImage::Format_RGB32);
  red.fill(kRed);
  SavePng(red, path);
  ASSERT_TRUE(AdjustPicture(path, 16, 4, AdjustMethod::Scale, false));
  QImageReader reader(Name(path));
  EXPECT_EQ(reader.format().toStdString(), GetParam().format);
  const QImage result = reader.read();
  ASSERT_EQ(result.size(), QSize(16, 4));
  EXPECT_TRUE(PixelNear(result, 8, 2, kRed, 8));
  EXPECT_EQ(FolderContents(dir.Path()), std::set<std::string>{GetParam().name});
}

INSTANTIATE_TEST_SUITE_P(PictureAdjust, EncoderTest,
                         ::testing::Values(EncoderCase{"PIC.JPG", "jpeg"},
                                           EncoderCase{"pic.jpeg", "jpeg"},
                                           EncoderCase{"a.BMP", "bmp"}, EncoderCase{"b.png", "png"},
                                           EncoderCase{"c.tif", "tiff"},
                                           EncoderCase{"d.TIFF", "tiff"},
                                           EncoderCase{"e.Gif", "gif"}));

// Thousands of colours through the GIF palette stay close to the same
// adjustment written without loss.
TEST(PictureAdjust, GifKeepsColoursCloseToTheSource) {
  CTempDir dir;
  QImage gradient(200, 150, QImage::Format_RGB32);
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 200; ++x) {
      gradient.setPixel(x, y, qRgb(x, y, 255 - x));
    }
  }
  for (const char* name : {"g.gif", "g.png"}) {
    SavePng(gradient, dir / name);
    ASSERT_TRUE(AdjustPicture(dir / name, 160, 160, AdjustMethod::Scale, true));
  }
  ASSERT_EQ(QImageReader(Name(dir / "g.gif")).format(), "gif");
  const QImage gif = Load(dir / "g.gif");
  const QImage lossless = Load(dir / "g.png");
  ASSERT_EQ(gif.size(), QSize(160, 160));
  long long totalError = 0;
  for (int y = 0; y < 160; ++y) {
    for (int x = 0; x < 160; ++x) {
      ASSERT_TRUE(PixelNear(gif, x, y, lossless.pixel(x, y), 24));
      totalError += std::abs(qRed(gif.pixel(x, y)) - qRed(lossless.pixel(x, y))) +
                    std::abs(qGreen(gif.pixel(x, y)) - qGreen(lossless.pixel(x, y))) +
                    std::abs(qBlue(gif.pixel(x, y)) - qBlue(lossless.pixel(x, y)));
    }
  }
  EXPECT_LT(totalError / (160 * 160 * 3), 4);
}

TEST(PictureAdjust, FilesItCannotOrMustNotRewriteAreUntouched) {
  CTempDir dir;
  struct Case {
    const char* name;
    bool picture;  // a valid picture, else text
    int width;
    bool reported;       // a failure, else NoEncoder
    const char* reason;  // of a failure to read
  };
  const std::string missing = ErrnoMessage(ENOENT);
  for (const Case& c :
       {Case{"p.webp", true, 4, false, ""}, Case{"p.png.bak", true, 4, false, ""},
        Case{"noextension", true, 4, false, ""}, Case{"text.png", false, 4, true, "不是图片文件"},
        Case{"missing.gif", false, 4, true, missing.c_str()}, Case{"zero.png", true, 0, true, ""},
        Case{"wide.png", true, 2001, true, ""}}) {
    SCOPED_TRACE(c.name);
    if (c.picture) {
      SavePng(QImage(8, 8, QImage::Format_RGB32), dir / c.name);
    } else if (std::string(c.name) != "missing.gif") {
      WriteBytes(dir / c.name, "not a picture");
    }
    const std::set<std::string> namesBefore = FolderContents(dir.Path());
    const std::string before = ReadText(dir / c.name);
    const Result<AdjustOutcome> adjusted =
        AdjustPicture(dir / c.name, c.width, 4, AdjustMethod::Scale, true);
    EXPECT_EQ(!adjusted.ok(), c.reported) << adjusted.error();
    if (adjusted) {
      EXPECT_EQ(adjusted.value(), AdjustOutcome::NoEncoder);
    } else if (c.width == 4) {
      EXPECT_EQ(adjusted.error(),
                "无法读取图片：" + (dir / c.name).string() + "（" + c.reason + "）");
    }
    EXPECT_EQ(ReadText(dir / c.name), before);
    EXPECT_EQ(FolderContents(dir.Path()), namesBefore);
  }
}

// Pictures whose decoders leave pixels unwritten or whose pixels index past
// their palette come out of the adjustment, at their own size, with exactly
// the pixels the compile draws from them.
TEST(PictureAdjust, HostileBmpsKeepTheCompilesPixels) {
  CTempDir dir;
  for (const char* name :
       {"truncated_24bit_8x4.bmp", "rle8_skipped_pixels_8x4.bmp", "palette_beyond_table_8x4.bmp"}) {
    SCOPED_TRACE(name);
    const fs::path original = fs::path(ZENTORA_TEST_DATA_DIR) / "images" / name;
    fs::copy_file(original, dir / name);
    ASSERT_TRUE(AdjustPicture(dir / name, 8, 4, AdjustMethod::Crop, true));
    const QImage compiled = DrawPictureCanvas(original).canvas;
    const QImage adjusted = Load(dir / name).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(adjusted.size(), compiled.size());
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(adjusted.pixel(x, y), compiled.pixel(x, y)) << x << "," << y;
      }
    }
  }
}

// Larger than the decoders' usual allocation limit, which the adjustment
// lifts for this picture alone.
TEST(PictureAdjust, PictureBeyondTheUsualDecodeLimitIsShrunk) {
  CTempDir dir;
  {
    QImage huge(6000, 6000, QImage::Format_RGB32);
    ASSERT_FALSE(huge.isNull());
    huge.fill(kBlue);
    SavePng(huge, dir / "huge.png");
  }
  const int usualLimit = QImageReader::allocationLimit();
  ASSERT_TRUE(Load(dir / "huge.png").isNull()) << "the picture must exceed the usual limit";
  ASSERT_TRUE(AdjustPicture(dir / "huge.png", 100, 100, AdjustMethod::Scale, true));
  EXPECT_EQ(QImageReader::allocationLimit(), usualLimit);
  const QImage result = Load(dir / "huge.png");
  ASSERT_EQ(result.size(), QSize(100, 100));
  EXPECT_TRUE(PixelNear(result, 50, 50, kBlue, 0));
}

}  // namespace
}  // namespace zentora
