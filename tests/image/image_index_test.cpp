#include "image/image_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zentora {
namespace {

// ---------------------------------------------------------------------------
// The 16 bytes of one entry: number (2), reserved (1), address (4), width (2),
// height (2), length (3), reserved (2), all little-endian.

struct EntryCase {
  const char* name;
  int number;
  std::uint32_t address;
  int width;
  int height;
  int bytesPerPixel;
  ImageIndexEntry expected;
};

class EncodeImageIndexEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EncodeImageIndexEntryTest, WritesTheSixteenBytes) {
  const EntryCase& c = GetParam();
  EXPECT_EQ(EncodeImageIndexEntry(c.number, c.address, c.width, c.height, c.bytesPerPixel),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ImageIndex, EncodeImageIndexEntryTest,
    ::testing::Values(
        // One 1 × 1 picture at 16 bits.
        EntryCase{"OneByOneAtSixteenBits",
                  0,
                  0x00B00000,
                  1,
                  1,
                  2,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}},
        // 10 × 10 then 4 × 2 at 24 bits: lengths 300 (0x12C) and 24 (0x18).
        EntryCase{"TenByTenFirst",
                  0,
                  0x00B00000,
                  10,
                  10,
                  3,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x0A, 0x00, 0x0A, 0x00, 0x2C, 0x01,
                   0x00, 0x00, 0x00}},
        EntryCase{"FourByTwoSecond",
                  1,
                  0x00B0012C,
                  4,
                  2,
                  3,
                  {0x01, 0x00, 0x00, 0x2C, 0x01, 0xB0, 0x00, 0x04, 0x00, 0x02, 0x00, 0x18, 0x00,
                   0x00, 0x00, 0x00}},
        // An unreadable picture: zero sizes and length at the running address.
        EntryCase{"ZeroEntry",
                  7,
                  0x00B00004,
                  0,
                  0,
                  2,
                  {0x07, 0x00, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00}},
        // Every field different, to catch swapped or misplaced fields:
        // 258 × 772 × 2 = 398,352 = 0x061410.
        EntryCase{"DistinctFields",
                  0x1234,
                  0x89ABCDEF,
                  0x0102,
                  0x0304,
                  2,
                  {0x34, 0x12, 0x00, 0xEF, 0xCD, 0xAB, 0x89, 0x02, 0x01, 0x04, 0x03, 0x10, 0x14,
                   0x06, 0x00, 0x00}},
        EntryCase{"HighestAddress",
                  3,
                  0xFFFFFFFF,
                  1,
                  1,
                  3,
                  {0x03, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x01, 0x00, 0x03, 0x00,
                   0x00, 0x00, 0x00}},
        // Numbers keep their low 16 bits: 65,535, 65,536, 65,537 and 70,000 (0x11170).
        EntryCase{"NumberAtSixteenBitMaximum",
                  65535,
                  0x00B00000,
                  1,
                  1,
                  2,
                  {0xFF, 0xFF, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}},
        EntryCase{"NumberWrapsToZero",
                  65536,
                  0x00B00000,
                  1,
                  1,
                  2,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}},
        EntryCase{"NumberWrapsToOne",
                  65537,
                  0x00B00000,
                  1,
                  1,
                  2,
                  {0x01, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}},
        EntryCase{"NumberSeventyThousand",
                  70000,
                  0x00B00000,
                  1,
                  1,
                  2,
                  {0x70, 0x11, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0x00, 0x00, 0x00}},
        // 2400 × 2400 × 3 = 17,280,000 = 0x107AC00, stored as 0x07AC00.
        EntryCase{"LengthKeepsLowTwentyFourBits",
                  0,
                  0x00B00000,
                  2400,
                  2400,
                  3,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x60, 0x09, 0x60, 0x09, 0x00, 0xAC,
                   0x07, 0x00, 0x00}},
        // 4096 × 2048 × 2 = 0x1000000 exactly, stored as 0.
        EntryCase{"LengthOfExactlyTwoToTheTwentyFour",
                  0,
                  0x00B00000,
                  4096,
                  2048,
                  2,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x00, 0x10, 0x00, 0x08, 0x00, 0x00,
                   0x00, 0x00, 0x00}},
        // 65,535² × 3 = 0x2FFFA0003, stored as 0xFA0003.
        EntryCase{"LargestSides",
                  0,
                  0x00B00000,
                  65535,
                  65535,
                  3,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x00,
                   0xFA, 0x00, 0x00}},
        // A width of 70,000 is stored as 0x1170 = 4,464, and the length follows
        // the stored width: 4,464 × 1 × 2 = 8,928 = 0x22E0.
        EntryCase{"WidthKeepsLowSixteenBits",
                  0,
                  0x00B00000,
                  70000,
                  1,
                  2,
                  {0x00, 0x00, 0x00, 0x00, 0x00, 0xB0, 0x00, 0x70, 0x11, 0x01, 0x00, 0xE0, 0x22,
                   0x00, 0x00, 0x00}}),
    [](const ::testing::TestParamInfo<EntryCase>& row) { return std::string(row.param.name); });

