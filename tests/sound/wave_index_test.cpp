#include "sound/wave_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zentora {
namespace {

// ---------------------------------------------------------------------------
// The 16 bytes of one entry: number (1), channels (1), bits per sample (2),
// sample rate (4), data length (4), data address (4), all little-endian.

struct EntryCase {
  const char* name;
  int number;
  int channels;
  std::uint16_t bits;
  std::uint32_t rate;
  std::uint32_t length;
  std::uint32_t address;
  WaveIndexEntry expected;
};

class EncodeWaveIndexEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EncodeWaveIndexEntryTest, WritesTheSixteenBytes) {
  const EntryCase& c = GetParam();
  EXPECT_EQ(EncodeWaveIndexEntry(c.number, c.channels, c.bits, c.rate, c.length, c.address),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(WaveIndex, EncodeWaveIndexEntryTest,
                         ::testing::Values(
                             // One sample byte, mono 8-bit at 8000 Hz, first sound.
                             EntryCase{"OneSampleByteMonoEightBit",
                                       0,
                                       1,
                                       8,
                                       8000,
                                       1,
                                       0x07000000,
                                       {0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x07}},
                             // 4096 sample bytes, stereo 16-bit at 8000 Hz.
                             EntryCase{"StereoSixteenBit4096Bytes",
                                       0,
                                       2,
                                       16,
                                       8000,
                                       4096,
                                       0x07000000,
                                       {0x00, 0x02, 0x10, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x00, 0x10,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x07}},
                             // Every byte different, so that a field in the wrong place shows.
                             EntryCase{"EveryFieldInItsPlace",
                                       0x12,
                                       0x34,
                                       0x5678,
                                       0x9ABCDEF0,
                                       0x11223344,
                                       0x55667788,
                                       {0x12, 0x34, 0x78, 0x56, 0xF0, 0xDE, 0xBC, 0x9A, 0x44, 0x33,
                                        0x22, 0x11, 0x88, 0x77, 0x66, 0x55}},
                             // The number and the channel count keep their low 8 bits only.
                             EntryCase{"Number256WrapsToZero",
                                       256,
                                       1,
                                       8,
                                       8000,
                                       1,
                                       0x07080000,
                                       {0x00, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x08, 0x07}},
                             EntryCase{"Number511KeepsFF",
                                       511,
                                       1,
                                       8,
                                       8000,
                                       1,
                                       0x07000000,
                                       {0xFF, 0x01, 0x08, 0x00, 0x40, 0x1F, 0x00, 0x00, 0x01, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x07}},
                             EntryCase{"Channels258KeepTwo",
                                       3,
                                       258,
                                       16,
                                       44100,
                                       0,
                                       0x07001800,
                                       {0x03, 0x02, 0x10, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x18, 0x00, 0x07}},
                             EntryCase{"LargestValues",
                                       255,
                                       255,
                                       0xFFFF,
                                       0xFFFFFFFF,
                                       0xFFFFFFFF,
                                       0xFFFFFFFF,
                                       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}),
                         [](const ::testing::TestParamInfo<EntryCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(WaveIndex, EntryIsSixteenBytes) {
  EXPECT_EQ(sizeof(WaveIndexEntry), 16u);
  EXPECT_EQ(kWaveIndexEntrySize, 16u);
  EXPECT_EQ(kWaveBaseAddress, 0x07000000u);
}

// ---------------------------------------------------------------------------
// 2048-byte alignment of addresses and the filler after the samples.

TEST(WaveIndex, AlignsUpToTheNextMultipleOf2048) {
  EXPECT_EQ(AlignWaveAddress(0), 0u);
  EXPECT_EQ(AlignWaveAddress(1), 2048u);
  EXPECT_EQ(AlignWaveAddress(2047), 2048u);
  EXPECT_EQ(AlignWaveAddress(2048), 2048u);
  EXPECT_EQ(AlignWaveAddress(2049), 4096u);
  EXPECT_EQ(AlignWaveAddress(0x07000000), 0x07000000u);
  // 0x07000000 + 3000 rounds up to 0x07000000 + 4096.
  EXPECT_EQ(AlignWaveAddress(0x07000BB8), 0x07001000u);
  EXPECT_EQ(AlignWaveAddress(0x07001000 + 2048), 0x07001800u);
}

TEST(WaveIndex, FillerCompletesTheLastBlock) {
  EXPECT_EQ(WaveFillerLength(0), 0u);
  EXPECT_EQ(WaveFillerLength(1), 2047u);
  EXPECT_EQ(WaveFillerLength(2047), 1u);
  EXPECT_EQ(WaveFillerLength(2048), 0u);
  EXPECT_EQ(WaveFillerLength(2049), 2047u);
  EXPECT_EQ(WaveFillerLength(3000), 1096u);
  EXPECT_EQ(WaveFillerLength(4096), 0u);
  EXPECT_EQ(WaveFillerLength(0xFFFFFFFF), 1u);
}

}  // namespace
}  // namespace zentora
