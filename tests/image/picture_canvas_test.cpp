#include "image/picture_canvas.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/system_error_text.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using CanvasStatus = PictureCanvas::Status;

std::filesystem::path DataFile(std::string_view name) {
  return std::filesystem::path(ZENTORA_TEST_DATA_DIR) / "images" / name;
}

struct Rgb {
  int red, green, blue;
};

::testing::AssertionResult PixelNear(const QImage& canvas, int x, int y, Rgb expected,
                                     int tolerance) {
  const QRgb pixel = canvas.pixel(x, y);
  const bool near = std::abs(qRed(pixel) - expected.red) <= tolerance &&
                    std::abs(qGreen(pixel) - expected.green) <= tolerance &&
                    std::abs(qBlue(pixel) - expected.blue) <= tolerance;
  if (near) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "pixel (" << x << "," << y << ") is (" << qRed(pixel) << "," << qGreen(pixel) << ","
         << qBlue(pixel) << "), expected (" << expected.red << "," << expected.green << ","
         << expected.blue << ") within " << tolerance;
}

// The pictures under tests/data/images/picture_4x3.* all hold these colours,
// indexed [y][x].
const Rgb kPicture4x3[3][4] = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
    {{0, 0, 0}, {255, 128, 64}, {16, 32, 48}, {200, 100, 50}},
    {{128, 0, 128}, {0, 128, 128}, {255, 255, 0}, {90, 60, 30}},
};

void ExpectPicture4x3(const PictureCanvas& drawn) {
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  EXPECT_EQ(drawn.width, 4);
  EXPECT_EQ(drawn.height, 3);
  ASSERT_EQ(drawn.canvas.size(), QSize(4, 3));
  EXPECT_EQ(drawn.canvas.format(), QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_TRUE(PixelNear(drawn.canvas, x, y, kPicture4x3[y][x], 0));
    }
  }
}

// ---------------------------------------------------------------------------
// Formats without loss decode to exactly the colours they were written with.

class LosslessFormatTest : public ::testing::TestWithParam<const char*> {};

TEST_P(LosslessFormatTest, DecodesKnownColours) {
  for (int bytesPerPixel : {2, 3}) {
    SCOPED_TRACE(::testing::Message() << bytesPerPixel << " bytes per pixel");
    ExpectPicture4x3(DrawPictureCanvas(DataFile(GetParam()), bytesPerPixel));
  }
}

INSTANTIATE_TEST_SUITE_P(PictureCanvas, LosslessFormatTest,
                         ::testing::Values("picture_4x3.bmp", "picture_4x3.png", "picture_4x3.gif",
                                           "picture_4x3.tif"),
                         [](const ::testing::TestParamInfo<const char*>& row) {
                           std::string name = row.param;
                           return name.substr(name.find('.') + 1);
                         });

TEST(PictureCanvas, JpegDecodesWithinTolerance) {
  // 32 × 32 in four 16 × 16 quadrants: red, green / blue, white.
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("quadrants_32x32.jpg"), 2);
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  EXPECT_EQ(drawn.width, 32);
  EXPECT_EQ(drawn.height, 32);
  ASSERT_EQ(drawn.canvas.size(), QSize(32, 32));
  EXPECT_EQ(drawn.canvas.format(), QImage::Format_RGB32);
  constexpr int kTolerance = 8;
  for (int offset : {3, 12}) {
    EXPECT_TRUE(PixelNear(drawn.canvas, offset, offset, {255, 0, 0}, kTolerance));
    EXPECT_TRUE(PixelNear(drawn.canvas, 16 + offset, offset, {0, 255, 0}, kTolerance));
    EXPECT_TRUE(PixelNear(drawn.canvas, offset, 16 + offset, {0, 0, 255}, kTolerance));
    EXPECT_TRUE(PixelNear(drawn.canvas, 16 + offset, 16 + offset, {255, 255, 255}, kTolerance));
  }
}

TEST(PictureCanvas, ContentDecidesTheFormatNotTheName) {
  CTempDir dir;
  const std::filesystem::path source = DataFile("picture_4x3.png");
  for (const char* name : {"renamed.bmp", "renamed.jpg", "no_extension"}) {
    SCOPED_TRACE(name);
    std::filesystem::copy_file(source, dir / name);
    ExpectPicture4x3(DrawPictureCanvas(dir / name, 2));
  }
}