TEST(ImageIndex, BaseAddressAndEntrySize) {
  EXPECT_EQ(kImageBaseAddress, 11534336u);
  EXPECT_EQ(kImageIndexEntrySize, 16u);
  EXPECT_EQ(EncodeImageIndexEntry(0, kImageBaseAddress, 1, 1, 2).size(), 16u);
}

// ---------------------------------------------------------------------------
// The stored data length.

TEST(ImageIndex, DataLength) {
  struct Case {
    int width, height, bytesPerPixel;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {1, 1, 2, 2},
      {10, 10, 3, 300},
      {4, 2, 3, 24},
      {0, 0, 3, 0},
      {0, 5, 2, 0},
      {2000, 2000, 3, 12000000},
      {2400, 2400, 2, 11520000},
      {2400, 2400, 3, 502784},    // 17,280,000 − 16,777,216
      {1365, 4097, 3, 16777215},  // the largest length that is stored as it is
      {4096, 2048, 2, 0},         // 16,777,216 wraps to 0
      {70000, 1, 2, 8928},        // from the stored width 4,464
      {65536, 1, 3, 0},           // the stored width is 0
      {65535, 65535, 3, 0xFA0003},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << "x" << c.bytesPerPixel);
    EXPECT_EQ(ImageDataLength(c.width, c.height, c.bytesPerPixel), c.expected);
  }
}

// The running address moves by the stored length, so the address of the next
// entry is the previous address plus ImageDataLength.
TEST(ImageIndex, AddressesOfTenByTenThenFourByTwo) {
  const std::uint32_t second = kImageBaseAddress + ImageDataLength(10, 10, 3);
  EXPECT_EQ(second, 0x00B0012Cu);
  EXPECT_EQ(second + ImageDataLength(4, 2, 3), 0x00B00144u);
}

// ---------------------------------------------------------------------------
// Which pictures the index can describe truthfully.

TEST(ImageIndex, FitsAtTheLimits) {
  struct Case {
    const char* name;
    int width, height, bytesPerPixel;
    bool fits;
  };
  const Case cases[] = {
      {"one pixel", 1, 1, 2, true},
      {"no pixels", 0, 0, 2, true},
      {"widest", 65535, 1, 2, true},
      {"one wider", 65536, 1, 2, false},
      {"tallest", 1, 65535, 3, true},
      {"one taller", 1, 65536, 3, false},
      {"70000 wide", 70000, 1, 2, false},
      {"widest and 85 tall, 16,711,425 bytes", 65535, 85, 3, true},
      {"widest and 86 tall, 16,908,030 bytes", 65535, 86, 3, false},
      {"largest sides", 65535, 65535, 2, false},
      {"2000 x 2000 at 24 bits", 2000, 2000, 3, true},
      {"2400 x 2400 at 24 bits", 2400, 2400, 3, false},
      {"2400 x 2400 at 16 bits", 2400, 2400, 2, true},
      {"length 16,777,215", 1365, 4097, 3, true},
      {"length 16,777,216", 4096, 2048, 2, false},
      {"length 16,773,120", 4095, 2048, 2, true},
      {"negative width", -1, 1, 2, false},
      {"negative height", 1, -1, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FitsImageIndex(c.width, c.height, c.bytesPerPixel), c.fits);
  }
}

}  // namespace
}  // namespace zentora
