#include "image/image_compiler.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/exclusive_file.h"
#include "base/system_error_text.h"
#include "support/image_settings_for_test.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::Settings;

using testing::CRecordingSink;
using testing::CTempDir;
using testing::ReadBytes;
using testing::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kStart = "line:生成图片资源...";
const std::string kSuccess = "line:生成图片资源成功！";

fs::path DataFile(std::string_view name) {
  return fs::path(ZENTORA_TEST_DATA_DIR) / "images" / name;
}

bool SavePng(const QImage& picture, const fs::path& path) {
  return picture.save(QString::fromStdString(path.string()), "PNG");
}

bool SaveSolidPng(const fs::path& path, int width, int height, QRgb colour) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(colour);
  return SavePng(picture, path);
}

Bytes Repeat(std::initializer_list<std::uint8_t> pixel, int times) {
  Bytes bytes;
  for (int i = 0; i < times; ++i) {
    bytes.insert(bytes.end(), pixel);
  }
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

struct CompileRun {
  CompileOutcome outcome = CompileOutcome::Failed;
  Bytes data;
  Bytes index;
  Events events;
};

CompileRun Collect(CompileOutcome outcome, const CRecordingSink& sink, const CTempDir& dir) {
  return {outcome, ReadBytes(dir / "image.bin"), ReadBytes(dir / "image.idx"), sink.Events()};
}

// Compiles into image.bin and image.idx of `dir`, as the program does.
CompileRun Compile(const std::vector<fs::path>& pictures, const ImageSettings& settings,
                   const CTempDir& dir) {
  CRecordingSink sink;
  const CompileOutcome outcome =
      GenerateImageResources(pictures, settings, dir / "image.bin", dir / "image.idx", sink);
  return Collect(outcome, sink, dir);
}

// The same with a chosen number of decoder threads.
CompileRun CompileOnThreads(const std::vector<fs::path>& pictures, const ImageSettings& settings,
                            const CTempDir& dir, int threads) {
  CRecordingSink sink;
  const CompileOutcome outcome = GenerateImageResourcesOnThreads(
      pictures, settings, dir / "image.bin", dir / "image.idx", sink, threads);
  return Collect(outcome, sink, dir);
}

// ---------------------------------------------------------------------------
// The worked examples.

TEST(ImageCompiler, EmptyListWritesTwoEmptyFiles) {
  CTempDir dir;
  const CompileRun run = Compile({}, Settings(0), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::EmptyList);
  EXPECT_EQ(SucceededAsInt(run.outcome), 0);
  EXPECT_TRUE(fs::exists(dir / "image.bin"));
  EXPECT_TRUE(fs::exists(dir / "image.idx"));
  EXPECT_TRUE(run.data.empty());
  EXPECT_TRUE(run.index.empty());
  EXPECT_EQ(run.events, Events{"line:没有图片资源！"});
}

TEST(ImageCompiler, OneRedPixelAtSixteenBits) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "red.png", 1, 1, qRgb(255, 0, 0)));
  const CompileRun run = Compile({dir / "red.png"}, Settings(0), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::Written);
  EXPECT_EQ(SucceededAsInt(run.outcome), 1);
  EXPECT_EQ(run.data, (Bytes{0x00, 0xF8}));
  EXPECT_EQ(run.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00,
                              0x02, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:100", kSuccess}));
}

