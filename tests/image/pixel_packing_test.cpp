#include "image/pixel_packing.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/image_settings_for_test.h"

namespace zentora {
namespace {

using testing::Settings;

using Bytes = std::vector<std::uint8_t>;

QImage SolidCanvas(int width, int height, QRgb colour,
                   QImage::Format format = QImage::Format_RGB32) {
  QImage canvas(width, height, format);
  canvas.fill(colour);
  return canvas;
}

// ---------------------------------------------------------------------------
// One pixel in every depth and byte order.

struct ReferencePixel {
  const char* name;
  int red, green, blue;
  std::uint16_t rgb565;
  Bytes bytes16;
  Bytes bytes16Msb;
  Bytes bytes24;
  Bytes bytes24Msb;
};

class ReferencePixelTest : public ::testing::TestWithParam<ReferencePixel> {};

TEST_P(ReferencePixelTest, ConvertsToRgb565) {
  const ReferencePixel& p = GetParam();
  EXPECT_EQ(ToRgb565(static_cast<std::uint8_t>(p.red), static_cast<std::uint8_t>(p.green),
                     static_cast<std::uint8_t>(p.blue)),
            p.rgb565);
}

TEST_P(ReferencePixelTest, PacksInEveryDepthAndByteOrder) {
  const ReferencePixel& p = GetParam();
  const QImage canvas = SolidCanvas(1, 1, qRgb(p.red, p.green, p.blue));
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(0, false)), p.bytes16);
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(0, true)), p.bytes16Msb);
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(1, false)), p.bytes24);
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(1, true)), p.bytes24Msb);
}

INSTANTIATE_TEST_SUITE_P(PixelPacking, ReferencePixelTest,
                         ::testing::Values(ReferencePixel{"Red",
                                                          255,
                                                          0,
                                                          0,
                                                          0xF800,
                                                          {0x00, 0xF8},
                                                          {0xF8, 0x00},
                                                          {0x00, 0x00, 0xFF},
                                                          {0xFF, 0x00, 0x00}},
                                           ReferencePixel{"Green",
                                                          0,
                                                          255,
                                                          0,
                                                          0x07E0,
                                                          {0xE0, 0x07},
                                                          {0x07, 0xE0},
                                                          {0x00, 0xFF, 0x00},
                                                          {0x00, 0xFF, 0x00}},
                                           ReferencePixel{"Blue",
                                                          0,
                                                          0,
                                                          255,
                                                          0x001F,
                                                          {0x1F, 0x00},
                                                          {0x00, 0x1F},
                                                          {0xFF, 0x00, 0x00},
                                                          {0x00, 0x00, 0xFF}},
                                           ReferencePixel{"Orange",
                                                          255,
                                                          128,
                                                          64,
                                                          0xFC08,
                                                          {0x08, 0xFC},
                                                          {0xFC, 0x08},
                                                          {0x40, 0x80, 0xFF},
                                                          {0xFF, 0x80, 0x40}},
                                           ReferencePixel{"White",
                                                          255,
                                                          255,
                                                          255,
                                                          0xFFFF,
                                                          {0xFF, 0xFF},
                                                          {0xFF, 0xFF},
                                                          {0xFF, 0xFF, 0xFF},
                                                          {0xFF, 0xFF, 0xFF}},
                                           ReferencePixel{"Black",
                                                          0,
                                                          0,
                                                          0,
                                                          0x0000,
                                                          {0x00, 0x00},
                                                          {0x00, 0x00},
                                                          {0x00, 0x00, 0x00},
                                                          {0x00, 0x00, 0x00}},
                                           // 1>>3 = 0, 2>>2 = 0, 3>>3 = 0: 24 bits keep every bit.
                                           ReferencePixel{"Dim",
                                                          1,
                                                          2,
                                                          3,
                                                          0x0000,
                                                          {0x00, 0x00},
                                                          {0x00, 0x00},
                                                          {0x03, 0x02, 0x01},
                                                          {0x01, 0x02, 0x03}}),
                         [](const ::testing::TestParamInfo<ReferencePixel>& row) {
                           return std::string(row.param.name);
                         });

// ---------------------------------------------------------------------------
// RGB565 drops the low bits of each channel; it never rounds.

struct TruncationCase {
  int red, green, blue;
  std::uint16_t rgb565;
};

