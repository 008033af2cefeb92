// Compile throughput: 60 pictures of 800 × 480 (half PNG, half JPEG),
// compiled into image.bin / image.idx, against decoding the same files with
// the same decoders on as many threads and doing nothing with the rows.
// Reports pictures per second and the ratio of each compile's time to that
// decode-only time, measured in the same run: what packing, dithering and
// writing cost on top of decoding. Writing the same bytes alone, through
// the same files, renames and syncs, is measured too: on a slow disk it,
// not the decoding, is the floor, and each compile is also set against the
// larger of the two.
#include <QRgb>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/compiler_files.h"
#include "base/ordered_pipeline.h"
#include "base/status_sink.h"
#include "bench/null_sink.h"
#include "bench/photo_pictures.h"
#include "bench/ratio_reporter.h"
#include "image/image_compiler.h"
#include "image/picture_rows.h"
#include "image/pixel_packing.h"

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

// The compile's files with as many bytes, written and synced without
// decoding or packing anything.
void BM_WriteOnly(benchmark::State& state) {
  const std::filesystem::path out = WorkFolder() / "out";
  std::filesystem::create_directories(out);
  zentora::ImageSettings settings;
  settings.colorDepth = static_cast<int>(state.range(0));
  const std::vector<std::uint8_t> block(
      zentora::PackedSize(zentora::bench::kPhotoWidth, zentora::bench::kPhotoHeight, settings),
      0x5A);
  const std::vector<std::uint8_t> entry(16, 0xA5);
  constexpr zentora::ResourceCompilerTexts kTexts{zentora::CCompilerFiles::Kind::kData, "", "", ""};
  zentora::bench::CNullSink sink;
  for (auto _ : state) {
    const zentora::CompileOutcome outcome =
        zentora::CompileAlone(out / "image.bin", sink, [&](zentora::CFileSetReplacement& outputs) {
          return zentora::RunResourceCompiler(
              kTexts, outputs, out / "image.bin", out / "image.idx", kPictures, sink,
              [&](zentora::CCompilerFiles& files, bool&) {
                for (int i = 0; i < kPictures; ++i) {
                  if (zentora::Status written =
                          files.Write(zentora::CCompilerFiles::Kind::kData, block);
                      !written) {
                    return written;
                  }
                  if (zentora::Status written =
                          files.Write(zentora::CCompilerFiles::Kind::kIndex, entry);
                      !written) {
                    return written;
                  }
                }
                return zentora::Status::Ok();
              });
        });
    if (zentora::SucceededAsInt(outcome) != 1) {
      state.SkipWithError("write failed");
    }
  }
}

void BM_Compile(benchmark::State& state) {
  Compile(state, zentora::ImageCompilerThreadCount());
}

BENCHMARK(BM_DecodeOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_WriteOnly)
    ->Arg(0)
    ->Arg(1)
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

// Each compile against the larger of decoding alone and writing its bytes
// alone: how far the pipeline is from its slower half.
void PrintFloors(const std::map<std::string, double>& seconds) {
  const auto decode = std::find_if(seconds.begin(), seconds.end(), [](const auto& entry) {
    return entry.first.starts_with("BM_DecodeOnly/");
  });
  if (decode == seconds.end()) {
    return;
  }
  std::printf("\nMedian time / max(decode-only, write-only of the same depth):\n");
  for (const auto& [name, time] : seconds) {
    if (!name.starts_with("BM_Compile/")) {
      continue;
    }
    // "BM_Compile/<depth>/..." pairs with "BM_WriteOnly/<depth>/...".
    const std::string depth = name.substr(std::string("BM_Compile/").size(), 1);
    const auto write = std::find_if(seconds.begin(), seconds.end(), [&](const auto& entry) {
      return entry.first.starts_with("BM_WriteOnly/" + depth);
    });
    if (write == seconds.end()) {
      continue;
    }
    std::printf("  %-30s %.2f (decode %.1f ms, write %.1f ms)\n", name.c_str(),
                time / std::max(decode->second, write->second), decode->second * 1e3,
                write->second * 1e3);
  }
}

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(
      argc, argv, "BM_DecodeOnly",
      "Median time / median decode-only time on " +
          std::to_string(zentora::ImageCompilerThreadCount()) +
          " threads (args: depth 0 = 16-bit, 1 = 24-bit; dither 0 "
          "none, 1 ordered, 2 diffusion; MSB "
          "first):",
      [] { Pictures(); }, PrintFloors);
}