TEST(ImageCompiler, TenByTenAndFourByTwoAtTwentyFourBits) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 10, 10, qRgb(255, 128, 64)));
  ASSERT_TRUE(SaveSolidPng(dir / "b.png", 4, 2, qRgb(0, 255, 0)));
  const CompileRun run = Compile({dir / "a.png", dir / "b.png"}, Settings(1), dir);
  ASSERT_EQ(run.outcome, CompileOutcome::Written);
  ASSERT_EQ(run.data.size(), 324u);
  EXPECT_EQ(run.data, Join({Repeat({0x40, 0x80, 0xFF}, 100), Repeat({0x00, 0xFF, 0x00}, 8)}));
  EXPECT_EQ(run.index,
            (Bytes{// number 0, address 0x00B00000, 10 × 10, length 300 = 0x12C
                   0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x0A, 0x00, 0x0A, 0x00, 0x2C, 0x01,
                   0x00, 0x00, 0x00,
                   // number 1, address 0x00B0012C, 4 × 2, length 24 = 0x18
                   0x01, 0x00, 0x00, 0x2C, 0x01, 0xB0, 0x00, 0x04, 0x00, 0x02, 0x00, 0x18, 0x00,
                   0x00, 0x00, 0x00}));
}

TEST(ImageCompiler, FullyTransparentPngIsPureBlueInBothDepths) {
  CTempDir dir;
  const std::vector<fs::path> pictures{DataFile("transparent_3x2.png")};

  const CompileRun rgb565 = Compile(pictures, Settings(0), dir);
  ASSERT_EQ(rgb565.outcome, CompileOutcome::Written);
  EXPECT_EQ(rgb565.data, Repeat({0x1F, 0x00}, 6));
  EXPECT_EQ(rgb565.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x03, 0x00, 0x02, 0x00,
                                 0x0C, 0x00, 0x00, 0x00, 0x00}));

  const CompileRun rgb888 = Compile(pictures, Settings(1), dir);
  ASSERT_EQ(rgb888.outcome, CompileOutcome::Written);
  EXPECT_EQ(rgb888.data, Repeat({0xFF, 0x00, 0x00}, 6));
  EXPECT_EQ(rgb888.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x03, 0x00, 0x02, 0x00,
                                 0x12, 0x00, 0x00, 0x00, 0x00}));
}

TEST(ImageCompiler, EveryDecodedFormatCompiles) {
  CTempDir dir;
  const CompileRun run = Compile(
      {DataFile("picture_4x3.bmp"), DataFile("picture_4x3.png"), DataFile("picture_4x3.gif"),
       DataFile("picture_4x3.tif"), DataFile("quadrants_32x32.jpg")},
      Settings(0), dir);
  ASSERT_EQ(run.outcome, CompileOutcome::Written);
  // picture_4x3 row by row in RGB565, low byte first.
  const Bytes picture4x3{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF,   // red green blue white
                         0x00, 0x00, 0x08, 0xFC, 0x06, 0x11, 0x26, 0xCB,   // black (255,128,64)
                         0x10, 0x80, 0x10, 0x04, 0xE0, 0xFF, 0xE3, 0x59};  // ... (90,60,30)
  ASSERT_EQ(run.data.size(), 4 * 24u + 32 * 32 * 2u);
  for (std::size_t picture = 0; picture < 4; ++picture) {
    EXPECT_EQ(Bytes(run.data.begin() + static_cast<std::ptrdiff_t>(24 * picture),
                    run.data.begin() + static_cast<std::ptrdiff_t>(24 * picture + 24)),
              picture4x3)
        << "picture " << picture;
  }
  // Four entries of 4 × 3 × 2 = 24 (0x18) bytes, then 32 × 32 × 2 = 2048 (0x800).
  EXPECT_EQ(run.index, Join({Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x04, 0x00, 0x03, 0x00,
                                   0x18, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x01, 0x00, 0x00, 0x18, 0x00, 0xB0, 0x00, 0x04, 0x00, 0x03, 0x00,
                                   0x18, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x02, 0x00, 0x00, 0x30, 0x00, 0xB0, 0x00, 0x04, 0x00, 0x03, 0x00,
                                   0x18, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x03, 0x00, 0x00, 0x48, 0x00, 0xB0, 0x00, 0x04, 0x00, 0x03, 0x00,
                                   0x18, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x04, 0x00, 0x00, 0x60, 0x00, 0xB0, 0x00, 0x20, 0x00, 0x20, 0x00,
                                   0x00, 0x08, 0x00, 0x00, 0x00}}));
}

