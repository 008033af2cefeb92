// Compile throughput: 100 pictures of 800 × 480 (half PNG, half JPEG),
// compiled into image.bin / image.idx, against decoding the same files on one
// thread with nothing else. Reports pictures per second and the ratio of
// compile time to that decode-only time, measured in the same run.
#include <QImage>
#include <QImageReader>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/status_sink.h"
#include "bench/null_sink.h"
#include "bench/photo_pictures.h"
#include "bench/ratio_reporter.h"
#include "image/image_compiler.h"

namespace {

constexpr int kPictures = 100;

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-pictures";
}

const std::vector<std::filesystem::path>& Pictures() {
  static const std::vector<std::filesystem::path> pictures =
      zentora::bench::PhotoPictures(kPictures);
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
  settings.dither = static_cast<zentora::Dither>(state.range(1));
  zentora::bench::CNullSink sink;
  for (auto _ : state) {
    const zentora::CompileOutcome outcome = zentora::GenerateImageResourcesOnThreads(
        pictures, settings, out / "image.bin", out / "image.idx", sink, threads);
    // In 24 bits the pictures run past the picture area, which is named in a
    // line but still compiles.
    if (zentora::SucceededAsInt(outcome) != 1) {
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
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_Compile)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(
      argc, argv, "BM_DecodeOnlySingleThread",
      "Median compile time / median single-threaded decode-only time, " +
          std::to_string(zentora::ImageCompilerThreadCount()) +
          " threads (args: 0 = 16-bit, 1 = 24-bit; dither 0 none, 1 ordered, 2 diffusion):",
      [] { Pictures(); });
}
