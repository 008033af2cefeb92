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

// For one 8-bit value: the widened levels at or below it and above it, and
// how many of the 64 thresholds choose the upper one. A threshold t stands
// for (t + ½) / 64 of the step, so a level itself never moves and a value
// part way up takes the upper level in proportion.
struct OrderedStep {
  std::uint8_t low = 0;
  std::uint8_t high = 0;
  std::uint8_t ups = 0;
};

template <int kBits>
constexpr std::array<OrderedStep, 256> MakeOrderedSteps() {
  std::array<OrderedStep, 256> steps{};
  int level = 0;
  for (int value = 0; value < 256; ++value) {
    while (level + 1 < (1 << kBits) && Widen(level + 1, kBits) <= value) {
      ++level;
    }
    const int low = Widen(level, kBits);
    OrderedStep& step = steps[static_cast<std::size_t>(value)];
    step.low = static_cast<std::uint8_t>(low);
    step.high = step.low;
    if (low == value) {
      continue;
    }
    const int high = Widen(level + 1, kBits);
    step.high = static_cast<std::uint8_t>(high);
    int ups = 0;
    for (int t = 0; t < 64; ++t) {
      ups += (2 * t + 1) * (high - low) < 128 * (value - low) ? 1 : 0;
    }
    step.ups = static_cast<std::uint8_t>(ups);
  }
  return steps;
}

constexpr std::array<OrderedStep, 256> kOrdered5 = MakeOrderedSteps<5>();
constexpr std::array<OrderedStep, 256> kOrdered6 = MakeOrderedSteps<6>();

inline int Pick(const OrderedStep& step, int threshold) {
  return threshold < step.ups ? step.high : step.low;
}

void DitherOrdered(QImage& canvas) {
  const int w = canvas.width();
  for (int y = 0; y < canvas.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    const auto& thresholds = kThresholds[static_cast<std::size_t>(y & 7)];
    for (int x = 0; x < w; ++x) {
      const QRgb pixel = row[x];
      const int t = thresholds[static_cast<std::size_t>(x & 7)];
      const int red = Pick(kOrdered5[qRed(pixel)], t);
      const int green = Pick(kOrdered6[qGreen(pixel)], t);
      const int blue = Pick(kOrdered5[qBlue(pixel)], t);
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

// One channel of one pixel: the level shown and the error handed on. The
// error lands 7/16 to the right, 3/16 below left, 5/16 below and the rest
// below right, each share rounded half up, so that none is lost.
struct Channel {
  const std::array<std::uint8_t, kMaxSixteenths + 1>& nearest;
  int shift;
};

constexpr std::array<Channel, 3> kChannels = {{{kNearest5, 16}, {kNearest6, 8}, {kNearest5, 0}}};

void DitherDiffusion(QImage& canvas) {
  const int w = canvas.width();
  const auto slots = static_cast<std::size_t>(w + 2) * 3;
  // Error for the row below, three channels per pixel, with one pixel of
  // margin each side where error leaving the picture is dropped.
  std::vector<int> below(slots, 0);
  std::vector<int> next(slots, 0);
  for (int y = 0; y < canvas.height(); ++y) {
    std::fill(next.begin(), next.end(), 0);
    auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
    std::array<int, 3> carry{};
    for (int x = 0; x < w; ++x) {
      const QRgb pixel = row[x];
      if (HeldExactly(pixel)) {
        // What reaches it is dropped, and it has no error of its own.
        carry = {};
        continue;
      }
      const std::size_t slot = static_cast<std::size_t>(x + 1) * 3;
      QRgb shown = pixel & 0xFF000000u;
      for (std::size_t c = 0; c < 3; ++c) {
        const int value = static_cast<int>((pixel >> kChannels[c].shift) & 0xFF);
        const int wanted =
            std::clamp(kSixteenths * value + below[slot + c] + carry[c], 0, kMaxSixteenths);
        const int level = kChannels[c].nearest[static_cast<std::size_t>(wanted)];
        const int error = wanted - kSixteenths * level;
        const int right = (7 * error + 8) >> 4;
        const int downLeft = (3 * error + 8) >> 4;
        const int down = (5 * error + 8) >> 4;
        carry[c] = right;
        next[slot - 3 + c] += downLeft;
        next[slot + c] += down;
        next[slot + 3 + c] += error - right - downLeft - down;
        shown |= static_cast<QRgb>(level) << kChannels[c].shift;
      }
      row[x] = shown;
    }
    std::swap(below, next);
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