TEST(ImageCompiler, ScanSettingsApplyToEachPictureOnItsOwn) {
  CTempDir dir;
  QImage across(2, 1, QImage::Format_RGB32);  // red, green
  across.setPixel(0, 0, qRgb(255, 0, 0));
  across.setPixel(1, 0, qRgb(0, 255, 0));
  QImage down(1, 2, QImage::Format_RGB32);  // blue above white
  down.setPixel(0, 0, qRgb(0, 0, 255));
  down.setPixel(0, 1, qRgb(255, 255, 255));
  ASSERT_TRUE(SavePng(across, dir / "across.png"));
  ASSERT_TRUE(SavePng(down, dir / "down.png"));
  const std::vector<fs::path> pictures{dir / "across.png", dir / "down.png"};

  // Columns from right to left, each from top to bottom.
  const CompileRun rgb565 = Compile(pictures, Settings(0, false, true, false, true), dir);
  EXPECT_EQ(rgb565.data, (Bytes{0xE0, 0x07, 0x00, 0xF8, 0x1F, 0x00, 0xFF, 0xFF}));

  // Rows from bottom to top, red first within each pixel.
  const CompileRun rgb888 = Compile(pictures, Settings(1, true, false, true, false), dir);
  EXPECT_EQ(rgb888.data, (Bytes{0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,  //
                                0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF}));
}

// ---------------------------------------------------------------------------
// Pictures that contribute a zero entry.

TEST(ImageCompiler, MissingFileInTheMiddleKeepsItsNumber) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 2, 1, qRgb(255, 0, 0)));
  ASSERT_TRUE(SaveSolidPng(dir / "c.png", 1, 1, qRgb(0, 255, 0)));
  const CompileRun run =
      Compile({dir / "a.png", dir / "missing.png", dir / "c.png"}, Settings(0), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(run.data, (Bytes{0x00, 0xF8, 0x00, 0xF8, 0xE0, 0x07}));
  EXPECT_EQ(run.index,
            (Bytes{// number 0 at 0x00B00000, 2 × 1, 4 bytes
                   0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x02, 0x00, 0x01, 0x00, 0x04, 0x00,
                   0x00, 0x00, 0x00,
                   // number 1 at 0x00B00004, nothing
                   0x01, 0x00, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00,
                   // number 2 at the same address, 1 × 1, 2 bytes
                   0x02, 0x00, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:33", "progress:66",
                                "line:无法读取图片：missing.png（" + ErrnoMessage(ENOENT) + "）",
                                "progress:100", kSuccess}));
}

TEST(ImageCompiler, UndecodableFilesGiveNamedZeroEntries) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "c.png", 1, 1, qRgb(0, 0, 255)));
  const CompileRun run = Compile({DataFile("text_file.png"), DataFile("empty_file.png"),
                                  DataFile("truncated_after_header.png"), dir / "c.png"},
                                 Settings(0), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(run.data, (Bytes{0x1F, 0x00}));
  // Three zero entries at the first address, then the blue pixel there too.
  EXPECT_EQ(run.index, Join({Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x01, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x02, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00},
                             Bytes{0x03, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00,
                                   0x02, 0x00, 0x00, 0x00, 0x00}}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:25",
                                "line:无法读取图片：text_file.png（不是图片文件）", "progress:50",
                                "line:无法读取图片：empty_file.png（不是图片文件）", "progress:75",
                                "line:无法读取图片：truncated_after_header.png（图片文件已损坏）",
                                "progress:100", kSuccess}));
}

// An entry that names no file (an empty or folder-only path) is named by
// its place in the list.
TEST(ImageCompiler, EntriesWithoutAFileNameAreNamedByPosition) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "c.png", 1, 1, qRgb(0, 0, 255)));
  const CompileRun run = Compile({dir / "c.png", dir / "", fs::path()}, Settings(0), dir);
  EXPECT_EQ(run.events,
            (Events{kStart, "progress:0", "progress:33", "progress:66",
                    "line:无法读取图片：第 2 项（" + ErrnoMessage(EISDIR) + "）", "progress:100",
                    "line:无法读取图片：第 3 项（" + ErrnoMessage(ENOENT) + "）", kSuccess}));
}

