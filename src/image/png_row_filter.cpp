#include "image/png_row_filter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentora {

namespace {

enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

#if defined(__SSE2__)

// Sub, Average and Paeth each need the pixel to the left, already undone:
// a chain from one pixel to the next that no loop over bytes vectorises.
// One pixel's channels at a time in one register run the chain a pixel per
// step instead of a byte per step.

// A pixel's bytes into the low lanes, through registers only: bytes put
// together in memory and read back whole would stall the load behind the
// stores. `more` says whether a byte after the pixel may be read as well;
// for 3-byte pixels that is the one wide load.
template <std::size_t kPixelBytes>
inline __m128i LoadPixel(const std::uint8_t* bytes, bool more) {
  std::uint32_t pixel = 0;
  if (kPixelBytes == 4 || more) {
    std::memcpy(&pixel, bytes, 4);
  } else {
    std::uint16_t low = 0;
    std::memcpy(&low, bytes, 2);
    pixel = low | std::uint32_t{bytes[2]} << 16;
  }
  return _mm_cvtsi32_si128(static_cast<int>(pixel));
}

template <std::size_t kPixelBytes>
inline void StorePixel(std::uint8_t* bytes, __m128i value) {
  const auto pixel = static_cast<std::uint32_t>(_mm_cvtsi128_si32(value));
  if constexpr (kPixelBytes == 4) {
    std::memcpy(bytes, &pixel, 4);
  } else {
    const auto low = static_cast<std::uint16_t>(pixel);
    std::memcpy(bytes, &low, 2);
    bytes[2] = static_cast<std::uint8_t>(pixel >> 16);
  }
}

inline __m128i Select(__m128i mask, __m128i whenSet, __m128i otherwise) {
  return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, otherwise));
}

inline __m128i Absolute16(__m128i value) {
  return _mm_max_epi16(value, _mm_sub_epi16(_mm_setzero_si128(), value));
}

template <std::size_t kPixelBytes>
void UndoSub(std::uint8_t* row, std::size_t length) {
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i < length; i += kPixelBytes) {
    left = _mm_add_epi8(left, LoadPixel<kPixelBytes>(row + i, i + 4 <= length));
    StorePixel<kPixelBytes>(row + i, left);
  }
}

template <std::size_t kPixelBytes>
void UndoAverage(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
  const __m128i ones = _mm_set1_epi8(1);
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i < length; i += kPixelBytes) {
    const bool more = i + 4 <= length;
    const __m128i above = LoadPixel<kPixelBytes>(previous + i, more);
    // The rounded-up mean, less the half it rounded: the floor of (a + b) / 2.
    const __m128i mean =
        _mm_sub_epi8(_mm_avg_epu8(left, above), _mm_and_si128(_mm_xor_si128(left, above), ones));
    left = _mm_add_epi8(LoadPixel<kPixelBytes>(row + i, more), mean);
    StorePixel<kPixelBytes>(row + i, left);
  }
}

// In 16-bit lanes: p = a + b - c, and the nearest of a, b, c to p, ties
// going to a, then b.
template <std::size_t kPixelBytes>
void UndoPaeth(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
  const __m128i zero = _mm_setzero_si128();
  __m128i left = zero;
  __m128i corner = zero;
  for (std::size_t i = 0; i < length; i += kPixelBytes) {
    const bool more = i + 4 <= length;
    const __m128i above = _mm_unpacklo_epi8(LoadPixel<kPixelBytes>(previous + i, more), zero);
    const __m128i fromLeft = _mm_sub_epi16(above, corner);  // p - a
    const __m128i fromAbove = _mm_sub_epi16(left, corner);  // p - b
    const __m128i distanceLeft = Absolute16(fromLeft);
    const __m128i distanceAbove = Absolute16(fromAbove);
    const __m128i distanceCorner = Absolute16(_mm_add_epi16(fromLeft, fromAbove));
    const __m128i nearest =
        _mm_min_epi16(distanceCorner, _mm_min_epi16(distanceLeft, distanceAbove));
    const __m128i predictor =
        Select(_mm_cmpeq_epi16(nearest, distanceLeft), left,
               Select(_mm_cmpeq_epi16(nearest, distanceAbove), above, corner));
    const __m128i pixel =
        _mm_add_epi8(LoadPixel<kPixelBytes>(row + i, more), _mm_packus_epi16(predictor, zero));
    StorePixel<kPixelBytes>(row + i, pixel);
    left = _mm_unpacklo_epi8(pixel, zero);
    corner = above;
  }
}

#else

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

template <std::size_t kPixelBytes>
void UndoSub(std::uint8_t* row, std::size_t length) {
  for (std::size_t i = kPixelBytes; i < length; ++i) {
    row[i] = static_cast<std::uint8_t>(row[i] + row[i - kPixelBytes]);
  }
}

// The first pixel has nothing to its left: its left and above-left are 0.
template <std::size_t kPixelBytes>
void UndoAverage(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
  for (std::size_t i = 0; i < length && i < kPixelBytes; ++i) {
    row[i] = static_cast<std::uint8_t>(row[i] + (previous[i] >> 1));
  }
  for (std::size_t i = kPixelBytes; i < length; ++i) {
    row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - kPixelBytes] + previous[i]) >> 1));
  }
}

template <std::size_t kPixelBytes>
void UndoPaeth(std::uint8_t* row, const std::uint8_t* previous, std::size_t length) {
  for (std::size_t i = 0; i < length && i < kPixelBytes; ++i) {
    row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
  }
  for (std::size_t i = kPixelBytes; i < length; ++i) {
    row[i] = static_cast<std::uint8_t>(
        row[i] + PaethPredictor(row[i - kPixelBytes], previous[i], previous[i - kPixelBytes]));
  }
}

#endif

// The pixel size is a constant in each loop, so that the compiler keeps the
// channels apart.
template <std::size_t kPixelBytes>
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
              std::size_t length) {
  switch (filter) {
    case kNone:
      return true;
    case kSub:
      UndoSub<kPixelBytes>(row, length);
      return true;
    case kUp:
      for (std::size_t i = 0; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      }
      return true;
    case kAverage:
      UndoAverage<kPixelBytes>(row, previous, length);
      return true;
    case kPaeth:
      UndoPaeth<kPixelBytes>(row, previous, length);
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
