#include "image/picture_dither.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "base/vector_clones.h"

namespace zentora {

namespace {

// A level of a `bits`-bit channel as the module widens it to 8 bits: the
// high bits repeated below the level.
constexpr int Widen(int level, int bits) {
  return (level << (8 - bits)) | (level >> (2 * bits - 8));
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
// proportion. Plain arithmetic without tables or branches, so that the loops
// over a row vectorise.
//
// Every value fits 16 bits; written in 16-bit steps, the loops vectorise
// sixteen values to a register instead of eight.
template <int kBits>
inline std::uint16_t Ordered(std::uint16_t value, std::uint16_t twiceThresholdPlusOne) {
  using U16 = std::uint16_t;
  constexpr int kShift = 8 - kBits;
  constexpr U16 kMask = (1 << (2 * kBits - 8)) - 1;
  const auto level = static_cast<U16>(static_cast<U16>(value - (value >> kBits)) >> kShift);
  const auto low = static_cast<U16>((level << kShift) | (level >> (2 * kBits - 8)));
  // The step is 2^kShift, or one more where the next level's repeated high
  // bits grow: (2t + 1) · g without a multiplication.
  const U16 wide = (level & kMask) == kMask ? 1 : 0;
  const auto scaled =
      static_cast<U16>((twiceThresholdPlusOne << kShift) + wide * twiceThresholdPlusOne);
  const auto high = static_cast<U16>(low + (1 << kShift) + wide);
  const auto above = static_cast<U16>(static_cast<U16>(value - low) << 7);
  return scaled < above ? high : low;
}

static_assert(std::endian::native == std::endian::little,
              "a QRgb 0xAARRGGBB is stored as blue, green, red, alpha");

// The channels of QRgb values in their bytes: blue, green, red, alpha.
ZENTORA_VECTOR_CLONES void OrderedPixels(QRgb* __restrict row,
                                         const std::uint8_t* __restrict thresholds,
                                         std::size_t count) {
  auto* bytes = reinterpret_cast<std::uint8_t*>(row);
  for (std::size_t x = 0; x < count; ++x) {
    const std::uint16_t t = thresholds[x];
    bytes[4 * x] = static_cast<std::uint8_t>(Ordered<5>(bytes[4 * x], t));
    bytes[4 * x + 1] = static_cast<std::uint8_t>(Ordered<6>(bytes[4 * x + 1], t));
    bytes[4 * x + 2] = static_cast<std::uint8_t>(Ordered<5>(bytes[4 * x + 2], t));
  }
}

ZENTORA_VECTOR_CLONES void OrderedRgb(const std::uint8_t* __restrict rgb,
                                      std::uint8_t* __restrict out,
                                      const std::uint8_t* __restrict thresholds,
                                      std::size_t count) {
  for (std::size_t x = 0; x < count; ++x) {
    const std::uint16_t t = thresholds[x];
    out[3 * x] = static_cast<std::uint8_t>(Ordered<5>(rgb[3 * x], t));
    out[3 * x + 1] = static_cast<std::uint8_t>(Ordered<6>(rgb[3 * x + 1], t));
    out[3 * x + 2] = static_cast<std::uint8_t>(Ordered<5>(rgb[3 * x + 2], t));
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

// The error e = clamped − 16 · level of a pixel is shared out as 7/16 to the
// right, 3/16 below left, 5/16 below, each rounded half up (>> rounds down),
// and what is left of e below right, so that none is lost (`Carry` below).
// In 16-bit steps (an error is at most 72), so that the loop over a row's
// errors vectorises sixteen to a register.
template <int kWeight>
constexpr std::int16_t Share(std::int16_t error) {
  return static_cast<std::int16_t>(static_cast<std::int16_t>(kWeight * error + 8) >> 4);
}

// What a wanted value in sixteenths (offset by kMargin) becomes: the widened
// level nearest to it after clamping to 0 … 4080 (halfway goes up), its
// error, and the error's share to the right, the one the walk along the row
// waits for. Every field fits a byte.
struct Step {
  std::uint8_t level = 0;
  std::int8_t right = 0;
  std::int8_t error = 0;
  std::uint8_t unused = 0;
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
    Step& step = steps[static_cast<std::size_t>(wanted + kMargin)];
    step.level = static_cast<std::uint8_t>(Widen(level, kBits));
    step.right = static_cast<std::int8_t>(Share<7>(static_cast<std::int16_t>(error)));
    step.error = static_cast<std::int8_t>(error);
  }
  return steps;
}

// Both tables in one, the 6-bit one second, so that the walk along a row
// keeps one pointer for both.
constexpr std::array<Step, 2 * kTableSize> MakeAllSteps() {
  std::array<Step, 2 * kTableSize> steps{};
  const std::array<Step, kTableSize> five = MakeSteps<5>();
  const std::array<Step, kTableSize> six = MakeSteps<6>();
  for (std::size_t i = 0; i < kTableSize; ++i) {
    steps[i] = five[i];
    steps[kTableSize + i] = six[i];
  }
  return steps;
}

constexpr std::array<Step, 2 * kTableSize> kSteps = MakeAllSteps();

// The diffusion's rows hold four slots a pixel, in the order of a QRgb's
// bytes in memory: blue, green, red and one unused. Slot-for-slot loops over
// them vectorise without picking channels apart.
constexpr std::size_t kSlots = 4;
constexpr std::size_t kBlue = 0;
constexpr std::size_t kGreen = 1;
constexpr std::size_t kRed = 2;

// Whether each pixel of a row is held exactly, in a loop that vectorises
// (the walk then has the registers it needs for itself).
inline std::uint8_t Held(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
  const auto level5 = [](std::uint16_t v) {
    return static_cast<std::uint16_t>(((v >> 3) << 3) | (v >> 5)) == v;
  };
  const auto level6 = [](std::uint16_t v) {
    return static_cast<std::uint16_t>(((v >> 2) << 2) | (v >> 6)) == v;
  };
  return level5(red) && level6(green) && level5(blue) ? 1 : 0;
}

ZENTORA_VECTOR_CLONES void HeldPixels(const QRgb* __restrict row, std::size_t count,
                                      std::uint8_t* __restrict held) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(row);
  for (std::size_t x = 0; x < count; ++x) {
    held[x] = Held(bytes[4 * x + 2], bytes[4 * x + 1], bytes[4 * x]);
  }
}

ZENTORA_VECTOR_CLONES void HeldRgb(const std::uint8_t* __restrict rgb, std::size_t count,
                                   std::uint8_t* __restrict held) {
  for (std::size_t x = 0; x < count; ++x) {
    held[x] = Held(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]);
  }
}

// A pixel's channels where it is stored: QRgb values (1 a pixel, red in
// bits 16–23) or red, green, blue bytes (3 a pixel).
struct PixelChannels {
  static int Red(const QRgb* p) { return static_cast<int>((*p >> 16) & 0xFF); }
  static int Green(const QRgb* p) { return static_cast<int>((*p >> 8) & 0xFF); }
  static int Blue(const QRgb* p) { return static_cast<int>(*p & 0xFF); }
  static int Red(const std::uint8_t* p) { return p[0]; }
  static int Green(const std::uint8_t* p) { return p[1]; }
  static int Blue(const std::uint8_t* p) { return p[2]; }
};

// The walk along a row: per pixel and channel, the wanted value 16 · value
// + the shares from the row above and from the left, and its table entry.
// Only the share from the left waits for the pixel before; the rest of the
// work fills the time that look-up takes, and the shares for the row below
// are worked out after the walk, in a loop that vectorises. Pixel x's
// errors go to errors[kSlots · (x + 1) + channel]. A pixel held exactly is
// kept: it takes nothing and gives nothing. Kept out of line and free of
// other state, so that the three shares from the left stay in registers
// rather than go to the stack and back on every pixel.
template <typename In, typename Out>
[[gnu::noinline]] void Walk(const In* in, Out* out, std::size_t count,
                            const std::int16_t* fromAbove, std::int8_t* errors,
                            const std::uint8_t* held) {
  constexpr std::size_t kStep = std::is_same_v<In, QRgb> ? 1 : 3;
  const Step* steps = kSteps.data();
  // Full-width shares: the index needs no widening between the look-up and
  // the next pixel's look-up that waits for it.
  std::ptrdiff_t rightRed = 0;
  std::ptrdiff_t rightGreen = 0;
  std::ptrdiff_t rightBlue = 0;
  errors += kSlots;
  for (std::size_t x = 0; x < count;
       ++x, in += kStep, out += kStep, fromAbove += kSlots, errors += kSlots) {
    if (held[x] != 0) {
      rightRed = rightGreen = rightBlue = 0;
      errors[kBlue] = errors[kGreen] = errors[kRed] = 0;
      std::copy_n(in, kStep, out);
      continue;
    }
    const Step& b =
        steps[kSixteenths * PixelChannels::Blue(in) + fromAbove[kBlue] + kMargin + rightBlue];
    const Step& g =
        steps[static_cast<std::ptrdiff_t>(kTableSize) + kSixteenths * PixelChannels::Green(in) +
              fromAbove[kGreen] + kMargin + rightGreen];
    const Step& r =
        steps[kSixteenths * PixelChannels::Red(in) + fromAbove[kRed] + kMargin + rightRed];
    rightRed = r.right;
    rightGreen = g.right;
    rightBlue = b.right;
    errors[kBlue] = b.error;
    errors[kGreen] = g.error;
    errors[kRed] = r.error;
    if constexpr (std::is_same_v<Out, QRgb>) {
      *out = (*in & 0xFF000000u) | static_cast<QRgb>((r.level << 16) | (g.level << 8) | b.level);
    } else {
      out[0] = r.level;
      out[1] = g.level;
      out[2] = b.level;
    }
  }
}

// The shares the row below gets from this one: pixel x below takes the
// share below from x, below left from x + 1 and below right (what is left
// of the error) from x − 1. Shares that would leave the picture at either
// side fall on the zero slots around the row's errors and are dropped.
ZENTORA_VECTOR_CLONES void Carry(const std::int8_t* __restrict errors, std::size_t count,
                                 std::int16_t* __restrict fromAbove) {
  for (std::size_t i = 0; i < kSlots * count; ++i) {
    const std::int16_t left = errors[i];
    const auto belowRight =
        static_cast<std::int16_t>(left - Share<7>(left) - Share<3>(left) - Share<5>(left));
    fromAbove[i] = static_cast<std::int16_t>(Share<5>(errors[i + kSlots]) +
                                             Share<3>(errors[i + 2 * kSlots]) + belowRight);
  }
}

}  // namespace

template <typename In, typename Out>
void CRowDitherer::DiffuseRow(const In* in, Out* out) {
  const auto count = static_cast<std::size_t>(width_);
  if constexpr (std::is_same_v<In, QRgb>) {
    HeldPixels(in, count, held_.data());
  } else {
    HeldRgb(in, count, held_.data());
  }
  Walk(in, out, count, fromAbove_.data(), errors_.data(), held_.data());
  Carry(errors_.data(), count, fromAbove_.data());
}

CRowDitherer::CRowDitherer(int width, const ImageSettings& settings)
    : dither_(settings.colorDepth == 0 ? settings.dither : Dither::kNone), width_(width) {
  const auto count = static_cast<std::size_t>(std::max(width, 0));
  if (dither_ == Dither::kOrdered) {
    // 2t + 1 for every column, one row of them for each row of the table.
    for (std::size_t phase = 0; phase < 8; ++phase) {
      thresholds_[phase].resize(count);
      for (std::size_t x = 0; x < count; ++x) {
        thresholds_[phase][x] = static_cast<std::uint8_t>(2 * kThresholds[phase][x & 7] + 1);
      }
    }
  } else if (dither_ == Dither::kDiffusion) {
    fromAbove_.assign(kSlots * count, 0);
    errors_.assign(kSlots * (count + 2), 0);
    held_.resize(count);
  }
}

void CRowDitherer::DitherRow(int y, QRgb* row) {
  const auto count = static_cast<std::size_t>(width_);
  switch (dither_) {
    case Dither::kNone:
      break;
    case Dither::kOrdered:
      OrderedPixels(row, thresholds_[static_cast<std::size_t>(y & 7)].data(), count);
      break;
    case Dither::kDiffusion:
      DiffuseRow(row, row);
      break;
  }
}

void CRowDitherer::DitherRow(int y, const std::uint8_t* rgb, std::uint8_t* out) {
  const auto count = static_cast<std::size_t>(width_);
  switch (dither_) {
    case Dither::kNone:
      std::copy_n(rgb, 3 * count, out);
      break;
    case Dither::kOrdered:
      OrderedRgb(rgb, out, thresholds_[static_cast<std::size_t>(y & 7)].data(), count);
      break;
    case Dither::kDiffusion:
      DiffuseRow(rgb, out);
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
