// Reading compiled resources back: a folder of 1,000 pictures of 800 × 480
// (100 photo-like PNG and JPEG files, each listed ten times). The table
// (index read, checked and formatted) must take well under 0.2 s; writing
// every picture as PNG with its contact sheet is compared with the compile
// that made the folder, measured in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/null_sink.h"
#include "bench/photo_pictures.h"
#include "bench/ratio_reporter.h"
#include "image/image_compiler.h"
#include "readback/readback_output.h"
#include "readback/resource_listing.h"

namespace {

constexpr int kDistinct = 100;
constexpr int kPictures = 1000;

std::filesystem::path Folder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-inspect";
}

std::vector<std::filesystem::path> PictureList() {
  const std::vector<std::filesystem::path> distinct = zentora::bench::PhotoPictures(kDistinct);
  std::vector<std::filesystem::path> list;
  for (int i = 0; i < kPictures; ++i) {
    list.push_back(distinct[static_cast<std::size_t>(i % kDistinct)]);
  }
  return list;
}

void Compile(const std::vector<std::filesystem::path>& list) {
  zentora::bench::CNullSink sink;
  std::filesystem::create_directories(Folder());
  zentora::GenerateImageResources(list, zentora::ImageSettings{}, Folder() / "image.bin",
                                  Folder() / "image.idx", sink);
}

void BM_Compile(benchmark::State& state) {
  const std::vector<std::filesystem::path> list = PictureList();
  for (auto _ : state) {
    Compile(list);
  }
}

void BM_Table(benchmark::State& state) {
  for (auto _ : state) {
    const zentora::Result<zentora::ResourceListing> listing = zentora::ReadResourceFolder(Folder());
    std::string table;
    for (const zentora::PictureEntry& entry : listing.value().pictures) {
      table += zentora::PictureLine(entry) + "\n";
    }
    benchmark::DoNotOptimize(table.data());
  }
}

void BM_WritePngs(benchmark::State& state) {
  const zentora::ResourceListing listing = zentora::ReadResourceFolder(Folder()).value();
  zentora::bench::CNullSink sink;
  const auto noLabels = [](QImage&, const QRect&, std::string_view) {};
  for (auto _ : state) {
    const std::vector<std::string> problems = zentora::WritePictureFiles(
        Folder(), listing, zentora::ImageSettings{}, Folder() / "png", noLabels, sink);
    if (!problems.empty()) {
      state.SkipWithError(problems.front().c_str());
    }
  }
}

BENCHMARK(BM_Compile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_Table)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_WritePngs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(
      argc, argv, "BM_Compile", "Median time / median compile time of the same 1,000 pictures:",
      [] { Compile(PictureList()); });
}
