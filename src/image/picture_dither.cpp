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
// proportion.
template <int kBits>
constexpr int Ordered(int value, int twiceThresholdPlusOne) {
  constexpr int kShift = 8 - kBits;
  const int level = (value - (value >> kBits)) >> kShift;
  const int low = Widen(level, kBits);
  // The step is 2^kShift or one more: (2t + 1) · g without a multiplication.
  const bool wide = Widen(level + 1, kBits) - low > (1 << kShift);
  const int scaled = (twiceThresholdPlusOne << kShift) + (wide ? twiceThresholdPlusOne : 0);
  const int high = low + (1 << kShift) + (wide ? 1 : 0);
  return scaled < ((value - low) << 7) ? high : low;
}

// What every value shows under every threshold, [t][value]: 16 KiB each,
// of which a row of the picture reads eight thresholds' worth.
template <int kBits>
constexpr std::array<std::array<std::uint8_t, 256>, 64> MakeOrderedTable() {
  std::array<std::array<std::uint8_t, 256>, 64> table{};
  for (int t = 0; t < 64; ++t) {
    for (int value = 0; value < 256; ++value) {
      table[static_cast<std::size_t>(t)][static_cast<std::size_t>(value)] =
          static_cast<std::uint8_t>(Ordered<kBits>(value, 2 * t + 1));
    }
  }
  return table;
}

constexpr std::array<std::array<std::uint8_t, 256>, 64> kOrdered5 = MakeOrderedTable<5>();
constexpr std::array<std::array<std::uint8_t, 256>, 64> kOrdered6 = MakeOrderedTable<6>();

void DitherOrderedRow(QRgb* row, int w, int y) {
  const auto& thresholds = kThresholds[static_cast<std::size_t>(y & 7)];
  for (int x = 0; x < w; ++x) {
    const QRgb pixel = row[x];
    const std::size_t t = thresholds[static_cast<std::size_t>(x & 7)];
    const int red = kOrdered5[t][(pixel >> 16) & 0xFF];
    const int green = kOrdered6[t][(pixel >> 8) & 0xFF];
    const int blue = kOrdered5[t][pixel & 0xFF];
    row[x] = (pixel & 0xFF000000u) | static_cast<QRgb>((red << 16) | (green << 8) | blue);
  }
}

// ---------------------------------------------------------------------------
// Diffusion: Floyd and Steinberg's weights, every row left to right, in
// sixteenths of an 8-bit unit.

constexpr int kSixteenths = 16;
constexpr int kMaxSixteenths = 255 * kSixteenths;

// A pixel's own error is at most half the widest step, 72 sixteenths; the
// shares that reach a pixel (below right, below and below left of the row
// above, and from the left) add up to at most 6 + 23 + 14 + 32. A value with
// them therefore stays within this much outside 0 … 4080, which the tables
// cover so that the walk along the row needs no clamping.
constexpr int kMargin = 128;
constexpr std::size_t kTableSize = kMaxSixteenths + 1 + 2 * kMargin;

// What a wanted value in sixteenths (offset by kMargin) becomes: the widened
// level nearest to it after clamping to 0 … 4080 (halfway goes up), and the
// shares of its error e = clamped − 16 · level: 7/16 to the right, 3/16 below
// left, 5/16 below, each rounded half up (>> rounds down), and what is left
// of e below right, so that none is lost. Every share fits a byte.
struct Step {
  std::uint8_t level = 0;
  std::int8_t right = 0;
  std::int8_t downLeft = 0;
  std::int8_t down = 0;
  std::int8_t downRight = 0;
};

template <int kBits>
constexpr std::array<Step, kTableSize> MakeSteps() {
  std::array<Step, kTableSize> steps{};
  int level = 0;
  for (int wanted = -kMargin; wanted <= kMaxSixteenths + kMargin; ++wanted) {
    const int clamped = std::clamp(wanted, 0, kMaxSixteenths);
    while (level + 1 < (1 << kBits) &&
           2 * clamped >= kSixteenths * (Widen(level, kBits) + Widen(level + 1, kBits))) {
      ++level;
    }
    const int error = clamped - kSixteenths * Widen(level, kBits);
    const int right = (7 * error + 8) >> 4;
    const int downLeft = (3 * error + 8) >> 4;
    const int down = (5 * error + 8) >> 4;
    Step& step = steps[static_cast<std::size_t>(wanted + kMargin)];
    step.level = static_cast<std::uint8_t>(Widen(level, kBits));
    step.right = static_cast<std::int8_t>(right);
    step.downLeft = static_cast<std::int8_t>(downLeft);
    step.down = static_cast<std::int8_t>(down);
    step.downRight = static_cast<std::int8_t>(error - right - downLeft - down);
  }
  return steps;
}

