#include "image/picture_dither.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace zentora {

namespace {

// A level of a `bits`-bit channel as the module widens it to 8 bits: the
// high bits repeated below the level.
constexpr int Widen(int level, int bits) {
  return (level << (8 - bits)) | (level >> (2 * bits - 8));
}

constexpr bool IsLevel(int value, int bits) {
  return Widen(value >> (8 - bits), bits) == value;
}

// ---------------------------------------------------------------------------
// Ordered: the classic 8 × 8 table, indexed by the pixel's row and column
// modulo 8.

constexpr std::array<std::array<std::uint8_t, 8>, 8> kThresholds = {{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

// A channel value v lies between the widened levels L (the largest ≤ v) and
// H, a step g = H − L apart, at f = v − L. Threshold t stands for (t + ½) / 64
// of the step: the pixel shows H when (2t + 1) · g < 128 · f, else L, so a
// level itself (f = 0) never moves and a value part way up takes H in
// proportion. Plain arithmetic, so that the row loop vectorises.
template <int kBits>
inline int Ordered(int value, int twiceThresholdPlusOne) {
  constexpr int kShift = 8 - kBits;
  const int level = (value - (value >> kBits)) >> kShift;
  const int low = Widen(level, kBits);
  const int step = Widen(level + 1, kBits) - low;
  return twiceThresholdPlusOne * step < 128 * (value - low) ? low + step : low;
}

void DitherOrdered(QImage& canvas) {
  const int w = canvas.width();
  // Each row of the table spread over a canvas row, as 2t + 1.
  std::array<std::vector<int>, 8> rows;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    rows[r].resize(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
      rows[r][static_cast<std::size_t>(x)] =
          2 * kThresholds[r][static_cast<std::size_t>(x & 7)] + 1;
    }
  }
  for (int y = 0; y < canvas.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    const int* thresholds = rows[static_cast<std::size_t>(y & 7)].data();
    for (int x = 0; x < w; ++x) {
      const QRgb pixel = row[x];
      const int t = thresholds[x];
      const int red = Ordered<5>(static_cast<int>((pixel >> 16) & 0xFF), t);
      const int green = Ordered<6>(static_cast<int>((pixel >> 8) & 0xFF), t);
      const int blue = Ordered<5>(static_cast<int>(pixel & 0xFF), t);
      row[x] = (pixel & 0xFF000000u) | static_cast<QRgb>((red << 16) | (green << 8) | blue);
    }
  }
}

// ---------------------------------------------------------------------------
// Diffusion: Floyd and Steinberg's weights, every row left to right, in
// sixteenths of an 8-bit unit.

constexpr int kSixteenths = 16;
constexpr int kMaxSixteenths = 255 * kSixteenths;

// The widened level nearest to a value in sixteenths; halfway goes up.
template <int kBits>
constexpr std::array<std::uint8_t, kMaxSixteenths + 1> MakeNearest() {
  std::array<std::uint8_t, kMaxSixteenths + 1> nearest{};
  int level = 0;
  for (int value = 0; value <= kMaxSixteenths; ++value) {
    while (level + 1 < (1 << kBits) &&
           2 * value >= kSixteenths * (Widen(level, kBits) + Widen(level + 1, kBits))) {
      ++level;
    }
    nearest[static_cast<std::size_t>(value)] = static_cast<std::uint8_t>(Widen(level, kBits));
  }
  return nearest;
}

constexpr std::array<std::uint8_t, kMaxSixteenths + 1> kNearest5 = MakeNearest<5>();
constexpr std::array<std::uint8_t, kMaxSixteenths + 1> kNearest6 = MakeNearest<6>();

constexpr std::array<bool, 256> MakeLevels(int bits) {
  std::array<bool, 256> levels{};
  for (int value = 0; value < 256; ++value) {
    levels[static_cast<std::size_t>(value)] = IsLevel(value, bits);
  }
  return levels;
}

constexpr std::array<bool, 256> kLevel5 = MakeLevels(5);
constexpr std::array<bool, 256> kLevel6 = MakeLevels(6);

inline bool HeldExactly(QRgb pixel) {
  return kLevel5[qRed(pixel)] && kLevel6[qGreen(pixel)] && kLevel5[qBlue(pixel)];
}

// One channel of one pixel: returns the level shown and hands its error on,
// 7/16 to the right (carry), 3/16 below left, 5/16 below and the rest below
// right, each share rounded half up, so that none is lost. `below` points at
// this pixel's slot of the row underneath, whose slot to the right it is the
// first to write.
template <int kBits>
inline int Diffuse(int value, int fromAbove, int& carry, int* below) {
  constexpr const std::array<std::uint8_t, kMaxSixteenths + 1>& kNearest =
      kBits == 5 ? kNearest5 : kNearest6;
  const int wanted = std::clamp(kSixteenths * value + fromAbove + carry, 0, kMaxSixteenths);
  const int level = kNearest[static_cast<std::size_t>(wanted)];
  const int error = wanted - kSixteenths * level;
  const int right = (7 * error + 8) >> 4;
  const int downLeft = (3 * error + 8) >> 4;
  const int down = (5 * error + 8) >> 4;
  carry = right;
  below[-3] += downLeft;
  below[0] += down;
  below[3] = error - right - downLeft - down;
  return level;
}

void DitherDiffusion(QImage& canvas) {
  const int w = canvas.width();
  const auto slots = static_cast<std::size_t>(w + 2) * 3;
  // Error for the next row, three channels per pixel, with one pixel of
  // margin each side where error leaving the picture is dropped.
  std::vector<int> above(slots, 0);
  std::vector<int> below(slots, 0);
  for (int y = 0; y < canvas.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    int* next = below.data() + 3;
    const int* from = above.data() + 3;
    std::fill(next - 3, next + 3, 0);
    int red = 0;
    int green = 0;
    int blue = 0;
    for (int x = 0; x < w; ++x, next += 3, from += 3) {
      const QRgb pixel = row[x];
      if (HeldExactly(pixel)) {
        // What reaches it is dropped, and it has no error of its own.
        red = green = blue = 0;
        next[3] = next[4] = next[5] = 0;
        continue;
      }
      const int r = Diffuse<5>(static_cast<int>((pixel >> 16) & 0xFF), from[0], red, next);
      const int g = Diffuse<6>(static_cast<int>((pixel >> 8) & 0xFF), from[1], green, next + 1);
      const int b = Diffuse<5>(static_cast<int>(pixel & 0xFF), from[2], blue, next + 2);
      row[x] = (pixel & 0xFF000000u) | static_cast<QRgb>((r << 16) | (g << 8) | b);
    }
    std::swap(above, below);
  }
}

}  // namespace

void DitherCanvas(QImage& canvas, const ImageSettings& settings) {
  const bool drawnFormat =
      canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
  if (settings.colorDepth != 0 || !drawnFormat) {
    return;
  }
  switch (settings.dither) {
    case Dither::kNone:
      break;
    case Dither::kOrdered:
      DitherOrdered(canvas);
      break;
    case Dither::kDiffusion:
      DitherDiffusion(canvas);
      break;
  }
}

}  // namespace zentora