TEST(PixelPacking, Rgb565DropsLowBitsWithoutRounding) {
  const TruncationCase cases[] = {
      {7, 3, 7, 0x0000},        // just below one step in every channel
      {8, 4, 8, 0x0821},        // exactly one step: 1<<11 | 1<<5 | 1
      {15, 7, 15, 0x0821},      // still one step: 15>>3 = 1, 7>>2 = 1
      {254, 253, 6, 0xFFE0},    // 31<<11 | 63<<5 | 0
      {247, 251, 247, 0xF7DE},  // 30<<11 | 62<<5 | 30
      {132, 130, 4, 0x8400},    // 16<<11 | 32<<5 | 0
  };
  for (const TruncationCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.red << "," << c.green << "," << c.blue);
    EXPECT_EQ(ToRgb565(static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                       static_cast<std::uint8_t>(c.blue)),
              c.rgb565);
    const Bytes packed =
        PackPicture(SolidCanvas(1, 1, qRgb(c.red, c.green, c.blue)), 1, 1, Settings(0, false));
    EXPECT_EQ(packed, (Bytes{static_cast<std::uint8_t>(c.rgb565 & 0xFF),
                             static_cast<std::uint8_t>(c.rgb565 >> 8)}));
  }
}

TEST(PixelPacking, AlphaOfTheCanvasPlaysNoPart) {
  const QImage canvas = SolidCanvas(1, 1, qRgba(255, 128, 64, 0), QImage::Format_ARGB32);
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(0, false)), (Bytes{0x08, 0xFC}));
  EXPECT_EQ(PackPicture(canvas, 1, 1, Settings(1, false)), (Bytes{0x40, 0x80, 0xFF}));
}

// ---------------------------------------------------------------------------
// Scan orders on a 3 × 2 picture whose six pixels all differ, with the bytes
// of each pixel in each depth and byte order worked out by hand.

struct Pixel {
  int x, y;
};

constexpr int kWidth = 3;
constexpr int kHeight = 2;

struct SweepColour {
  QRgb colour;
  std::array<Bytes, 4> bytes;  // 16-bit, 16-bit MSB first, 24-bit, 24-bit MSB first
};

// Indexed [y][x].
const SweepColour kSweepColours[kHeight][kWidth] = {
    {
        {qRgb(255, 0, 0), {{{0x00, 0xF8}, {0xF8, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0x00}}}},
        {qRgb(0, 255, 0), {{{0xE0, 0x07}, {0x07, 0xE0}, {0x00, 0xFF, 0x00}, {0x00, 0xFF, 0x00}}}},
        {qRgb(0, 0, 255), {{{0x1F, 0x00}, {0x00, 0x1F}, {0xFF, 0x00, 0x00}, {0x00, 0x00, 0xFF}}}},
    },
    {
        {qRgb(255, 128, 64),
         {{{0x08, 0xFC}, {0xFC, 0x08}, {0x40, 0x80, 0xFF}, {0xFF, 0x80, 0x40}}}},
        // 16>>3 = 2, 32>>2 = 8, 48>>3 = 6: 0x1000 | 0x0100 | 0x0006
        {qRgb(16, 32, 48), {{{0x06, 0x11}, {0x11, 0x06}, {0x30, 0x20, 0x10}, {0x10, 0x20, 0x30}}}},
        // 8>>3 = 1, 4>>2 = 1, 2>>3 = 0: 0x0800 | 0x0020
        {qRgb(8, 4, 2), {{{0x20, 0x08}, {0x08, 0x20}, {0x02, 0x04, 0x08}, {0x08, 0x04, 0x02}}}},
    },
};

QImage SweepCanvas() {
  QImage canvas(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      canvas.setPixel(x, y, kSweepColours[y][x].colour);
    }
  }
  return canvas;
}

struct ScanOrder {
  const char* name;
  bool columnFirst;
  bool rowRightToLeft;
  bool columnBottomToTop;
  std::array<Pixel, 6> order;  // the pixel stored first, second, ...
};