TEST(PictureCanvas, DecodesFromADevice) {
  const std::vector<std::uint8_t> png = testing::ReadBytes(DataFile("picture_4x3.png"));
  ASSERT_FALSE(png.empty());
  QByteArray bytes(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
  QBuffer buffer(&bytes);
  ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
  ExpectPicture4x3(DrawPictureCanvas(buffer, 3));

  QByteArray text("not a picture at all");
  QBuffer textBuffer(&text);
  ASSERT_TRUE(textBuffer.open(QIODevice::ReadOnly));
  const PictureCanvas refused = DrawPictureCanvas(textBuffer, 3);
  EXPECT_EQ(refused.status, CanvasStatus::Unreadable);
  EXPECT_TRUE(refused.canvas.isNull());
}

// ---------------------------------------------------------------------------
// Transparency blends over opaque pure blue.

TEST(PictureCanvas, FullyTransparentPngIsPureBlue) {
  // Every pixel is white with alpha 0; the white must not show.
  for (int bytesPerPixel : {2, 3}) {
    SCOPED_TRACE(::testing::Message() << bytesPerPixel << " bytes per pixel");
    const PictureCanvas drawn = DrawPictureCanvas(DataFile("transparent_3x2.png"), bytesPerPixel);
    ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
    EXPECT_EQ(drawn.width, 3);
    EXPECT_EQ(drawn.height, 2);
    ASSERT_EQ(drawn.canvas.size(), QSize(3, 2));
    EXPECT_EQ(drawn.canvas.format(), QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(drawn.canvas.pixel(x, y), qRgb(0, 0, 255)) << x << "," << y;
      }
    }
  }
}

TEST(PictureCanvas, PartlyTransparentPixelsBlendWithBlue) {
  // alpha_3x1.png: red with alpha 0, red with alpha 128, green with alpha 64.
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("alpha_3x1.png"), 2);
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  ASSERT_EQ(drawn.canvas.size(), QSize(3, 1));
  EXPECT_EQ(drawn.canvas.format(), QImage::Format_RGB32);
  // Red 255 × 0 / 255 = 0 over blue 255 × 255 / 255.
  EXPECT_TRUE(PixelNear(drawn.canvas, 0, 0, {0, 0, 255}, 0));
  // Red 255 × 128 / 255 = 128, blue 255 × 127 / 255 = 127.
  EXPECT_TRUE(PixelNear(drawn.canvas, 1, 0, {128, 0, 127}, 1));
  // Green 255 × 64 / 255 = 64, blue 255 × 191 / 255 = 191.
  EXPECT_TRUE(PixelNear(drawn.canvas, 2, 0, {0, 64, 191}, 1));
}

TEST(PictureCanvas, FirstFrameOfAnAnimatedGifWithTransparentIndex) {
  // Frame 1: red, transparent / green, white. Frame 2: all black.
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("two_frames_2x2.gif"), 3);
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  EXPECT_EQ(drawn.width, 2);
  EXPECT_EQ(drawn.height, 2);
  ASSERT_EQ(drawn.canvas.size(), QSize(2, 2));
  EXPECT_EQ(drawn.canvas.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(drawn.canvas.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(drawn.canvas.pixel(0, 1), qRgb(0, 255, 0));
  EXPECT_EQ(drawn.canvas.pixel(1, 1), qRgb(255, 255, 255));
}

// ---------------------------------------------------------------------------
// A canvas handed back for reuse never shows through the next picture.

QImage Magenta(int width, int height) {
  QImage canvas(width, height, QImage::Format_RGB32);
  canvas.fill(qRgb(255, 0, 255));
  return canvas;
}

class RecycledCanvasTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RecycledCanvasTest, OldPixelsDoNotShowThrough) {
  ExpectPicture4x3(DrawPictureCanvas(DataFile(GetParam()), 2, Magenta(4, 3)));
}

TEST_P(RecycledCanvasTest, CanvasOfAnotherSizeIsNotInTheWay) {
  ExpectPicture4x3(DrawPictureCanvas(DataFile(GetParam()), 3, Magenta(7, 5)));
}

INSTANTIATE_TEST_SUITE_P(PictureCanvas, RecycledCanvasTest,
                         ::testing::Values("picture_4x3.bmp", "picture_4x3.png", "picture_4x3.gif",
                                           "picture_4x3.tif"),
                         [](const ::testing::TestParamInfo<const char*>& row) {
                           std::string name = row.param;
                           return name.substr(name.find('.') + 1);
                         });

