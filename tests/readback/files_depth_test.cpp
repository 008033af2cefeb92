// The depth pictures are drawn at: their own, as the index's lengths tell,
// whatever depth was chosen.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "readback/files_depth.h"

namespace zentora {
namespace {

PictureEntry Picture(int width, int height, std::uint32_t length) {
  PictureEntry entry;
  entry.width = width;
  entry.height = height;
  entry.length = length;
  return entry;
}

struct DepthCase {
  const char* name;
  std::vector<PictureEntry> pictures;
  int chosenDepth;  // ImageSettings::colorDepth
  int drawnDepth;
  std::optional<std::string> finding;
};

void PrintTo(const DepthCase& row, std::ostream* out) {
  *out << row.name;
}

class FilesDepthTest : public ::testing::TestWithParam<DepthCase> {};

TEST_P(FilesDepthTest, DrawsAtTheFilesDepth) {
  const DepthCase& row = GetParam();
  ImageSettings chosen;
  chosen.colorDepth = row.chosenDepth;
  chosen.columnFirst = true;
  const PictureReading reading = ReadingForFiles(row.pictures, chosen);
  EXPECT_EQ(reading.settings.colorDepth, row.drawnDepth);
  EXPECT_TRUE(reading.settings.columnFirst);
  EXPECT_EQ(reading.finding ? std::optional(reading.finding->text) : std::nullopt, row.finding);
}

INSTANTIATE_TEST_SUITE_P(
    Readback, FilesDepthTest,
    ::testing::Values(
        // An empty entry first tells nothing; the next one does.
        DepthCase{"SixteenBitFilesViewedAs24",
                  {Picture(0, 0, 0), Picture(4, 3, 24)},
                  1,
                  0,
                  "资源文件是 16 位色彩，与所选的 24 位不同；按文件的 16 位显示"},
        DepthCase{"TwentyFourBitFilesViewedAs16",
                  {Picture(4, 3, 36)},
                  0,
                  1,
                  "资源文件是 24 位色彩，与所选的 16 位不同；按文件的 24 位显示"},
        DepthCase{"Matching", {Picture(4, 3, 36)}, 1, 1, std::nullopt},
        DepthCase{"LengthsFitNeither", {Picture(4, 3, 30)}, 1, 1, std::nullopt}),
    [](const ::testing::TestParamInfo<DepthCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace zentora
