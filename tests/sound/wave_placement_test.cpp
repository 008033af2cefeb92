#include "sound/wave_placement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace zentora {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// Sounds placed one after another until one no longer fits.
struct PlacementCase {
  const char* name;
  std::vector<std::uint64_t> lengths;
  std::vector<std::uint32_t> addresses;  // of the sounds that fit, in order
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
  *out << c.name;
}

class WavePlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(WavePlacementTest, StopsAtTheFirstSoundThatWouldWrap) {
  const PlacementCase& c = GetParam();
  CWavePlacement placement;
  std::vector<std::uint32_t> addresses;
  for (const std::uint64_t length : c.lengths) {
    if (!placement.Fits(length)) {
      break;
    }
    addresses.push_back(placement.Address());
    placement.Take(static_cast<std::uint32_t>(length));
  }
  EXPECT_EQ(addresses, c.addresses);
  EXPECT_EQ(placement.Number(), static_cast<int>(c.addresses.size()));
}

INSTANTIATE_TEST_SUITE_P(
    WavePlacement, WavePlacementTest,
    ::testing::Values(
        // The third would start at 0xC7000000 and end 0x27000000 past 4 GiB.
        PlacementCase{"FourSoundsOfOneAndAHalfGiB",
                      {3 * kGiB / 2, 3 * kGiB / 2, 3 * kGiB / 2, 3 * kGiB / 2},
                      {0x07000000, 0x67000000}},
        // A sound may end exactly at 4 GiB; the next, even an empty one,
        // would have address 0.
        PlacementCase{"EndingAtFourGiBLeavesNoAddress",
                      {(std::uint64_t{1} << 32) - 0x07000000, 0},
                      {0x07000000}},
        PlacementCase{
            "OneByteTooLongForTheWholeRange", {(std::uint64_t{1} << 32) - 0x07000000 + 1}, {}}),
    [](const ::testing::TestParamInfo<PlacementCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace zentora
