// The preview's module half is what the module shows of the compiled bytes,
// and its figures say how far that is from the drawn picture.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "image/image_compiler.h"
#include "readback/data_file_reader.h"
#include "readback/module_preview.h"
#include "readback/picture_unpacking.h"
#include "readback/resource_listing.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/test_pictures.h"

namespace zentora {
namespace {

using testing::CTempDir;
namespace fs = std::filesystem;

struct FiguresRow {
  const char* name;
  std::vector<QRgb> pixels;  // a row of ARGB pixels
  std::array<int, 3> maxError;
  double psnr;
  bool transparent;
};

class PreviewFiguresTest : public ::testing::TestWithParam<FiguresRow> {};

TEST_P(PreviewFiguresTest, GiveTheErrorTheModuleShows) {
  const FiguresRow& row = GetParam();
  CTempDir dir;
  QImage picture(static_cast<int>(row.pixels.size()), 1, QImage::Format_ARGB32);
  for (std::size_t x = 0; x < row.pixels.size(); ++x) {
    picture.setPixel(static_cast<int>(x), 0, row.pixels[x]);
  }
  ASSERT_TRUE(picture.save(QString::fromStdString((dir / "p.png").string())));
  const Result<ModulePreview> preview = PreviewPicture(dir / "p.png", ImageSettings{});
  ASSERT_TRUE(preview) << preview.error();
  EXPECT_EQ(preview.value().figures.maxError, row.maxError);
  if (std::isinf(row.psnr)) {
    EXPECT_TRUE(std::isinf(preview.value().figures.psnr));
  } else {
    EXPECT_NEAR(preview.value().figures.psnr, row.psnr, 1e-9);
  }
  EXPECT_EQ(preview.value().transparent, row.transparent);
}

const double kInfinite = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Rows, PreviewFiguresTest,
    ::testing::Values(
        // Colours RGB565 holds exactly, in a file with an alpha channel that
        // is opaque throughout.
        FiguresRow{"ExactColours",
                   {0xFFFF0000, 0xFF00FF00, 0xFF0808FF, 0xFF000000},
                   {0, 0, 0},
                   kInfinite,
                   false},
        // The packer drops the low 3, 2 and 3 bits.
        FiguresRow{"Truncation",
                   {0xFF070307},
                   {7, 3, 7},
                   10.0 * std::log10(255.0 * 255.0 * 3.0 / (49 + 9 + 49)),
                   false},
        // A clear pixel is the blue background, which RGB565 holds.
        FiguresRow{"Transparent", {0x00FF0000, 0xFF00FF00}, {0, 0, 0}, kInfinite, true}),
    [](const ::testing::TestParamInfo<FiguresRow>& row) { return std::string(row.param.name); });

TEST(PreviewFiguresLine, NamesTheErrorOrIdentity) {
  EXPECT_EQ(FiguresLine(PreviewFigures{}), "与原图完全相同 · PSNR ∞");
  EXPECT_EQ(FiguresLine(PreviewFigures{{7, 3, 7}, 38.5}), "最大误差 R 7 G 3 B 7 · PSNR 38.50 dB");
}

TEST(PreviewSource, UnreadableFileGivesItsReason) {
  CTempDir dir;
  const Result<ModulePreview> preview = PreviewPicture(dir / "missing.png", ImageSettings{});
  ASSERT_FALSE(preview);
  EXPECT_EQ(preview.error().rfind("无法读取图片：missing.png（", 0), 0u) << preview.error();
}

// A gradient: every channel takes values between the levels, so each
// dither moves pixels its own way.
fs::path SaveGradient(const fs::path& path) {
  QImage image(61, 13, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      image.setPixel(x, y, qRgb(x * 4, 255 - x * 3, y * 19));
    }
  }
  EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
  return path;
}

struct SettingsRow {
  const char* name;
  ImageSettings settings;
};

class PreviewRoundTripTest : public ::testing::TestWithParam<SettingsRow> {};

// The module half equals the picture read back from the compiled files.
TEST_P(PreviewRoundTripTest, ModuleHalfIsTheCompiledPicture) {
  const ImageSettings& settings = GetParam().settings;
  CTempDir dir;
  const fs::path picture = SaveGradient(dir / "gradient.png");
  testing::CRecordingSink sink;
  ASSERT_EQ(GenerateImageResources({picture}, settings, dir / "image.bin", dir / "image.idx", sink),
            CompileOutcome::Written);
  const Result<ResourceListing> listing = ReadResourceFolder(dir.Path());
  ASSERT_TRUE(listing);
  ASSERT_EQ(listing.value().pictures.size(), 1u);
  const Result<CDataFileReader> data = CDataFileReader::Open(dir / "image.bin");
  ASSERT_TRUE(data);
  const Result<QImage> unpacked = ReadPicture(data.value(), listing.value().pictures[0], settings);
  ASSERT_TRUE(unpacked) << unpacked.error();

  const Result<ModulePreview> preview = PreviewPicture(picture, settings);
  ASSERT_TRUE(preview) << preview.error();
  EXPECT_EQ(preview.value().shown, unpacked.value());
}

ImageSettings Settings(int depth, Dither dither, bool switches = false) {
  ImageSettings settings;
  settings.colorDepth = depth;
  settings.dither = dither;
  settings.msbFirst = settings.columnFirst = settings.rowRightToLeft = switches;
  return settings;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreviewRoundTripTest,
    ::testing::Values(SettingsRow{"Rgb565", Settings(0, Dither::kNone)},
                      SettingsRow{"Rgb565Ordered", Settings(0, Dither::kOrdered)},
                      SettingsRow{"Rgb565Diffusion", Settings(0, Dither::kDiffusion)},
                      SettingsRow{"Rgb565DiffusionScanSwitches",
                                  Settings(0, Dither::kDiffusion, true)},
                      SettingsRow{"Rgb24", Settings(1, Dither::kNone, true)}),
    [](const ::testing::TestParamInfo<SettingsRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace zentora