const ScanOrder kScanOrders[] = {
    // rows from top to bottom, each row from left to right
    {"RowsTopDownLeftToRight",
     false,
     false,
     false,
     {{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}}},
    // rows from top to bottom, each row from right to left
    {"RowsTopDownRightToLeft",
     false,
     true,
     false,
     {{{2, 0}, {1, 0}, {0, 0}, {2, 1}, {1, 1}, {0, 1}}}},
    // rows from bottom to top, each row from left to right
    {"RowsBottomUpLeftToRight",
     false,
     false,
     true,
     {{{0, 1}, {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}}}},
    // rows from bottom to top, each row from right to left
    {"RowsBottomUpRightToLeft",
     false,
     true,
     true,
     {{{2, 1}, {1, 1}, {0, 1}, {2, 0}, {1, 0}, {0, 0}}}},
    // columns from left to right, each column from top to bottom
    {"ColumnsLeftToRightTopDown",
     true,
     false,
     false,
     {{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}}},
    // columns from right to left, each column from top to bottom
    {"ColumnsRightToLeftTopDown",
     true,
     true,
     false,
     {{{2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}}}},
    // columns from left to right, each column from bottom to top
    {"ColumnsLeftToRightBottomUp",
     true,
     false,
     true,
     {{{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}}}},
    // columns from right to left, each column from bottom to top
    {"ColumnsRightToLeftBottomUp",
     true,
     true,
     true,
     {{{2, 1}, {2, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 0}}}},
};

struct SweepCase {
  int colorDepth;
  bool msbFirst;
  const ScanOrder* scan;
};

std::vector<SweepCase> AllSettingsCombinations() {
  std::vector<SweepCase> cases;
  for (int depth : {0, 1}) {
    for (bool msb : {false, true}) {
      for (const ScanOrder& scan : kScanOrders) {
        cases.push_back({depth, msb, &scan});
      }
    }
  }
  return cases;
}

class ScanOrderSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(ScanOrderSweep, StoresEveryPixelWhereTheScanOrderSays) {
  const SweepCase& c = GetParam();
  const ImageSettings settings = Settings(c.colorDepth, c.msbFirst, c.scan->rowRightToLeft,
                                          c.scan->columnBottomToTop, c.scan->columnFirst);
  const int encoding = c.colorDepth * 2 + (c.msbFirst ? 1 : 0);
  Bytes expected;
  for (const Pixel& p : c.scan->order) {
    const Bytes& bytes = kSweepColours[p.y][p.x].bytes[static_cast<std::size_t>(encoding)];
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(6 * (c.colorDepth + 2)));
  EXPECT_EQ(PackPicture(SweepCanvas(), kWidth, kHeight, settings), expected);
}

INSTANTIATE_TEST_SUITE_P(PixelPacking, ScanOrderSweep,
                         ::testing::ValuesIn(AllSettingsCombinations()),
                         [](const ::testing::TestParamInfo<SweepCase>& row) {
                           return std::string(row.param.colorDepth == 0 ? "Rgb565" : "Rgb888") +
                                  (row.param.msbFirst ? "Msb" : "Lsb") + row.param.scan->name;
                         });

// The two examples written out in full, independent of the sweep's tables.
TEST(PixelPacking, ColumnFirstOnlyStoresColumnByColumn) {
  // p(0,0), p(0,1), p(1,0), p(1,1), p(2,0), p(2,1)
  EXPECT_EQ(PackPicture(SweepCanvas(), 3, 2, Settings(1, false, false, false, true)),
            (Bytes{0x00, 0x00, 0xFF, 0x40, 0x80, 0xFF, 0x00, 0xFF, 0x00,  //
                   0x30, 0x20, 0x10, 0xFF, 0x00, 0x00, 0x02, 0x04, 0x08}));
}

TEST(PixelPacking, BothMirrorsStoreRowsBottomUpRightToLeft) {
  // p(2,1), p(1,1), p(0,1), p(2,0), p(1,0), p(0,0)
  EXPECT_EQ(PackPicture(SweepCanvas(), 3, 2, Settings(0, false, true, true, false)),
            (Bytes{0x20, 0x08, 0x06, 0x11, 0x08, 0xFC, 0x1F, 0x00, 0xE0, 0x07, 0x00, 0xF8}));
}

// ---------------------------------------------------------------------------
// Pictures that are not square, in column-first order.

