// Compile throughput: 60 pictures of 800 × 480 (half PNG, half JPEG),
// compiled into image.bin / image.idx, against decoding the same files with
// the same decoders on as many threads and doing nothing with the rows.
// Reports pictures per second and the ratio of each compile's time to that
// decode-only time, measured in the same run: what packing, dithering and
// writing cost on top of decoding.
#include <QRgb>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/ordered_pipeline.h"
#include "base/status_sink.h"
#include "bench/null_sink.h"
#include "bench/photo_pictures.h"
#include "bench/ratio_reporter.h"
#include "image/image_compiler.h"
#include "image/picture_rows.h"

namespace {

constexpr int kPictures = 60;

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-pictures";
}

const std::vector<std::filesystem::path>& Pictures() {
  static const std::vector<std::filesystem::path> pictures =
      zentora::bench::PhotoPictures(kPictures);
  return pictures;
}

// Takes the rows and does nothing with them.
class CDiscardingSink final : public zentora::CPictureRowSink {
 public:
  bool Begin(QSize) override { return true; }
  void PixelRow(int, QRgb* row) override { benchmark::DoNotOptimize(row); }
  void RgbRow(int, const std::uint8_t* rgb) override { benchmark::DoNotOptimize(rgb); }
  std::span<std::uint8_t> Scratch(std::size_t bytes) override {
    scratch_.resize(bytes);
    return scratch_;
  }

 private:
  std::vector<std::uint8_t> scratch_;
};

void BM_DecodeOnly(benchmark::State& state) {
  const auto& pictures = Pictures();
  const int threads = zentora::ImageCompilerThreadCount();
  for (auto _ : state) {
    zentora::RunOrderedPipeline<bool>(
        kPictures, threads, 2 * threads,
        [&](int i) {
          CDiscardingSink sink;
          return zentora::ReadPictureRows(pictures[static_cast<std::size_t>(i)], {3}, sink)
                     .status == zentora::PictureRead::Status::Drawn;
        },
        [&](int, bool drawn) {
          if (!drawn) {
            state.SkipWithError("a picture did not decode");
          }
          return drawn;
        });
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
  settings.msbFirst = state.range(2) != 0;
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

void BM_Compile(benchmark::State& state) {
  Compile(state, zentora::ImageCompilerThreadCount());
}

BENCHMARK(BM_DecodeOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
// Depth (0 = 16-bit, 1 = 24-bit), dither (0 none, 1 ordered, 2 diffusion),
// MSB first.
BENCHMARK(BM_Compile)
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 2, 0})
    ->Args({1, 0, 0})
    ->Args({1, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(argc, argv, "BM_DecodeOnly",
                                       "Median time / median decode-only time on " +
                                           std::to_string(zentora::ImageCompilerThreadCount()) +
                                           " threads (args: depth 0 = 16-bit, 1 = 24-bit; dither 0 "
                                           "none, 1 ordered, 2 diffusion; MSB "
                                           "first):",
                                       [] { Pictures(); });
}
