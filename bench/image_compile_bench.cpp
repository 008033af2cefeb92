// Compile throughput: 60 pictures of 800 × 480 (half PNG, half JPEG),
// compiled into image.bin / image.idx, against decoding the same files with
// the same decoders on as many threads and doing nothing with the rows.
// Reports pictures per second and the ratio of each compile's time to that
// decode-only time, measured in the same run: what packing, dithering and
// writing cost on top of decoding. Each compile's time is also split into
// its pipeline (decoding, packing, writing into the page cache), closing
// the files durably and replacing the old ones: on a slow disk the last two
// take a good part of it whatever the decoders do.
#include <QRgb>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/ordered_pipeline.h"
#include "base/status_sink.h"
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

constexpr const char* kPipeline = "pipeline ms";
constexpr const char* kClose = "close ms";
constexpr const char* kReplace = "replace ms";

// Splits a compile's time by what it reports: the progress bar's 0 as the
// first picture is handed out, its 100 as the last one, decoded and packed,
// is written, and the last line once the files are closed and synced; the
// compile returns when they have replaced the old ones.
class CPhaseSink final : public zentora::StatusSink {
 public:
  using Clock = std::chrono::steady_clock;

  void ClearLines() override {}
  void AppendLine(std::string_view) override { lastLine_ = Clock::now(); }
  void SetProgress(int percent) override {
    if (percent == 0) {
      start_ = Clock::now();
    } else if (percent == 100) {
      lastPicture_ = Clock::now();
    }
  }
  void ShowProgress(bool) override {}

  // Adds this compile's phases, in milliseconds, ending at `end`.
  void AddTo(std::array<double, 3>& totals, Clock::time_point end) const {
    const auto ms = [](Clock::duration d) {
      return std::chrono::duration<double, std::milli>(d).count();
    };
    totals[0] += ms(lastPicture_ - start_);
    totals[1] += ms(lastLine_ - lastPicture_);
    totals[2] += ms(end - lastLine_);
  }

 private:
  Clock::time_point start_;
  Clock::time_point lastPicture_;
  Clock::time_point lastLine_;
};

void Compile(benchmark::State& state, int threads) {
  const auto& pictures = Pictures();
  const std::filesystem::path out = WorkFolder() / "out";
  std::filesystem::create_directories(out);
  zentora::ImageSettings settings;
  settings.colorDepth = static_cast<int>(state.range(0));
  settings.dither = static_cast<zentora::Dither>(state.range(1));
  settings.msbFirst = state.range(2) != 0;
  std::array<double, 3> phases{};
  for (auto _ : state) {
    CPhaseSink sink;
    const zentora::CompileOutcome outcome = zentora::GenerateImageResourcesOnThreads(
        pictures, settings, out / "image.bin", out / "image.idx", sink, threads);
    sink.AddTo(phases, CPhaseSink::Clock::now());
    // In 24 bits the pictures run past the picture area, which is named in a
    // line but still compiles.
    if (zentora::SucceededAsInt(outcome) != 1) {
      state.SkipWithError("compile failed");
    }
  }
  state.counters["pictures/s"] = benchmark::Counter(static_cast<double>(kPictures),
                                                    benchmark::Counter::kIsIterationInvariantRate);
  state.counters[kPipeline] = benchmark::Counter(phases[0], benchmark::Counter::kAvgIterations);
  state.counters[kClose] = benchmark::Counter(phases[1], benchmark::Counter::kAvgIterations);
  state.counters[kReplace] = benchmark::Counter(phases[2], benchmark::Counter::kAvgIterations);
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

// Each compile's pipeline (decoding, packing, writing into the page cache)
// against decoding alone.
void PrintPipelineRatios(const zentora::bench::CRatioReporter& reporter) {
  const auto decode = reporter.Baseline();
  if (decode == reporter.Seconds().end()) {
    return;
  }
  std::printf(
      "\nMedian pipeline time / median decode-only time (the rest of each compile\n"
      "closes the files durably and puts them in place of the old ones):\n");
  for (const auto& [name, counters] : reporter.Counters()) {
    if (const auto pipeline = counters.find(kPipeline); pipeline != counters.end()) {
      std::printf("  %-30s %.2f\n", name.c_str(), pipeline->second / 1e3 / decode->second);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(
      argc, argv, "BM_DecodeOnly",
      "Median time / median decode-only time on " +
          std::to_string(zentora::ImageCompilerThreadCount()) +
          " threads (args: depth 0 = 16-bit, 1 = 24-bit; "
          "dither 0 none, 1 ordered, 2 diffusion; MSB first):",
      [] { Pictures(); }, PrintPipelineRatios);
}