QImage Strip(int width, int height) {
  // Pixel k along the strip has red = 10 * (k + 1): 10, 20, 30, 40, 50.
  QImage canvas(width, height, QImage::Format_RGB32);
  int k = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      canvas.setPixel(x, y, qRgb(10 * (k + 1), 0, 0));
      ++k;
    }
  }
  return canvas;
}

TEST(PixelPacking, NonSquarePicturesInColumnFirstOrder) {
  struct Case {
    const char* name;
    int width, height;
    bool rowRightToLeft, columnBottomToTop;
    Bytes expected;  // 24 bits, so the blue byte comes first and red last
  };
  const Case cases[] = {
      {"1x5 one column", 1, 5, false, false, {0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0, 50}},
      {"1x5 bottom to top", 1, 5, false, true, {0, 0, 50, 0, 0, 40, 0, 0, 30, 0, 0, 20, 0, 0, 10}},
      {"1x5 right to left changes nothing",
       1,
       5,
       true,
       false,
       {0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0, 50}},
      {"5x1 five columns", 5, 1, false, false, {0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0, 50}},
      {"5x1 right to left", 5, 1, true, false, {0, 0, 50, 0, 0, 40, 0, 0, 30, 0, 0, 20, 0, 0, 10}},
      {"5x1 bottom to top changes nothing",
       5,
       1,
       false,
       true,
       {0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PackPicture(Strip(c.width, c.height), c.width, c.height,
                          Settings(1, false, c.rowRightToLeft, c.columnBottomToTop, true)),
              c.expected);
  }
}

TEST(PixelPacking, TwoByThreeColumnFirst) {
  // Reds by position: row 0 = 10, 20; row 1 = 30, 40; row 2 = 50, 60.
  QImage canvas(2, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 2; ++x) {
      canvas.setPixel(x, y, qRgb(10 * (y * 2 + x + 1), 0, 0));
    }
  }
  // Columns from left to right, each from top to bottom: 10, 30, 50, 20, 40, 60.
  EXPECT_EQ(PackPicture(canvas, 2, 3, Settings(1, true, false, false, true)),
            (Bytes{10, 0, 0, 30, 0, 0, 50, 0, 0, 20, 0, 0, 40, 0, 0, 60, 0, 0}));
}

// ---------------------------------------------------------------------------
// Rows long enough for the packer to take several pixels at a time, with a
// remainder. Pixel k (counted row by row) is (16k + 1, 16k + 2, 16k + 3), so
// its 24-bit bytes read k3 k2 k1 in hex, and its RGB565 value is
// (2k << 11) | (4k << 5) | 2k = k × 0x1082.

QImage CountingCanvas(int width, int height) {
  QImage canvas(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int k = y * width + x;
      canvas.setPixel(x, y, qRgb(16 * k + 1, 16 * k + 2, 16 * k + 3));
    }
  }
  return canvas;
}

