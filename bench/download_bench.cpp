// Download overhead, measured against the simulated module:
//  - the cost of one frame on our side (protocol, link and the simulator's
//    own bookkeeping) with no latency at all, as frames per second;
//  - how close sending a 1 MiB image.bin comes to the bound that a link
//    with 1 ms per bulk write and per bulk read sets: one frame is one write
//    and one read, and the file takes 513 frames, so 1026 ms.
//
// The program needs the simulator in front of libusb; when it was started
// without it, it starts itself again with LD_PRELOAD set.
#include <stdlib.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "bench/null_sink.h"
#include "download/download_protocol.h"
#include "modsim_control.h"

namespace {

constexpr std::size_t kFileSize = std::size_t{1} << 20;
// 512 full frames and the empty one that ends the file.
constexpr double kFrames = static_cast<double>(kFileSize / zentora::kFramePayloadSize + 1);
constexpr long kLatencyUs = 1000;
constexpr double kIdealSeconds = 2.0 * kFrames * static_cast<double>(kLatencyUs) / 1e6;

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-download";
}

const std::filesystem::path& ImageData() {
  static const std::filesystem::path path = [] {
    std::filesystem::create_directories(WorkFolder());
    std::filesystem::path file = WorkFolder() / "image.bin";
    std::string bytes(kFileSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }();
  return path;
}

// Restarts the simulator with one module, nothing saved (the disk is not
// what is measured) and the given latency per bulk write and read.
void RestartModule(const zentora::ModsimControl& control, long latencyUs) {
  for (const char* name :
       {"ZENTORA_MODSIM_DIR", "ZENTORA_MODSIM_LOG", "ZENTORA_MODSIM_MODULES", "ZENTORA_MODSIM_ACK",
        "ZENTORA_MODSIM_BAD_ACK", "ZENTORA_MODSIM_BAD_ACK_AFTER", "ZENTORA_MODSIM_SILENT_AFTER",
        "ZENTORA_MODSIM_HANG_MS", "ZENTORA_MODSIM_WRITE_FAIL_AFTER",
        "ZENTORA_MODSIM_OPEN_FAIL_AFTER", "ZENTORA_MODSIM_LATENCY_US"}) {
    unsetenv(name);
  }
  if (latencyUs > 0) {
    setenv("ZENTORA_MODSIM_LATENCY_US", std::to_string(latencyUs).c_str(), 1);
  }
  control.reset();
}

// Sends the file once; false (and the benchmark marked failed) when the
// module did not take it.
bool SendOnce(benchmark::State& state, const zentora::ModsimControl& control) {
  zentora::bench::CNullSink sink;
  if (zentora::DownloadFile(zentora::DL_IMAGE_DATA, ImageData(), sink) != 1 ||
      control.violations() != 0) {
    state.SkipWithError("the module did not take the file");
    return false;
  }
  return true;
}

void BM_FramesWithoutLatency(benchmark::State& state) {
  const zentora::ModsimControl control = zentora::ModsimControl::Find();
  ImageData();
  RestartModule(control, 0);
  for (auto _ : state) {
    if (!SendOnce(state, control)) {
      break;
    }
    // The simulator keeps its log in memory; start each run with an empty
    // one so that later runs do not pay for earlier ones.
    state.PauseTiming();
    control.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kFileSize));
  state.counters["frames/s"] =
      benchmark::Counter(kFrames, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["time/frame"] = benchmark::Counter(
      kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FramesWithoutLatency)->Unit(benchmark::kMillisecond);

// The time per run of the benchmark below, for the summary.
double latencyBoundSeconds = 0;

void BM_OneMebibyteWithOneMillisecondLatency(benchmark::State& state) {
  const zentora::ModsimControl control = zentora::ModsimControl::Find();
  ImageData();
  double seconds = 0;
  for (auto _ : state) {
    RestartModule(control, kLatencyUs);
    const auto start = std::chrono::steady_clock::now();
    if (!SendOnce(state, control)) {
      break;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    seconds += took.count();
  }
  RestartModule(control, 0);
  const double perRun =
      seconds / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
  state.counters["ideal_ms"] = kIdealSeconds * 1e3;
  state.counters["x_ideal"] = perRun / kIdealSeconds;
  latencyBoundSeconds = perRun;
}
BENCHMARK(BM_OneMebibyteWithOneMillisecondLatency)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!zentora::ModsimControl::Find().Loaded()) {
    const char* preloaded = std::getenv("LD_PRELOAD");
    if (preloaded != nullptr && std::strstr(preloaded, ZENTORA_MODSIM_LIBRARY) != nullptr) {
      std::fprintf(stderr, "download_bench: %s is preloaded but not found\n",
                   ZENTORA_MODSIM_LIBRARY);
      return 1;
    }
    std::string value = ZENTORA_MODSIM_LIBRARY;
    if (preloaded != nullptr && *preloaded != '\0') {
      value += ':';
      value += preloaded;
    }
    setenv("LD_PRELOAD", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("download_bench: cannot start again with the simulated module");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (latencyBoundSeconds > 0) {
    std::printf(
        "\n1 MiB image.bin at %ld us per bulk write and read: %.1f ms; "
        "ideal %.0f ms (2 x %.0f frames); ratio %.3f\n",
        kLatencyUs, latencyBoundSeconds * 1e3, kIdealSeconds * 1e3, kFrames,
        latencyBoundSeconds / kIdealSeconds);
  }
  std::error_code ignored;
  std::filesystem::remove_all(WorkFolder(), ignored);
  return 0;
}
