#include "image/png_row_filter.h"

namespace zentora {

namespace {

enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// Without branches on the data: photographs make the choice unpredictable,
// and a mispredicted branch per byte costs three times the arithmetic.
inline std::uint8_t PaethPredictor(int left, int above, int aboveLeft) {
  int fromLeft = above - aboveLeft;  // |p - left| once the signs are taken
  int fromAbove = left - aboveLeft;
  int fromCorner = fromLeft + fromAbove;
  fromLeft = fromLeft < 0 ? -fromLeft : fromLeft;
  fromAbove = fromAbove < 0 ? -fromAbove : fromAbove;
  fromCorner = fromCorner < 0 ? -fromCorner : fromCorner;
  const int nearer = fromAbove < fromLeft ? above : left;
  const int nearest = fromAbove < fromLeft ? fromAbove : fromLeft;
  return static_cast<std::uint8_t>(fromCorner < nearest ? aboveLeft : nearer);
}

// The pixel size is a constant in each loop, so that the compiler keeps the
// channels' chains apart.
template <std::size_t kPixelBytes>
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
              std::size_t length) {
  // The first pixel has nothing to its left: its left and above-left are 0.
  const std::size_t first = length < kPixelBytes ? length : kPixelBytes;
  switch (filter) {
    case kNone:
      return true;
    case kSub:
      for (std::size_t i = kPixelBytes; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - kPixelBytes]);
      }
      return true;
    case kUp:
      for (std::size_t i = 0; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      }
      return true;
    case kAverage:
      for (std::size_t i = 0; i < first; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + (previous[i] >> 1));
      }
      for (std::size_t i = kPixelBytes; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - kPixelBytes] + previous[i]) >> 1));
      }
      return true;
    case kPaeth:
      for (std::size_t i = 0; i < first; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      }
      for (std::size_t i = kPixelBytes; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(
            row[i] + PaethPredictor(row[i - kPixelBytes], previous[i], previous[i - kPixelBytes]));
      }
      return true;
    default:
      return false;
  }
}

}  // namespace

bool UnfilterRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, int pixelBytes) {
  switch (pixelBytes) {
    case 3:
      return Unfilter<3>(filter, row, previous, length);
    case 4:
      return Unfilter<4>(filter, row, previous, length);
    default:
      return false;
  }
}

}  // namespace zentora
