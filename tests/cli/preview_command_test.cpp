// zentora-cli preview.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "readback/module_preview.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

fs::path SaveGradient(const fs::path& path) {
  QImage image(40, 6, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      image.setPixel(x, y, qRgb(x * 6, x * 5, 200 - x * 4));
    }
  }
  EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
  return path;
}

class PreviewCommandTest : public ::testing::TestWithParam<bool> {};

// The written PNG holds the core's module half, drawn half on its left
// when asked for, and the figures line is printed.
TEST_P(PreviewCommandTest, WritesTheModuleHalf) {
  const bool sideBySide = GetParam();
  CTempDir dir;
  const fs::path picture = SaveGradient(dir / "gradient.png");
  QStringList arguments{"preview",   Arg(picture), "--dither",
                        "diffusion", "--png",      Arg(dir / "out.png")};
  if (sideBySide) {
    arguments << "--side-by-side";
  }
  const CliRun run = RunCli(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;

  ImageSettings settings;
  settings.dither = Dither::kDiffusion;
  const Result<ModulePreview> preview = PreviewPicture(picture, settings);
  ASSERT_TRUE(preview);
  EXPECT_EQ(run.out, FiguresLine(preview.value().figures) + "\n");
  const QImage written = QImage(QString::fromStdString((dir / "out.png").string()))
                             .convertToFormat(QImage::Format_RGB32);
  const int width = preview.value().shown.width();
  ASSERT_EQ(written.width(), sideBySide ? 2 * width : width);
  EXPECT_EQ(written.copy(sideBySide ? width : 0, 0, width, written.height()),
            preview.value().shown);
  if (sideBySide) {
    EXPECT_EQ(written.copy(0, 0, width, written.height()), preview.value().drawn);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, PreviewCommandTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& row) {
                           return std::string(row.param ? "SideBySide" : "ModuleOnly");
                         });

}  // namespace
}  // namespace zentora::testing