TEST(PixelPacking, LongRowsAtTwentyFourBits) {
  struct Case {
    const char* name;
    int width, height;
    ImageSettings settings;
    Bytes expected;
  };
  const Case cases[] = {
      {"9x1 blue first", 9, 1, Settings(1, false), {0x03, 0x02, 0x01, 0x13, 0x12, 0x11, 0x23,
                                                    0x22, 0x21, 0x33, 0x32, 0x31, 0x43, 0x42,
                                                    0x41, 0x53, 0x52, 0x51, 0x63, 0x62, 0x61,
                                                    0x73, 0x72, 0x71, 0x83, 0x82, 0x81}},
      {"9x1 red first", 9, 1, Settings(1, true), {0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21,
                                                  0x22, 0x23, 0x31, 0x32, 0x33, 0x41, 0x42,
                                                  0x43, 0x51, 0x52, 0x53, 0x61, 0x62, 0x63,
                                                  0x71, 0x72, 0x73, 0x81, 0x82, 0x83}},
      {"4x2 blue first", 4, 2, Settings(1, false), {0x03, 0x02, 0x01, 0x13, 0x12, 0x11,
                                                    0x23, 0x22, 0x21, 0x33, 0x32, 0x31,  //
                                                    0x43, 0x42, 0x41, 0x53, 0x52, 0x51,
                                                    0x63, 0x62, 0x61, 0x73, 0x72, 0x71}},
      {"5x2 blue first", 5, 2, Settings(1, false), {0x03, 0x02, 0x01, 0x13, 0x12, 0x11, 0x23, 0x22,
                                                    0x21, 0x33, 0x32, 0x31, 0x43, 0x42, 0x41, 0x53,
                                                    0x52, 0x51, 0x63, 0x62, 0x61, 0x73, 0x72, 0x71,
                                                    0x83, 0x82, 0x81, 0x93, 0x92, 0x91}},
      {"5x2 red first", 5, 2, Settings(1, true), {0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21, 0x22,
                                                  0x23, 0x31, 0x32, 0x33, 0x41, 0x42, 0x43, 0x51,
                                                  0x52, 0x53, 0x61, 0x62, 0x63, 0x71, 0x72, 0x73,
                                                  0x81, 0x82, 0x83, 0x91, 0x92, 0x93}},
      {"5x2 rows bottom up",
       5,
       2,
       Settings(1, false, false, true),
       {0x53, 0x52, 0x51, 0x63, 0x62, 0x61, 0x73, 0x72, 0x71, 0x83, 0x82, 0x81, 0x93, 0x92, 0x91,
        0x03, 0x02, 0x01, 0x13, 0x12, 0x11, 0x23, 0x22, 0x21, 0x33, 0x32, 0x31, 0x43, 0x42, 0x41}},
      {"5x2 right to left", 5, 2, Settings(1, false, true), {0x43, 0x42, 0x41, 0x33, 0x32, 0x31,
                                                             0x23, 0x22, 0x21, 0x13, 0x12, 0x11,
                                                             0x03, 0x02, 0x01, 0x93, 0x92, 0x91,
                                                             0x83, 0x82, 0x81, 0x73, 0x72, 0x71,
                                                             0x63, 0x62, 0x61, 0x53, 0x52, 0x51}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PackPicture(CountingCanvas(c.width, c.height), c.width, c.height, c.settings),
              c.expected);
  }
}

TEST(PixelPacking, LongRowsAtSixteenBits) {
  const QImage canvas = CountingCanvas(5, 2);
  EXPECT_EQ(PackPicture(canvas, 5, 2, Settings(0, false)),
            (Bytes{0x00, 0x00, 0x82, 0x10, 0x04, 0x21, 0x86, 0x31, 0x08, 0x42,  //
                   0x8A, 0x52, 0x0C, 0x63, 0x8E, 0x73, 0x10, 0x84, 0x92, 0x94}));
  EXPECT_EQ(PackPicture(canvas, 5, 2, Settings(0, true)),
            (Bytes{0x00, 0x00, 0x10, 0x82, 0x21, 0x04, 0x31, 0x86, 0x42, 0x08,  //
                   0x52, 0x8A, 0x63, 0x0C, 0x73, 0x8E, 0x84, 0x10, 0x94, 0x92}));
}

// A larger picture, packed in one order, equals the mirrored or transposed
// picture packed in the matching other order. This ties the long-row path
// to the per-pixel paths checked one by one above.

QImage Transposed(const QImage& canvas) {
  QImage transposed(canvas.height(), canvas.width(), QImage::Format_RGB32);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      transposed.setPixel(y, x, canvas.pixel(x, y));
    }
  }
  return transposed;
}

TEST(PixelPacking, MirroredAndTransposedPicturesAgree) {
  constexpr int kW = 37;
  constexpr int kH = 6;
  QImage canvas(kW, kH, QImage::Format_RGB32);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      canvas.setPixel(
          x, y,
          qRgb((x * 7 + y * 31) % 256, (x * 13 + y * 5 + 50) % 256, (x * 3 + y * 41 + 100) % 256));
    }
  }
  const QImage mirroredX = canvas.mirrored(true, false);
  const QImage mirroredY = canvas.mirrored(false, true);
  const QImage transposed = Transposed(canvas);
  for (int depth : {0, 1}) {
    for (bool msb : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "depth " << depth << ", msb " << msb);
      const Bytes plain = PackPicture(canvas, kW, kH, Settings(depth, msb));
      ASSERT_EQ(plain.size(), static_cast<std::size_t>(kW * kH * (depth + 2)));
      EXPECT_EQ(PackPicture(mirroredX, kW, kH, Settings(depth, msb, true)), plain);
      EXPECT_EQ(PackPicture(mirroredY, kW, kH, Settings(depth, msb, false, true)), plain);
      EXPECT_EQ(PackPicture(transposed, kH, kW, Settings(depth, msb, false, false, true)), plain);
      const Bytes columns = PackPicture(canvas, kW, kH, Settings(depth, msb, false, false, true));
      EXPECT_EQ(PackPicture(transposed, kH, kW, Settings(depth, msb)), columns);
      EXPECT_NE(columns, plain);
    }
  }
}

