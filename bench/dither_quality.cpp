// How close 16-bit pictures come to their originals as the module shows
// them (packed, then widened back), without and with each dither: the
// largest mean error of a channel (bias) over flat patches of every gray and
// of a sweep of colours, and over whole pictures; and the RMS error after a
// Gaussian low-pass of 2 px, roughly what the eye sees at arm's length, for a
// gray ramp, a colour ramp and a smooth photo-like picture.
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "image/image_settings.h"
#include "image/picture_dither.h"
#include "image/pixel_packing.h"
#include "readback/picture_unpacking.h"

namespace {

using zentora::Dither;

constexpr std::array<Dither, 3> kDithers = {Dither::kNone, Dither::kOrdered, Dither::kDiffusion};
constexpr std::array<const char*, 3> kNames = {"none", "ordered", "diffusion"};

QImage Shown(const QImage& original, Dither dither) {
  zentora::ImageSettings settings;
  settings.dither = dither;
  QImage canvas = original.copy();
  zentora::DitherCanvas(canvas, settings);
  const auto block = zentora::PackPicture(canvas, canvas.width(), canvas.height(), settings);
  return zentora::UnpackPicture(block, canvas.width(), canvas.height(), settings);
}

int Channel(QRgb pixel, int c) {
  return c == 0 ? qRed(pixel) : c == 1 ? qGreen(pixel) : qBlue(pixel);
}

// The largest absolute difference of a channel's means.
double Bias(const QImage& original, const QImage& shown) {
  double worst = 0;
  for (int c = 0; c < 3; ++c) {
    double sum = 0;
    for (int y = 0; y < original.height(); ++y) {
      for (int x = 0; x < original.width(); ++x) {
        sum += Channel(shown.pixel(x, y), c) - Channel(original.pixel(x, y), c);
      }
    }
    worst = std::max(worst, std::abs(sum / (original.width() * original.height())));
  }
  return worst;
}

// One pass of a Gaussian of sigma 2 along rows (step 1) or columns.
std::vector<double> Blur(const std::vector<double>& in, int w, int h, bool alongRows) {
  constexpr int kRadius = 6;
  std::array<double, 2 * kRadius + 1> weights{};
  double total = 0;
  for (int i = -kRadius; i <= kRadius; ++i) {
    weights[static_cast<std::size_t>(i + kRadius)] = std::exp(-i * i / 8.0);
    total += weights[static_cast<std::size_t>(i + kRadius)];
  }
  std::vector<double> out(in.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double sum = 0;
      for (int i = -kRadius; i <= kRadius; ++i) {
        const int sx = alongRows ? std::clamp(x + i, 0, w - 1) : x;
        const int sy = alongRows ? y : std::clamp(y + i, 0, h - 1);
        sum += weights[static_cast<std::size_t>(i + kRadius)] *
               in[static_cast<std::size_t>(sy * w + sx)];
      }
      out[static_cast<std::size_t>(y * w + x)] = sum / total;
    }
  }
  return out;
}

double LowPassRms(const QImage& original, const QImage& shown) {
  const int w = original.width();
  const int h = original.height();
  double squares = 0;
  for (int c = 0; c < 3; ++c) {
    std::vector<double> difference(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        difference[static_cast<std::size_t>(y * w + x)] =
            Channel(shown.pixel(x, y), c) - Channel(original.pixel(x, y), c);
      }
    }
    for (double d : Blur(Blur(difference, w, h, true), w, h, false)) {
      squares += d * d;
    }
  }
  return std::sqrt(squares / (3.0 * w * h));
}

template <typename Colour>
QImage Picture(int w, int h, Colour colour) {
  QImage picture(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      picture.setPixel(x, y, colour(x, y));
    }
  }
  return picture;
}

}  // namespace

int main() {
  const QImage grayRamp = Picture(512, 64, [](int x, int) { return qRgb(x / 2, x / 2, x / 2); });
  const QImage colourRamp =
      Picture(512, 64, [](int x, int) { return qRgb(x / 2, 255 - x / 2, 64 + x / 4); });
  // Smooth like a sky or a skin: slow waves, no noise.
  const QImage photo = Picture(800, 480, [](int x, int y) {
    const double a = std::sin(x * 0.011) * std::cos(y * 0.017);
    const double b = std::sin((x + y) * 0.007);
    return qRgb(static_cast<int>(128 + 110 * a), static_cast<int>(120 + 100 * b),
                static_cast<int>(90 + 60 * a * b + y * 0.2));
  });

  std::printf("%-12s %10s %10s %10s\n", "", kNames[0], kNames[1], kNames[2]);
  std::array<double, 3> flat{};
  for (int v = 0; v < 256; ++v) {
    const QRgb colours[] = {qRgb(v, v, v), qRgb(v, 255 - v, (v * 37) % 256),
                            qRgb((v * 11) % 256, v, 255 - v)};
    for (QRgb colour : colours) {
      const QImage patch = Picture(32, 32, [&](int, int) { return colour; });
      for (std::size_t d = 0; d < kDithers.size(); ++d) {
        flat[d] = std::max(flat[d], Bias(patch, Shown(patch, kDithers[d])));
      }
    }
  }
  std::printf("%-12s %10.2f %10.2f %10.2f   largest bias, 768 flat 32 x 32 patches\n", "flat",
              flat[0], flat[1], flat[2]);
  const struct {
    const char* name;
    const QImage& picture;
  } pictures[] = {{"gray ramp", grayRamp}, {"colour ramp", colourRamp}, {"photo", photo}};
  for (const auto& [name, picture] : pictures) {
    std::array<double, 3> bias{};
    std::array<double, 3> rms{};
    for (std::size_t d = 0; d < kDithers.size(); ++d) {
      const QImage shown = Shown(picture, kDithers[d]);
      bias[d] = Bias(picture, shown);
      rms[d] = LowPassRms(picture, shown);
    }
    std::printf("%-12s %10.2f %10.2f %10.2f   bias\n", name, bias[0], bias[1], bias[2]);
    std::printf("%-12s %10.2f %10.2f %10.2f   low-passed RMS (ratio %.2f, %.2f)\n", "", rms[0],
                rms[1], rms[2], rms[1] / rms[0], rms[2] / rms[0]);
  }
  return 0;
}