TEST(PictureCanvas, RecycledCanvasUnderTransparentParts) {
  const PictureCanvas transparent =
      DrawPictureCanvas(DataFile("transparent_3x2.png"), 2, Magenta(3, 2));
  ASSERT_EQ(transparent.status, CanvasStatus::Drawn);
  ASSERT_EQ(transparent.canvas.size(), QSize(3, 2));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(transparent.canvas.pixel(x, y), qRgb(0, 0, 255)) << x << "," << y;
    }
  }

  const PictureCanvas gif = DrawPictureCanvas(DataFile("two_frames_2x2.gif"), 2, Magenta(2, 2));
  ASSERT_EQ(gif.status, CanvasStatus::Drawn);
  ASSERT_EQ(gif.canvas.size(), QSize(2, 2));
  EXPECT_EQ(gif.canvas.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(gif.canvas.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(gif.canvas.pixel(0, 1), qRgb(0, 255, 0));
  EXPECT_EQ(gif.canvas.pixel(1, 1), qRgb(255, 255, 255));

  const PictureCanvas alpha = DrawPictureCanvas(DataFile("alpha_3x1.png"), 2, Magenta(3, 1));
  ASSERT_EQ(alpha.status, CanvasStatus::Drawn);
  ASSERT_EQ(alpha.canvas.size(), QSize(3, 1));
  EXPECT_TRUE(PixelNear(alpha.canvas, 0, 0, {0, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(alpha.canvas, 1, 0, {128, 0, 127}, 1));
  EXPECT_TRUE(PixelNear(alpha.canvas, 2, 0, {0, 64, 191}, 1));
}

TEST(PictureCanvas, RecycledCanvasForJpeg) {
  const PictureCanvas fresh = DrawPictureCanvas(DataFile("quadrants_32x32.jpg"), 3);
  const PictureCanvas drawn =
      DrawPictureCanvas(DataFile("quadrants_32x32.jpg"), 3, Magenta(32, 32));
  ASSERT_EQ(fresh.status, CanvasStatus::Drawn);
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  ASSERT_EQ(drawn.canvas.size(), QSize(32, 32));
  // Decoding is exact and repeatable: every pixel as without the old canvas.
  EXPECT_TRUE(drawn.canvas == fresh.canvas);
  EXPECT_TRUE(PixelNear(drawn.canvas, 3, 3, {255, 0, 0}, 8));
  EXPECT_TRUE(PixelNear(drawn.canvas, 28, 28, {255, 255, 255}, 8));
}

TEST(PictureCanvas, RecycledCanvasStillInUseElsewhereIsNotWrittenTo) {
  const QImage held = Magenta(4, 3);
  ExpectPicture4x3(DrawPictureCanvas(DataFile("picture_4x3.png"), 2, held));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(held.pixel(x, y), qRgb(255, 0, 255)) << x << "," << y;
    }
  }
}

TEST(PictureCanvas, RecycledCanvasWithAnotherPixelRatio) {
  QImage recycled = Magenta(4, 3);
  recycled.setDevicePixelRatio(2.0);
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("picture_4x3.png"), 2, recycled);
  ExpectPicture4x3(drawn);
  EXPECT_EQ(drawn.canvas.devicePixelRatio(), 1.0);
}

TEST(PictureCanvas, RecycledCanvasDoesNotMakeAFileReadable) {
  for (const char* file : {"empty_file.png", "truncated_after_header.png", "text_file.png"}) {
    SCOPED_TRACE(file);
    const PictureCanvas drawn = DrawPictureCanvas(DataFile(file), 2, Magenta(4, 3));
    EXPECT_EQ(drawn.status, CanvasStatus::Unreadable);
    EXPECT_TRUE(drawn.canvas.isNull());
  }
}

// ---------------------------------------------------------------------------
// Files that are no pictures. Each row is kept as a regression case.

struct UnreadableCase {
  const char* name;
  const char* file;  // under tests/data/images
  std::string reason;
};

