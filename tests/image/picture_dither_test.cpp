#include "image/picture_dither.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QString>

#include <filesystem>
#include <functional>
#include <ostream>
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
// Every channel a level as the module widens it: 4, 32 and 25.
constexpr QRgb kExactColour = 0xFF2182CE;

}  // namespace

void PrintTo(Dither dither, std::ostream* out);
void PrintTo(Dither dither, std::ostream* out) {
  *out << (dither == Dither::kOrdered ? "ordered" : "diffusion");
}

namespace {

ImageSettings Dithered(Dither dither) {
  ImageSettings settings;
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

// ---------------------------------------------------------------------------
// The rules both algorithms keep.

struct RuleCase {
  const char* name;
  std::function<void(Dither)> check;
};

void FlatExactColourStays(Dither dither) {
  // The ramp on the left hands error towards the flat part.
  QImage canvas = Ramp(32, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 16; x < 32; ++x) {
      canvas.setPixel(x, y, kExactColour);
    }
  }
  const QImage dithered = DitheredCopy(canvas, Dithered(dither));
  EXPECT_EQ(dithered.copy(16, 0, 16, 16), canvas.copy(16, 0, 16, 16));
}

void TransparentPartsStayBlue(Dither dither) {
  QImage picture = Ramp(32, 16, QImage::Format_ARGB32);
  for (int y = 0; y < 16; ++y) {
    for (int x = 8; x < 24; ++x) {
      picture.setPixel(x, y, qRgba(200, 100, 50, 0));
    }
  }
  QBuffer file;
  file.open(QIODevice::ReadWrite);
  ASSERT_TRUE(picture.save(&file, "PNG"));
  file.seek(0);
  PictureCanvas drawn = DrawPictureCanvas(file, 2);
  ASSERT_EQ(drawn.status, PictureCanvas::Status::Drawn);
  DitherCanvas(drawn.canvas, Dithered(dither));
  QImage blue(16, 16, QImage::Format_RGB32);
  blue.fill(kBlue);
  EXPECT_EQ(drawn.canvas.copy(8, 0, 16, 16), blue);
}

void EveryScanOrderShowsTheSamePicture(Dither dither) {
  const QImage shown = DitheredCopy(Ramp(13, 7), Dithered(dither));
  for (int order = 0; order < 8; ++order) {
    ImageSettings settings =
        testing::Settings(0, false, (order & 1) != 0, (order & 2) != 0, (order & 4) != 0);
    settings.dither = dither;
    const QImage canvas = DitheredCopy(Ramp(13, 7), settings);
    const std::vector<std::uint8_t> block = PackPicture(canvas, 13, 7, settings);
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
  std::vector<std::vector<std::uint8_t>> data;
  for (int threads : {1, 3}) {
    testing::CRecordingSink sink;
    const std::string name = "image" + std::to_string(threads);
    GenerateImageResourcesOnThreads(pictures, Dithered(dither), dir / (name + ".bin"),
                                    dir / (name + ".idx"), sink, threads);
    data.push_back(testing::ReadBytes(dir / (name + ".bin")));
  }
  EXPECT_FALSE(data[0].empty());
  EXPECT_EQ(data[0], data[1]);
}

void PrintTo(const RuleCase& rule, std::ostream* out) {
  *out << rule.name;
}

class DitherRuleTest : public ::testing::TestWithParam<std::tuple<Dither, RuleCase>> {};

TEST_P(DitherRuleTest, Holds) {
  std::get<1>(GetParam()).check(std::get<0>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    BothAlgorithms, DitherRuleTest,
    ::testing::Combine(::testing::Values(Dither::kOrdered, Dither::kDiffusion),
                       ::testing::Values(RuleCase{"FlatExactColour", FlatExactColourStays},
                                         RuleCase{"Transparent", TransparentPartsStayBlue},
                                         RuleCase{"ScanOrder", EveryScanOrderShowsTheSamePicture},
                                         RuleCase{"Threads", EveryThreadCountWritesTheSameBytes})),
    [](const auto& row) {
      return std::string(std::get<0>(row.param) == Dither::kOrdered ? "Ordered" : "Diffusion") +
             std::get<1>(row.param).name;
    });

// ---------------------------------------------------------------------------
// Four by four pictures worked out by hand.

QImage FromRows(const std::vector<std::vector<QRgb>>& rows) {
  QImage canvas(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                QImage::Format_RGB32);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      canvas.setPixel(x, y, rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
    }
  }
  return canvas;
}

TEST(OrderedDitherTest, FollowsTheThresholdTable) {
  // Gray 4: red and blue halfway between levels 0 and 8, so 32 of the 64
  // thresholds (those under 32) go up; green 4 is a level. Gray 100: red and
  // blue 1/8 above 99 (8 thresholds up), green 3/4 above 97 (48 up).
  const QRgb g4 = qRgb(4, 4, 4);
  const QRgb g100 = qRgb(100, 100, 100);
  const QImage canvas = FromRows(
      {{g4, g4, g4, g4}, {g4, g4, g4, g4}, {g100, g100, g100, g100}, {g100, g100, g100, g100}});
  const QRgb up = qRgb(8, 4, 8);
  const QRgb down = qRgb(0, 4, 0);
  const QRgb a = qRgb(99, 101, 99);
  const QRgb b = qRgb(107, 101, 107);
  const QRgb c = qRgb(99, 97, 99);
  EXPECT_EQ(DitheredCopy(canvas, Dithered(Dither::kOrdered)),
            FromRows({{up, down, up, down}, {down, up, down, up}, {a, a, b, a}, {c, a, c, a}}));
}

TEST(DiffusionDitherTest, SpreadsRoundedSixteenths) {
  // Red 10 (160 sixteenths) between the levels 8 and 16; the middle, 192,
  // goes up. The blue pixel drops the 26 sixteenths that reach it.
  const QRgb r10 = qRgb(10, 0, 0);
  const QImage canvas = FromRows(
      {{r10, r10, r10, r10}, {r10, kBlue, r10, r10}, {r10, r10, r10, r10}, {r10, r10, r10, r10}});
  const QRgb lo = qRgb(8, 0, 0);
  const QRgb hi = qRgb(16, 0, 0);
  EXPECT_EQ(DitheredCopy(canvas, Dithered(Dither::kDiffusion)),
            FromRows({{lo, lo, lo, lo}, {lo, kBlue, lo, hi}, {lo, hi, lo, lo}, {lo, lo, lo, hi}}));
}

}  // namespace
}  // namespace zentora
