// Compile throughput: 100 pictures of 800 × 480 (half PNG, half JPEG),
// compiled into image.bin / image.idx, against decoding the same files on one
// thread with nothing else. Reports pictures per second and the ratio of
// compile time to that decode-only time, measured in the same run.
#include <QImage>
#include <QImageReader>
#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/status_sink.h"
#include "bench/null_sink.h"
#include "bench/ratio_reporter.h"
#include "image/image_compiler.h"

namespace {

constexpr int kPictures = 100;
constexpr int kWidth = 800;
constexpr int kHeight = 480;

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-pictures";
}

// Photo-like content: smooth gradients with fine noise, so that PNG and JPEG
// decoding cost what real pictures cost (flat colour would decode far too
// fast).
QImage MakePicture(int seed) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  std::mt19937 random(static_cast<unsigned>(seed));
  std::uniform_int_distribution<int> noise(-12, 12);
  const double phase = seed * 0.37;
  for (int y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const double wave = std::sin(x * 0.013 + phase) * std::cos(y * 0.021 - phase);
      const int red = std::clamp(static_cast<int>(128 + 100 * wave) + noise(random), 0, 255);
      const int green = std::clamp(x * 255 / kWidth + noise(random), 0, 255);
      const int blue = std::clamp(y * 255 / kHeight + noise(random), 0, 255);
      row[x] = qRgb(red, green, blue);
    }
  }
  return image;
}

const std::vector<std::filesystem::path>& Pictures() {
  static const std::vector<std::filesystem::path> pictures = [] {
    std::vector<std::filesystem::path> paths;
    std::filesystem::create_directories(WorkFolder());
    for (int i = 0; i < kPictures; ++i) {
      const bool png = i % 2 == 0;
      std::filesystem::path path =
          WorkFolder() / ("picture-" + std::to_string(i) + (png ? ".png" : ".jpg"));
      if (!std::filesystem::exists(path)) {
        MakePicture(i).save(QString::fromStdString(path.string()), png ? "PNG" : "JPEG",
                            png ? -1 : 85);
      }
      paths.push_back(path);
    }
    return paths;
  }();
  return pictures;
}

void BM_DecodeOnlySingleThread(benchmark::State& state) {
  const auto& pictures = Pictures();
  for (auto _ : state) {
    for (const auto& path : pictures) {
      QImageReader reader(QString::fromStdString(path.string()));
      QImage image = reader.read();
      benchmark::DoNotOptimize(image.constBits());
    }
  }
  state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(kPictures),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

void Compile(benchmark::State& state, int threads) {
  const auto& pictures = Pictures();
  const std::filesystem::path out = WorkFolder() / "out";
  std::filesystem::create_directories(out);
  zentora::ImageSettings settings;
  settings.colorDepth = static_cast<int>(state.range(0));
  zentora::bench::CNullSink sink;
  for (auto _ : state) {
    const zentora::CompileOutcome outcome = zentora::GenerateImageResourcesOnThreads(
        pictures, settings, out / "image.bin", out / "image.idx", sink, threads);
    if (outcome != zentora::CompileOutcome::Written) {
      state.SkipWithError("compile failed");
    }
  }
  state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(kPictures),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CompileSingleThread(benchmark::State& state) {
  Compile(state, 1);
}
void BM_Compile(benchmark::State& state) {
  Compile(state, zentora::ImageCompilerThreadCount());
}

BENCHMARK(BM_DecodeOnlySingleThread)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_CompileSingleThread)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_Compile)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  Pictures();  // made before anything is timed
  zentora::bench::CRatioReporter reporter(
      "BM_DecodeOnlySingleThread",
      "Median compile time / median single-threaded decode-only time, " +
          std::to_string(zentora::ImageCompilerThreadCount()) +
          " threads (arg 0 = 16-bit, 1 = 24-bit):");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