// ---------------------------------------------------------------------------
// MSB first swaps bytes within each pixel and moves nothing else.

QImage DistinctCanvas(int width, int height) {
  QImage canvas(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      canvas.setPixel(x, y, qRgb(17 * x + 40 * y + 9, 250 - 23 * x - 7 * y, 31 * y + 3 * x + 1));
    }
  }
  return canvas;
}

TEST(PixelPacking, MsbFirstOnlySwapsBytesWithinEachPixel) {
  const QImage canvas = DistinctCanvas(5, 4);
  for (int depth : {0, 1}) {
    for (const ScanOrder& scan : kScanOrders) {
      SCOPED_TRACE(::testing::Message() << "depth " << depth << ", " << scan.name);
      const Bytes lsb = PackPicture(
          canvas, 5, 4,
          Settings(depth, false, scan.rowRightToLeft, scan.columnBottomToTop, scan.columnFirst));
      const Bytes msb = PackPicture(
          canvas, 5, 4,
          Settings(depth, true, scan.rowRightToLeft, scan.columnBottomToTop, scan.columnFirst));
      const std::size_t bytesPerPixel = depth == 0 ? 2 : 3;
      ASSERT_EQ(lsb.size(), 20 * bytesPerPixel);
      ASSERT_EQ(msb.size(), lsb.size());
      EXPECT_NE(msb, lsb);
      for (std::size_t i = 0; i < lsb.size(); i += bytesPerPixel) {
        if (bytesPerPixel == 2) {
          EXPECT_EQ(msb[i], lsb[i + 1]) << "pixel " << i / 2;
          EXPECT_EQ(msb[i + 1], lsb[i]) << "pixel " << i / 2;
        } else {
          EXPECT_EQ(msb[i], lsb[i + 2]) << "pixel " << i / 3;
          EXPECT_EQ(msb[i + 1], lsb[i + 1]) << "pixel " << i / 3;
          EXPECT_EQ(msb[i + 2], lsb[i]) << "pixel " << i / 3;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Canvases that do not match what the caller says give no block at all.

TEST(PixelPacking, MismatchedCanvasGivesEmptyBlock) {
  const QImage canvas = SolidCanvas(3, 2, qRgb(1, 2, 3));
  struct Case {
    const char* name;
    QImage canvas;
    int width, height;
  };
  const Case cases[] = {
      {"width differs", canvas, 2, 2},
      {"height differs", canvas, 3, 3},
      {"sides swapped", canvas, 2, 3},
      {"zero size", canvas, 0, 0},
      {"negative size", canvas, -3, -2},
      {"null canvas", QImage(), 3, 2},
      {"null canvas, zero size", QImage(), 0, 0},
      {"24-bit canvas", canvas.convertToFormat(QImage::Format_RGB888), 3, 2},
      {"premultiplied canvas", canvas.convertToFormat(QImage::Format_ARGB32_Premultiplied), 3, 2},
      {"indexed canvas", canvas.convertToFormat(QImage::Format_Indexed8), 3, 2},
      {"16-bit canvas", canvas.convertToFormat(QImage::Format_RGB16), 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int depth : {0, 1}) {
      EXPECT_TRUE(PackPicture(c.canvas, c.width, c.height, Settings(depth, false)).empty());
    }
  }
  // The matching call on the same canvas does give a block.
  EXPECT_EQ(PackPicture(canvas, 3, 2, Settings(0, false)).size(), 12u);
  EXPECT_EQ(
      PackPicture(canvas.convertToFormat(QImage::Format_ARGB32), 3, 2, Settings(1, false)).size(),
      18u);
}

TEST(PixelPacking, UnknownColorDepthGivesEmptyBlock) {
  const QImage canvas = SolidCanvas(2, 2, qRgb(1, 2, 3));
  EXPECT_TRUE(PackPicture(canvas, 2, 2, Settings(2, false)).empty());
  EXPECT_TRUE(PackPicture(canvas, 2, 2, Settings(-1, false)).empty());
}

TEST(PixelPacking, BlockLengthIsWidthTimesHeightTimesBytesPerPixel) {
  const QImage canvas = SolidCanvas(7, 3, qRgb(255, 0, 0));
  Bytes red16;
  Bytes red24;
  for (int i = 0; i < 21; ++i) {
    red16.insert(red16.end(), {0x00, 0xF8});
    red24.insert(red24.end(), {0x00, 0x00, 0xFF});
  }
  EXPECT_EQ(PackPicture(canvas, 7, 3, Settings(0, false)), red16);
  EXPECT_EQ(PackPicture(canvas, 7, 3, Settings(1, false)), red24);
}

// ---------------------------------------------------------------------------
// Packing into a block the caller owns.

TEST(PixelPacking, PackedSize) {
  EXPECT_EQ(PackedSize(3, 2, Settings(0, false)), 12u);
  EXPECT_EQ(PackedSize(3, 2, Settings(1, true)), 18u);
  EXPECT_EQ(PackedSize(1, 1, Settings(0, true)), 2u);
  EXPECT_EQ(PackedSize(0, 5, Settings(1, false)), 0u);
  EXPECT_EQ(PackedSize(5, 0, Settings(1, false)), 0u);
  EXPECT_EQ(PackedSize(-3, 2, Settings(0, false)), 0u);
  EXPECT_EQ(PackedSize(3, -2, Settings(0, false)), 0u);
  // 65,535 × 65,535 × 3 = 12,884,508,675: no overflow in 32 bits.
  EXPECT_EQ(PackedSize(65535, 65535, Settings(1, false)), 12884508675u);
}

TEST(PixelPacking, PackIntoWritesEveryByteOfTheBlock) {
  const QImage canvas = CountingCanvas(5, 2);
  Bytes block(30, 0xAA);
  ASSERT_TRUE(PackPictureInto(canvas, 5, 2, Settings(1, true), std::span(block)));
  EXPECT_EQ(block, (Bytes{0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21, 0x22, 0x23, 0x31,
                          0x32, 0x33, 0x41, 0x42, 0x43, 0x51, 0x52, 0x53, 0x61, 0x62,
                          0x63, 0x71, 0x72, 0x73, 0x81, 0x82, 0x83, 0x91, 0x92, 0x93}));

  Bytes columns(20, 0xAA);
  ASSERT_TRUE(
      PackPictureInto(canvas, 5, 2, Settings(0, false, true, true, true), std::span(columns)));
  // Columns from right to left, each from bottom to top: k = 9, 4, 8, 3, 7, 2, 6, 1, 5, 0.
  EXPECT_EQ(columns, (Bytes{0x92, 0x94, 0x08, 0x42, 0x10, 0x84, 0x86, 0x31, 0x8E, 0x73,  //
                            0x04, 0x21, 0x0C, 0x63, 0x82, 0x10, 0x8A, 0x52, 0x00, 0x00}));
}

TEST(PixelPacking, PackIntoRefusesWrongBlocksAndCanvases) {
  const QImage canvas = CountingCanvas(5, 2);
  Bytes shorter(29);
  Bytes longer(31);
  Bytes exact(30);
  EXPECT_FALSE(PackPictureInto(canvas, 5, 2, Settings(1, false), std::span(shorter)));
  EXPECT_FALSE(PackPictureInto(canvas, 5, 2, Settings(1, false), std::span(longer)));
  EXPECT_FALSE(PackPictureInto(canvas, 5, 2, Settings(0, false), std::span(exact)));
  EXPECT_FALSE(PackPictureInto(canvas, 4, 2, Settings(1, false), std::span(exact).first(24)));
  EXPECT_FALSE(PackPictureInto(canvas.convertToFormat(QImage::Format_RGB888), 5, 2,
                               Settings(1, false), std::span(exact)));
  EXPECT_FALSE(PackPictureInto(QImage(), 0, 0, Settings(1, false), std::span<std::uint8_t>()));
  EXPECT_TRUE(PackPictureInto(canvas, 5, 2, Settings(1, false), std::span(exact)));
}

}  // namespace
}  // namespace zentora