class UnreadableTest : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableTest, IsUnreadableWithoutSizeOrCanvas) {
  for (int bytesPerPixel : {2, 3}) {
    SCOPED_TRACE(::testing::Message() << bytesPerPixel << " bytes per pixel");
    const PictureCanvas drawn = DrawPictureCanvas(DataFile(GetParam().file), bytesPerPixel);
    EXPECT_EQ(drawn.status, CanvasStatus::Unreadable);
    EXPECT_EQ(drawn.reason, GetParam().reason);
    EXPECT_EQ(drawn.width, 0);
    EXPECT_EQ(drawn.height, 0);
    EXPECT_TRUE(drawn.canvas.isNull());
  }
}

INSTANTIATE_TEST_SUITE_P(
    PictureCanvas, UnreadableTest,
    ::testing::Values(
        UnreadableCase{"MissingFile", "no_such_picture.png", ErrnoMessage(ENOENT)},
        UnreadableCase{"EmptyFile", "empty_file.png", "不是图片文件"},
        UnreadableCase{"TextFile", "text_file.png", "不是图片文件"},
        UnreadableCase{"UnsupportedFormat", "photoshop_header.psd", "不支持的图片格式"},
        // Signature and header chunk of picture_4x3.png, nothing after.
        UnreadableCase{"TruncatedPng", "truncated_after_header.png", "图片文件已损坏"},
        UnreadableCase{"Folder", ".", ErrnoMessage(EISDIR)}),
    [](const ::testing::TestParamInfo<UnreadableCase>& row) {
      return std::string(row.param.name);
    });

// Without the index's limits only the decoder's allocation limit refuses it.
TEST(PictureCanvas, PictureBeyondTheAllocationLimitSaysSo) {
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("header_only_20000x20000.png"));
  EXPECT_EQ(drawn.status, CanvasStatus::Unreadable);
  EXPECT_EQ(drawn.reason, "图片太大，超出解码内存上限");
}

TEST(PictureCanvas, EmptyPathIsUnreadable) {
  const PictureCanvas drawn = DrawPictureCanvas(std::filesystem::path(), 2);
  EXPECT_EQ(drawn.status, CanvasStatus::Unreadable);
  EXPECT_TRUE(drawn.canvas.isNull());
}

// ---------------------------------------------------------------------------
// Pictures the index cannot describe.

// A 54-byte BMP header for a 24-bit picture of the given width (four
// little-endian bytes) and a height of 1, with no pixel data after it.
std::string BmpHeaderOnly(std::string_view width) {
  std::string header;
  header += std::string_view("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", 14);  // 54 bytes, pixels at 54
  header += std::string_view("\x28\0\0\0", 4);                       // info header of 40 bytes
  header += width;
  header += std::string_view("\x01\0\0\0", 4);    // height 1
  header += std::string_view("\x01\0\x18\0", 4);  // one plane, 24 bits per pixel
  header += std::string(24, '\0');                // no compression, no sizes, no palette
  return header;
}

TEST(PictureCanvas, OverWideBmpIsRefusedFromItsHeader) {
  CTempDir dir;
  // 70000 = 0x011170. The file holds no pixels, so decoding it would fail:
  // only the header can have told the size.
  testing::WriteBytes(dir / "wide.bmp", BmpHeaderOnly(std::string_view("\x70\x11\x01\0", 4)));
  for (int bytesPerPixel : {2, 3}) {
    SCOPED_TRACE(::testing::Message() << bytesPerPixel << " bytes per pixel");
    const PictureCanvas drawn = DrawPictureCanvas(dir / "wide.bmp", bytesPerPixel);
    EXPECT_EQ(drawn.status, CanvasStatus::TooLarge);
    EXPECT_EQ(drawn.width, 70000);
    EXPECT_EQ(drawn.height, 1);
    EXPECT_TRUE(drawn.canvas.isNull());
  }
  // The same header at width 4 is an ordinary truncated file.
  testing::WriteBytes(dir / "narrow.bmp", BmpHeaderOnly(std::string_view("\x04\0\0\0", 4)));
  EXPECT_EQ(DrawPictureCanvas(dir / "narrow.bmp", 2).status, CanvasStatus::Unreadable);
}

TEST(PictureCanvas, OverWidePngIsRefusedFromItsHeader) {
  // Header of 70000 × 1, image data of a single byte.
  const PictureCanvas drawn = DrawPictureCanvas(DataFile("header_only_70000x1.png"), 2);
  EXPECT_EQ(drawn.status, CanvasStatus::TooLarge);
  EXPECT_EQ(drawn.width, 70000);
  EXPECT_EQ(drawn.height, 1);
  EXPECT_TRUE(drawn.canvas.isNull());
}

