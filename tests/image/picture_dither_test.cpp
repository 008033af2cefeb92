#include "image/picture_dither.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QString>

#include <string>
#include <vector>

#include "image/image_compiler.h"
#include "image/picture_canvas.h"
#include "image/pixel_packing.h"
#include "readback/picture_unpacking.h"
#include "support/image_settings_for_test.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

constexpr QRgb kBlue = 0xFF0000FF;

ImageSettings Dithered(Dither dither, int order = 0) {
  ImageSettings settings =
      testing::Settings(0, false, (order & 1) != 0, (order & 2) != 0, (order & 4) != 0);
  settings.dither = dither;
  return settings;
}

// A smooth ramp in every channel, which no level holds for long.
QImage Ramp(int width, int height, QImage::Format format = QImage::Format_RGB32) {
  QImage picture(width, height, format);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.setPixel(x, y, qRgb(x * 255 / width, 40 + y * 3, 200 - x));
    }
  }
  return picture;
}

QImage DitheredCopy(QImage canvas, const ImageSettings& settings) {
  DitherCanvas(canvas, settings);
  return canvas;
}

// A 32 × 16 canvas: `left` in columns 0–7, `band` in 8–23, a ramp after.
// With alpha the picture goes through a PNG file and the blue background.
QImage Banded(QRgb left, QRgb band) {
  QImage picture = Ramp(32, 16, QImage::Format_ARGB32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 24; ++x) {
      picture.setPixel(x, y, x < 8 ? left : band);
    }
  }
  QBuffer file;
  file.open(QIODevice::ReadWrite);
  picture.save(&file, "PNG");
  file.seek(0);
  return DrawPictureCanvas(file, 2).canvas;
}

// The band keeps its colour, and what lies right of it does not depend on
// what lies left of it: the band takes no error and gives none.
void BandHoldsAndBlocks(Dither dither, QRgb band, QRgb shown) {
  std::vector<QImage> right;
  for (QRgb left : {qRgb(3, 5, 7), qRgb(250, 130, 61)}) {
    const QImage dithered = DitheredCopy(Banded(left, band), Dithered(dither));
    QImage expected(16, 16, QImage::Format_RGB32);
    expected.fill(shown);
    EXPECT_EQ(dithered.copy(8, 0, 16, 16), expected);
    right.push_back(dithered.copy(24, 0, 8, 16));
  }
  EXPECT_EQ(right[0], right[1]);
}

void FlatExactColourStays(Dither dither) {
  // Every channel a level: 4, 32 and 25.
  BandHoldsAndBlocks(dither, 0xFF2182CE, 0xFF2182CE);
}

void TransparentPartsStayBlue(Dither dither) {
  BandHoldsAndBlocks(dither, qRgba(200, 100, 50, 0), kBlue);
}

void EveryScanOrderShowsTheSamePicture(Dither dither) {
  const QImage shown = DitheredCopy(Ramp(13, 7), Dithered(dither));
  for (int order = 0; order < 8; ++order) {
    const ImageSettings settings = Dithered(dither, order);
    const std::vector<std::uint8_t> block =
        PackPicture(DitheredCopy(Ramp(13, 7), settings), 13, 7, settings);
    EXPECT_EQ(UnpackPicture(block, 13, 7, settings), shown) << "order " << order;
  }
}

void EveryThreadCountWritesTheSameBytes(Dither dither) {
  testing::CTempDir dir;
  std::vector<std::filesystem::path> pictures;
  for (int i = 0; i < 5; ++i) {
    pictures.push_back(dir / ("p" + std::to_string(i) + ".png"));
    ASSERT_TRUE(Ramp(40 + i, 30).save(QString::fromStdString(pictures.back().string()), "PNG"));
  }
  testing::CRecordingSink sink;
  for (int threads : {1, 3}) {
    const std::string name = "image" + std::to_string(threads);
    GenerateImageResourcesOnThreads(pictures, Dithered(dither), dir / (name + ".bin"),
                                    dir / (name + ".idx"), sink, threads);
  }
  EXPECT_FALSE(testing::ReadBytes(dir / "image1.bin").empty());
  EXPECT_EQ(testing::ReadBytes(dir / "image1.bin"), testing::ReadBytes(dir / "image3.bin"));
}

using Rule = void (*)(Dither);

class DitherRuleTest : public ::testing::TestWithParam<std::tuple<Dither, Rule>> {};

TEST_P(DitherRuleTest, Holds) {
  std::get<1>(GetParam())(std::get<0>(GetParam()));
}

constexpr const char* kRuleNames[] = {"FlatExactColour", "Transparent", "ScanOrder", "Threads"};

INSTANTIATE_TEST_SUITE_P(
    BothAlgorithms, DitherRuleTest,
    ::testing::Combine(::testing::Values(Dither::kOrdered, Dither::kDiffusion),
                       ::testing::Values(FlatExactColourStays, TransparentPartsStayBlue,
                                         EveryScanOrderShowsTheSamePicture,
                                         EveryThreadCountWritesTheSameBytes)),
    [](const auto& row) {
      return std::string(std::get<0>(row.param) == Dither::kOrdered ? "Ordered" : "Diffusion") +
             kRuleNames[row.index % 4];
    });

// Four by four pictures worked out by hand.
QImage FromRows(const std::vector<std::vector<QRgb>>& rows) {
  QImage canvas(4, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      canvas.setPixel(x, y, rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
    }
  }
  return canvas;
}

TEST(OrderedDitherTest, FollowsTheThresholdTable) {
  // Gray 4: red and blue halfway between the levels 0 and 8, so thresholds
  // under 32 go up; green 4 is a level. Gray 100: red and blue 1/8 above 99
  // (thresholds under 8 go up), green 3/4 above 97 (under 48).
  const QRgb g4 = qRgb(4, 4, 4);
  const QRgb g100 = qRgb(100, 100, 100);
  const QRgb up = qRgb(8, 4, 8);
  const QRgb dn = qRgb(0, 4, 0);
  const QRgb a = qRgb(99, 101, 99);
  const QRgb b = qRgb(107, 101, 107);
  const QRgb c = qRgb(99, 97, 99);
  EXPECT_EQ(DitheredCopy(FromRows({{g4, g4, g4, g4},
                                   {g4, g4, g4, g4},
                                   {g100, g100, g100, g100},
                                   {g100, g100, g100, g100}}),
                         Dithered(Dither::kOrdered)),
            FromRows({{up, dn, up, dn}, {dn, up, dn, up}, {a, a, b, a}, {c, a, c, a}}));
}

TEST(DiffusionDitherTest, SpreadsRoundedSixteenths) {
  // Red 10 (160 sixteenths) between the levels 8 and 16; the middle, 192,
  // goes up. The blue pixel drops the 26 sixteenths that reach it.
  const QRgb r = qRgb(10, 0, 0);
  const QRgb lo = qRgb(8, 0, 0);
  const QRgb hi = qRgb(16, 0, 0);
  EXPECT_EQ(DitheredCopy(FromRows({{r, r, r, r}, {r, kBlue, r, r}, {r, r, r, r}, {r, r, r, r}}),
                         Dithered(Dither::kDiffusion)),
            FromRows({{lo, lo, lo, lo}, {lo, kBlue, lo, hi}, {lo, hi, lo, lo}, {lo, lo, lo, hi}}));
}

}  // namespace
}  // namespace zentora