TEST(ImageCompiler, OverLimitPictureInTheMiddleIsNamedAndSkipped) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 1, 1, qRgb(255, 0, 0)));
  ASSERT_TRUE(SaveSolidPng(dir / "wide.png", 70000, 1, qRgb(255, 255, 255)));
  ASSERT_TRUE(SaveSolidPng(dir / "c.png", 1, 1, qRgb(0, 255, 0)));
  const CompileRun run =
      Compile({dir / "a.png", dir / "wide.png", dir / "c.png"}, Settings(0), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_EQ(run.data, (Bytes{0x00, 0xF8, 0xE0, 0x07}));
  EXPECT_EQ(run.index,
            (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00,
                   // number 1 at 0x00B00002: a zero entry, not the 16-bit remains of 70000
                   0x01, 0x00, 0x00, 0x02, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00,
                   // number 2 keeps its number and takes the same address
                   0x02, 0x00, 0x00, 0x02, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:33", "progress:66",
                                "line:图片尺寸超出范围：wide.png", "progress:100", kSuccess}));
}

TEST(ImageCompiler, OverLimitFromTheHeaderAlone) {
  CTempDir dir;
  const CompileRun run = Compile({DataFile("header_only_70000x1.png")}, Settings(1), dir);
  EXPECT_EQ(run.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_TRUE(run.data.empty());
  EXPECT_EQ(run.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(run.events, (Events{kStart, "progress:0", "progress:100",
                                "line:图片尺寸超出范围：header_only_70000x1.png", kSuccess}));
}

TEST(ImageCompiler, DataLengthLimitDependsOnColorDepth) {
  CTempDir dir;
  QImage picture(2400, 2400, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  ASSERT_TRUE(SavePng(picture, dir / "large.png"));
  const std::vector<fs::path> pictures{dir / "large.png"};

  // 2400 × 2400 × 3 = 17,280,000 bytes: beyond 24 bits.
  const CompileRun rgb888 = Compile(pictures, Settings(1), dir);
  EXPECT_EQ(rgb888.outcome, CompileOutcome::WrittenWithWarnings);
  EXPECT_TRUE(rgb888.data.empty());
  EXPECT_EQ(rgb888.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(rgb888.events, (Events{kStart, "progress:0", "progress:100",
                                   "line:图片尺寸超出范围：large.png", kSuccess}));

  // 2400 × 2400 × 2 = 11,520,000 = 0xAFC800 bytes: fits.
  const CompileRun rgb565 = Compile(pictures, Settings(0), dir);
  EXPECT_EQ(rgb565.outcome, CompileOutcome::Written);
  ASSERT_EQ(rgb565.data.size(), 11520000u);
  EXPECT_EQ(rgb565.data[0], 0x00);
  EXPECT_EQ(rgb565.data[1], 0xF8);
  EXPECT_EQ(rgb565.data[2], 0x1F);
  EXPECT_EQ(rgb565.data[3], 0x00);
  EXPECT_EQ(rgb565.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x60, 0x09, 0x60, 0x09,
                                 0x00, 0xC8, 0xAF, 0x00, 0x00}));
  EXPECT_EQ(rgb565.events, (Events{kStart, "progress:0", "progress:100", kSuccess}));
}

// ---------------------------------------------------------------------------
// Reporting.

TEST(ImageCompiler, EventSequenceForThreePictures) {
  CTempDir dir;
  std::vector<fs::path> pictures;
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    ASSERT_TRUE(SaveSolidPng(dir / name, 2, 2, qRgb(1, 2, 3)));
    pictures.push_back(dir / name);
  }
  CRecordingSink sink;
  EXPECT_EQ(
      GenerateImageResources(pictures, Settings(0), dir / "image.bin", dir / "image.idx", sink),
      CompileOutcome::Written);
  EXPECT_EQ(sink.Events(),
            (Events{kStart, "progress:0", "progress:33", "progress:66", "progress:100", kSuccess}));
}

TEST(ImageCompiler, ProgressTruncatesAndReachesOneHundredAtTheLastPicture) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "p.png", 1, 1, qRgb(0, 0, 0)));
  const std::vector<fs::path> pictures(7, dir / "p.png");
  CRecordingSink sink;
  EXPECT_EQ(
      GenerateImageResources(pictures, Settings(0), dir / "image.bin", dir / "image.idx", sink),
      CompileOutcome::Written);
  // 100/7 = 14, 200/7 = 28, 300/7 = 42, 400/7 = 57, 500/7 = 71, 600/7 = 85.
  EXPECT_EQ(sink.ProgressPositions(), (std::vector<int>{0, 14, 28, 42, 57, 71, 85, 100}));
  EXPECT_EQ(sink.Lines(), (Events{"生成图片资源...", "生成图片资源成功！"}));
  EXPECT_EQ(ReadBytes(dir / "image.idx").size(), 7 * 16u);
}

