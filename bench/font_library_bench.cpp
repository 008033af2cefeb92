// Font library generation: the GB2312 and GBK sets at 16 and 48 pixels,
// rendered into memory on one thread and on every core, with the font the
// glyph dialog selects first (or the one the environment variable
// ZENTORA_BENCH_FONT names). Reports seconds per library and microseconds
// per glyph.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stop_token>
#include <string>
#include <thread>

#include "bench/null_sink.h"
#include "font/font_catalog.h"
#include "font/font_library.h"
#include "font/glyph_renderer.h"

namespace {

zentora::FontDesc BenchFont(int height) {
  const char* chosen = std::getenv("ZENTORA_BENCH_FONT");
  return {chosen != nullptr ? std::string(chosen) : zentora::DefaultFontName().value_or(""),
          height,
          zentora::kGb2312Charset,
          {}};
}

int AllCores() {
  return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

// Arguments: character set, cell size, threads.
void BM_RenderLibrary(benchmark::State& state) {
  const auto charset = static_cast<zentora::CharsetKind>(state.range(0));
  const int cell = static_cast<int>(state.range(1));
  const int threads = static_cast<int>(state.range(2));
  const zentora::LibraryRequest request{BenchFont(cell), {cell, cell, true, true}, charset, {}};
  zentora::bench::CNullSink sink;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    auto library = zentora::RenderLibrary(request, sink, std::stop_token(), threads);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!library || library->size() != zentora::LibraryLength(charset, request.layout)) {
      state.SkipWithError("the library was not rendered whole");
      break;
    }
    benchmark::DoNotOptimize(library->data());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["seconds"] = seconds / runs;
  state.counters["us_per_glyph"] = seconds * 1e6 / (runs * zentora::GlyphCount(charset));
  state.SetLabel(std::string(charset == zentora::CharsetKind::kGbk ? "GBK" : "GB2312") + " " +
                 std::to_string(cell) + "px");
}

void Cases(benchmark::internal::Benchmark* bench) {
  for (const int charset : {1, 2}) {
    for (const int cell : {16, 48}) {
      for (const int threads : {1, AllCores()}) {
        bench->Args({charset, cell, threads});
      }
    }
  }
}

BENCHMARK(BM_RenderLibrary)
    ->Apply(Cases)
    ->ArgNames({"set", "cell", "threads"})
    ->Iterations(5)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  // The font list and fontconfig's set-up are made before anything is timed.
  const zentora::FontDesc font = BenchFont(16);
  benchmark::DoNotOptimize(zentora::RenderChar(font, 16, 16, u'字').coverage.data());
  std::printf("font: %s\n", font.faceName.c_str());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