constexpr std::array<Step, kTableSize> kSteps5 = MakeSteps<5>();
constexpr std::array<Step, kTableSize> kSteps6 = MakeSteps<6>();

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

// One channel's error on its way: to the next pixel, and to the slots of the
// row below left of (`pending`) and under (`current`) the next pixel. A slot
// is stored once, when no later pixel adds to it.
struct Errors {
  int right = 0;
  int pending = 0;
  int current = 0;
};

// One channel of one pixel: returns the level shown and hands its error on.
// `belowLeft` is the slot that this pixel completes.
template <int kBits>
inline int Diffuse(int value, int fromAbove, Errors& errors, int* belowLeft) {
  const std::array<Step, kTableSize>& steps = kBits == 5 ? kSteps5 : kSteps6;
  const int wanted = kSixteenths * value + fromAbove + errors.right;
  const Step& step = steps[static_cast<std::size_t>(wanted + kMargin)];
  errors.right = step.right;
  *belowLeft = errors.pending + step.downLeft;
  errors.pending = errors.current + step.down;
  errors.current = step.downRight;
  return step.level;
}

// A pixel kept as it is: it takes nothing and gives nothing.
inline void Pass(Errors& errors, int* belowLeft) {
  errors.right = 0;
  *belowLeft = errors.pending;
  errors.pending = errors.current;
  errors.current = 0;
}

// Error for the next row, three channels per pixel, after one pixel of
// margin where error leaving the picture on the left is dropped: `above`
// holds what the row above left for this one, `below` collects what this
// row leaves for the next.
void DitherDiffusionRow(QRgb* row, int w, std::vector<int>& above, std::vector<int>& below) {
  std::array<Errors, 3> errors{};
  int* next = below.data();  // the slot below left of pixel x
  const int* from = above.data() + 3;
  for (int x = 0; x < w; ++x, next += 3, from += 3) {
    const QRgb pixel = row[x];
    if (HeldExactly(pixel)) {
      for (std::size_t c = 0; c < 3; ++c) {
        Pass(errors[c], next + c);
      }
      continue;
    }
    const int r = Diffuse<5>(static_cast<int>((pixel >> 16) & 0xFF), from[0], errors[0], next);
    const int g = Diffuse<6>(static_cast<int>((pixel >> 8) & 0xFF), from[1], errors[1], next + 1);
    const int b = Diffuse<5>(static_cast<int>(pixel & 0xFF), from[2], errors[2], next + 2);
    row[x] = (pixel & 0xFF000000u) | static_cast<QRgb>((r << 16) | (g << 8) | b);
  }
  // The last pixel's slot; what it gave below right leaves the picture.
  for (std::size_t c = 0; c < 3; ++c) {
    next[c] = errors[c].pending;
  }
  std::swap(above, below);
}

}  // namespace

CRowDitherer::CRowDitherer(int width, const ImageSettings& settings)
    : dither_(settings.colorDepth == 0 ? settings.dither : Dither::kNone), width_(width) {
  if (dither_ == Dither::kDiffusion) {
    const auto slots = static_cast<std::size_t>(width + 1) * 3;
    above_.assign(slots, 0);
    below_.assign(slots, 0);
  }
}

void CRowDitherer::DitherRow(int y, QRgb* row) {
  switch (dither_) {
    case Dither::kNone:
      break;
    case Dither::kOrdered:
      DitherOrderedRow(row, width_, y);
      break;
    case Dither::kDiffusion:
      DitherDiffusionRow(row, width_, above_, below_);
      break;
  }
}

void DitherCanvas(QImage& canvas, const ImageSettings& settings) {
  const bool drawnFormat =
      canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32;
  CRowDitherer ditherer(canvas.width(), settings);
  if (!ditherer.Active() || !drawnFormat) {
    return;
  }
  for (int y = 0; y < canvas.height(); ++y) {
    ditherer.DitherRow(y, reinterpret_cast<QRgb*>(canvas.scanLine(y)));
  }
}

}  // namespace zentora