// A BMP cut short after its bottom two rows: the top two were never
// delivered and must come out as the canvas blue, whatever memory the
// decoder was given (here, after a red picture of the same size).
TEST(ImageCompiler, RowsACutShortBitmapLacksAreTheCanvasColour) {
  CTempDir dir;
  QImage full(2, 4, QImage::Format_RGB32);
  full.fill(qRgb(255, 0, 0));
  ASSERT_TRUE(full.save(QString::fromStdString((dir / "red.bmp").string()), "BMP"));
  full.fill(qRgb(0, 255, 0));
  ASSERT_TRUE(full.save(QString::fromStdString((dir / "green.bmp").string()), "BMP"));
  // 54 header bytes, then rows of two 24-bit pixels padded to 8 bytes.
  const Bytes green = ReadBytes(dir / "green.bmp");
  WriteBytes(dir / "cut.bmp", std::string(green.begin(), green.begin() + 54 + 2 * 8));

  const Bytes expected = Join({Repeat({0x1F, 0x00}, 4), Repeat({0xE0, 0x07}, 4)});
  for (int threads : {1, 2}) {
    const CompileRun run =
        CompileOnThreads({dir / "red.bmp", dir / "cut.bmp", dir / "red.bmp", dir / "cut.bmp"},
                         Settings(0), dir, threads);
    ASSERT_EQ(run.data.size(), 4 * 16u);
    EXPECT_EQ(Bytes(run.data.begin() + 16, run.data.begin() + 32), expected);
    EXPECT_EQ(Bytes(run.data.begin() + 48, run.data.end()), expected);
  }
}

// ---------------------------------------------------------------------------
// Output files that cannot be created.

TEST(ImageCompiler, DataFileThatCannotBeCreated) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 1, 1, qRgb(255, 0, 0)));
  const fs::path dataPath = dir / "no_such_folder" / "image.bin";
  CRecordingSink sink;
  EXPECT_EQ(GenerateImageResources({dir / "a.png"}, Settings(0), dataPath, dir / "image.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(),
            Events{"line:无法创建文件：" + dataPath.string() + "（文件或文件夹不存在）"});
  EXPECT_EQ(testing::FolderContents(dir.Path()), std::set<std::string>{"a.png"});
}