// An icon file whose directory entry claims 16 × 16 while the PNG inside it
// holds the real picture: the reader announces the small size, so only the
// decoded size can tell.
std::string IconAround(const QImage& picture) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  const auto size = static_cast<std::uint32_t>(png.size());
  std::string icon("\0\0\x01\0\x01\0", 6);             // reserved, type 1 (icon), one image
  icon += std::string("\x10\x10\0\0\x01\0\x20\0", 8);  // 16 × 16, no palette, 1 plane, 32 bits
  for (int i = 0; i < 4; ++i) {
    icon += static_cast<char>((size >> (8 * i)) & 0xFF);  // bytes of the PNG
  }
  icon += std::string("\x16\0\0\0", 4);  // the PNG starts at byte 22
  icon += png.toStdString();
  return icon;
}

TEST(PictureCanvas, PictureLargerThanItsHeaderSaysIsRefusedOnceDecoded) {
  CTempDir dir;
  QImage small(16, 16, QImage::Format_RGB32);
  small.fill(qRgb(0, 255, 0));
  testing::WriteBytes(dir / "small.ico", IconAround(small));
  QImage wide(70000, 1, QImage::Format_RGB32);
  wide.fill(qRgb(255, 0, 0));
  testing::WriteBytes(dir / "wide.ico", IconAround(wide));
  QImage large(2400, 2400, QImage::Format_RGB32);
  large.fill(qRgb(255, 0, 0));
  testing::WriteBytes(dir / "large.ico", IconAround(large));

  // The wrapping itself decodes.
  const PictureCanvas ok = DrawPictureCanvas(dir / "small.ico", 3);
  ASSERT_EQ(ok.status, CanvasStatus::Drawn);
  EXPECT_EQ(ok.canvas.size(), QSize(16, 16));
  EXPECT_EQ(ok.canvas.pixel(5, 5), qRgb(0, 255, 0));

  const PictureCanvas refusedWide = DrawPictureCanvas(dir / "wide.ico", 2);
  EXPECT_EQ(refusedWide.status, CanvasStatus::TooLarge);
  EXPECT_EQ(refusedWide.width, 70000);
  EXPECT_EQ(refusedWide.height, 1);
  EXPECT_TRUE(refusedWide.canvas.isNull());

  const PictureCanvas refusedLarge = DrawPictureCanvas(dir / "large.ico", 3);
  EXPECT_EQ(refusedLarge.status, CanvasStatus::TooLarge);
  EXPECT_EQ(refusedLarge.width, 2400);
  EXPECT_EQ(refusedLarge.height, 2400);
  EXPECT_TRUE(refusedLarge.canvas.isNull());

  const PictureCanvas fitsLarge = DrawPictureCanvas(dir / "large.ico", 2);
  EXPECT_EQ(fitsLarge.status, CanvasStatus::Drawn);
  EXPECT_EQ(fitsLarge.canvas.size(), QSize(2400, 2400));
}

TEST(PictureCanvas, DataLengthLimitDependsOnBytesPerPixel) {
  CTempDir dir;
  QImage picture(2400, 2400, QImage::Format_RGB32);
  picture.fill(qRgb(0, 255, 0));
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(2399, 2399, qRgb(255, 255, 255));
  const std::filesystem::path path = dir / "large.png";
  ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"));

  // 2400 × 2400 × 3 = 17,280,000 bytes: too long for 24 bits.
  const PictureCanvas refused = DrawPictureCanvas(path, 3);
  EXPECT_EQ(refused.status, CanvasStatus::TooLarge);
  EXPECT_EQ(refused.width, 2400);
  EXPECT_EQ(refused.height, 2400);
  EXPECT_TRUE(refused.canvas.isNull());

  // 2400 × 2400 × 2 = 11,520,000 bytes: fits.
  const PictureCanvas drawn = DrawPictureCanvas(path, 2);
  ASSERT_EQ(drawn.status, CanvasStatus::Drawn);
  EXPECT_EQ(drawn.width, 2400);
  EXPECT_EQ(drawn.height, 2400);
  ASSERT_EQ(drawn.canvas.size(), QSize(2400, 2400));
  EXPECT_EQ(drawn.canvas.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(drawn.canvas.pixel(1, 0), qRgb(0, 255, 0));
  EXPECT_EQ(drawn.canvas.pixel(2399, 2399), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace zentora