TEST(ImageCompiler, IndexFileThatCannotBeCreated) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 1, 1, qRgb(255, 0, 0)));
  WriteBytes(dir / "image.bin", "old data");
  const fs::path indexPath = dir / "no_such_folder" / "image.idx";
  CRecordingSink sink;
  EXPECT_EQ(
      GenerateImageResources({dir / "a.png"}, Settings(0), dir / "image.bin", indexPath, sink),
      CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(),
            Events{"line:无法创建文件：" + indexPath.string() + "（文件或文件夹不存在）"});
  // The two files are replaced together or not at all.
  EXPECT_EQ(testing::ReadText(dir / "image.bin"), "old data");
  EXPECT_EQ(testing::FolderContents(dir.Path()), (std::set<std::string>{"a.png", "image.bin"}));
}

TEST(ImageCompiler, DataFileHeldElsewhereIsLeftAlone) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "a.png", 1, 1, qRgb(255, 0, 0)));
  WriteBytes(dir / "image.bin", "being downloaded");
  Result<CExclusiveFile> held = CExclusiveFile::OpenForReading(dir / "image.bin");
  ASSERT_TRUE(held.ok()) << held.error();
  CRecordingSink sink;
  EXPECT_EQ(GenerateImageResources({dir / "a.png"}, Settings(0), dir / "image.bin",
                                   dir / "image.idx", sink),
            CompileOutcome::Failed);
  EXPECT_EQ(sink.Events(), Events{"line:无法创建文件：" + (dir / "image.bin").string() +
                                  "（文件已被其他操作占用）"});
  EXPECT_EQ(testing::ReadText(dir / "image.bin"), "being downloaded");
  EXPECT_EQ(testing::FolderContents(dir.Path()), (std::set<std::string>{"a.png", "image.bin"}));
}

TEST(ImageCompiler, ExistingOutputFilesAreTruncated) {
  CTempDir dir;
  ASSERT_TRUE(SaveSolidPng(dir / "red.png", 1, 1, qRgb(255, 0, 0)));
  const std::string junk(1000, 'x');

  WriteBytes(dir / "image.bin", junk);
  WriteBytes(dir / "image.idx", junk);
  const CompileRun one = Compile({dir / "red.png"}, Settings(0), dir);
  EXPECT_EQ(one.data, (Bytes{0x00, 0xF8}));
  EXPECT_EQ(one.index, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00,
                              0x02, 0x00, 0x00, 0x00, 0x00}));

  WriteBytes(dir / "image.bin", junk);
  WriteBytes(dir / "image.idx", junk);
  const CompileRun none = Compile({}, Settings(0), dir);
  EXPECT_EQ(none.outcome, CompileOutcome::EmptyList);
  EXPECT_TRUE(none.data.empty());
  EXPECT_TRUE(none.index.empty());
}

// ---------------------------------------------------------------------------
// Settings that must not reach the index.

TEST(ImageCompiler, MsbFirstNeverChangesTheIndex) {
  CTempDir dir;
  QImage picture(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      picture.setPixel(x, y, qRgb(40 * x + 10, 100 + 50 * y, 7 * x + 3 * y));
    }
  }
  ASSERT_TRUE(SavePng(picture, dir / "a.png"));
  ASSERT_TRUE(SaveSolidPng(dir / "c.png", 5, 1, qRgb(255, 128, 64)));
  const std::vector<fs::path> pictures{dir / "a.png", dir / "missing.png", dir / "c.png"};

  for (int depth : {0, 1}) {
    for (bool rowRightToLeft : {false, true}) {
      for (bool columnFirst : {false, true}) {
        SCOPED_TRACE(::testing::Message() << "depth " << depth << ", right to left "
                                          << rowRightToLeft << ", column first " << columnFirst);
        const CompileRun lsb =
            Compile(pictures, Settings(depth, false, rowRightToLeft, false, columnFirst), dir);
        const CompileRun msb =
            Compile(pictures, Settings(depth, true, rowRightToLeft, false, columnFirst), dir);
        ASSERT_EQ(lsb.index.size(), 48u);
        EXPECT_EQ(msb.index, lsb.index);
        EXPECT_EQ(msb.events, lsb.events);
        const std::size_t bytesPerPixel = depth == 0 ? 2 : 3;
        ASSERT_EQ(lsb.data.size(), 11 * bytesPerPixel);
        ASSERT_EQ(msb.data.size(), lsb.data.size());
        EXPECT_NE(msb.data, lsb.data);
        for (std::size_t i = 0; i < lsb.data.size(); i += bytesPerPixel) {
          const std::size_t last = i + bytesPerPixel - 1;
          EXPECT_EQ(msb.data[i], lsb.data[last]) << "pixel " << i / bytesPerPixel;
          EXPECT_EQ(msb.data[last], lsb.data[i]) << "pixel " << i / bytesPerPixel;
          if (bytesPerPixel == 3) {
            EXPECT_EQ(msb.data[i + 1], lsb.data[i + 1]) << "pixel " << i / 3;
          }
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Many pictures: decoding runs on worker threads, the output must not notice.

std::uint32_t LittleEndian(const Bytes& bytes, std::size_t offset, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  }
  return value;
}

TEST(ImageCompiler, ManyPicturesGiveTheSameFilesOnEveryRun) {
  CTempDir dir;
  constexpr int kCount = 40;
  std::vector<fs::path> pictures;
  std::vector<int> widths;
  std::vector<int> heights;
  for (int i = 0; i < kCount; ++i) {
    const fs::path path = dir / ("p" + std::to_string(i) + ".png");
    const bool missing = i % 9 == 4;  // 4, 13, 22, 31
    const int width = missing ? 0 : 1 + i % 7;
    const int height = missing ? 0 : 1 + (i * 3) % 5;
    if (!missing) {
      ASSERT_TRUE(SaveSolidPng(path, width, height, qRgb(10 + i, 100 + i, 200 + i)));
    }
    pictures.push_back(path);
    widths.push_back(width);
    heights.push_back(height);
  }

  const CompileRun first = Compile(pictures, Settings(1), dir);
  ASSERT_EQ(first.outcome, CompileOutcome::WrittenWithWarnings);
  ASSERT_EQ(first.index.size(), kCount * 16u);

  // Each entry describes its own picture, and each block holds that
  // picture's colour as blue, green, red.
  std::uint32_t address = 0x00B00000;
  for (int i = 0; i < kCount; ++i) {
    SCOPED_TRACE(::testing::Message() << "picture " << i);
    const std::size_t entry = 16 * static_cast<std::size_t>(i);
    const std::uint32_t length = static_cast<std::uint32_t>(widths[i] * heights[i] * 3);
    EXPECT_EQ(LittleEndian(first.index, entry, 2), static_cast<std::uint32_t>(i));
    EXPECT_EQ(LittleEndian(first.index, entry + 3, 4), address);
    EXPECT_EQ(LittleEndian(first.index, entry + 7, 2), static_cast<std::uint32_t>(widths[i]));
    EXPECT_EQ(LittleEndian(first.index, entry + 9, 2), static_cast<std::uint32_t>(heights[i]));
    EXPECT_EQ(LittleEndian(first.index, entry + 11, 3), length);
    const std::size_t offset = address - 0x00B00000u;
    ASSERT_LE(offset + length, first.data.size());
    for (std::size_t b = offset; b < offset + length; b += 3) {
      ASSERT_EQ(first.data[b], 200 + i) << "byte " << b;
      ASSERT_EQ(first.data[b + 1], 100 + i) << "byte " << b;
      ASSERT_EQ(first.data[b + 2], 10 + i) << "byte " << b;
    }
    address += length;
  }
  EXPECT_EQ(first.data.size(), address - 0x00B00000u);
  EXPECT_EQ(first.events.size(), kCount + 3u + 4u);  // four missing pictures named
  EXPECT_EQ(first.events.front(), kStart);
  EXPECT_EQ(first.events.back(), kSuccess);

  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(::testing::Message() << "run " << run);
    const CompileRun again = Compile(pictures, Settings(1), dir);
    EXPECT_EQ(again.outcome, CompileOutcome::WrittenWithWarnings);
    EXPECT_EQ(again.data, first.data);
    EXPECT_EQ(again.index, first.index);
    EXPECT_EQ(again.events, first.events);
  }
  for (int threads : {1, 2, 3, 8}) {
    SCOPED_TRACE(::testing::Message() << threads << " threads");
    const CompileRun again = CompileOnThreads(pictures, Settings(1), dir, threads);
    EXPECT_EQ(again.outcome, CompileOutcome::WrittenWithWarnings);
    EXPECT_EQ(again.data, first.data);
    EXPECT_EQ(again.index, first.index);
    EXPECT_EQ(again.events, first.events);
  }
}

// Memory is reused from one picture to the next; a picture's block must come
// out exactly as when it is compiled on its own.
TEST(ImageCompiler, EachBlockIsAsIfCompiledAlone) {
  CTempDir dir;
  QImage alpha(4, 3, QImage::Format_ARGB32);
  alpha.fill(qRgba(255, 255, 0, 128));
  alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
  alpha.setPixel(3, 2, qRgba(255, 0, 0, 255));
  ASSERT_TRUE(SavePng(alpha, dir / "alpha.png"));
  QImage clear(32, 32, QImage::Format_ARGB32);
  clear.fill(qRgba(0, 255, 0, 0));
  ASSERT_TRUE(SavePng(clear, dir / "clear.png"));
  ASSERT_TRUE(SaveSolidPng(dir / "green.png", 4, 3, qRgb(0, 255, 0)));
  ASSERT_TRUE(SaveSolidPng(dir / "red.png", 4, 3, qRgb(255, 0, 0)));
  ASSERT_TRUE(SaveSolidPng(dir / "white.png", 4, 3, qRgb(255, 255, 255)));
  ASSERT_TRUE(SaveSolidPng(dir / "black32.png", 32, 32, qRgb(0, 0, 0)));
  ASSERT_TRUE(SaveSolidPng(dir / "brown32.png", 32, 32, qRgb(200, 100, 50)));

  const std::vector<fs::path> once{DataFile("picture_4x3.png"),
                                   dir / "green.png",
                                   DataFile("picture_4x3.gif"),
                                   dir / "alpha.png",
                                   dir / "red.png",
                                   DataFile("picture_4x3.tif"),
                                   dir / "missing.png",
                                   DataFile("picture_4x3.bmp"),
                                   dir / "white.png",
                                   dir / "black32.png",
                                   DataFile("quadrants_32x32.jpg"),
                                   dir / "brown32.png",
                                   DataFile("quadrants_32x32.jpg"),
                                   dir / "clear.png",
                                   dir / "black32.png"};
  std::vector<fs::path> pictures = once;
  pictures.insert(pictures.end(), once.begin(), once.end());

  for (int depth : {0, 1}) {
    Bytes alone;
    for (const fs::path& picture : pictures) {
      const CompileRun single = CompileOnThreads({picture}, Settings(depth), dir, 1);
      ASSERT_NE(single.outcome, CompileOutcome::Failed);
      alone.insert(alone.end(), single.data.begin(), single.data.end());
    }
    const std::size_t bytesPerPixel = depth == 0 ? 2 : 3;
    // 8 pictures of 4 × 3 and 6 of 32 × 32 in each half.
    ASSERT_EQ(alone.size(), 2 * (8 * 12 + 6 * 1024) * bytesPerPixel);
    for (int threads : {1, 2, 4}) {
      SCOPED_TRACE(::testing::Message() << "depth " << depth << ", " << threads << " threads");
      const CompileRun together = CompileOnThreads(pictures, Settings(depth), dir, threads);
      EXPECT_EQ(together.outcome, CompileOutcome::WrittenWithWarnings);  // missing.png
      EXPECT_EQ(together.data, alone);
      EXPECT_EQ(together.index.size(), pictures.size() * 16);
    }
  }
}

}  // namespace
}  // namespace zentora
