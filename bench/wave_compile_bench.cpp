// Sound compile throughput: 50 WAV files of about 1 MiB each compiled into
// wave.bin / wave.idx, against a plain read-and-write copy of the same files
// into one file, which is the limit the compile can approach.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/null_sink.h"
#include "bench/ratio_reporter.h"
#include "sound/wave_compiler.h"

namespace {

constexpr int kSounds = 50;
constexpr std::uint32_t kSampleBytes = (1u << 20) - 4096 + 2;  // never a multiple of 2048

std::filesystem::path WorkFolder() {
  return std::filesystem::temp_directory_path() / "zentora-bench-sounds";
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<char>(value >> (8 * i)));
  }
}

// A 16-bit stereo 44.1 kHz file: a canonical header, a LIST chunk the
// reader skips, then the samples.
std::string MakeWave(unsigned seed) {
  std::string bytes = "RIFF";
  PutU32(bytes, 4 + 24 + 8 + 4 + 8 + kSampleBytes);
  bytes += "WAVEfmt ";
  PutU32(bytes, 16);
  bytes += std::string("\x01\x00\x02\x00", 4);
  PutU32(bytes, 44100);
  PutU32(bytes, 44100 * 4);
  bytes += std::string("\x04\x00\x10\x00", 4);
  bytes += "LIST";
  PutU32(bytes, 4);
  bytes += "INFO";
  bytes += "data";
  PutU32(bytes, kSampleBytes);
  std::mt19937 random(seed);
  for (std::uint32_t i = 0; i < kSampleBytes; ++i) {
    bytes.push_back(static_cast<char>(random() & 0xFF));
  }
  return bytes;
}

std::uint64_t TotalBytes(const std::vector<std::filesystem::path>& files) {
  std::uint64_t total = 0;
  for (const auto& file : files) {
    total += std::filesystem::file_size(file);
  }
  return total;
}

const std::vector<std::filesystem::path>& Sounds() {
  static const std::vector<std::filesystem::path> sounds = [] {
    std::vector<std::filesystem::path> paths;
    std::filesystem::create_directories(WorkFolder());
    for (int i = 0; i < kSounds; ++i) {
      std::filesystem::path path = WorkFolder() / ("sound-" + std::to_string(i) + ".wav");
      if (!std::filesystem::exists(path)) {
        std::ofstream(path, std::ios::binary) << MakeWave(static_cast<unsigned>(i));
      }
      paths.push_back(path);
    }
    return paths;
  }();
  return sounds;
}

void SetBytesProcessed(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(TotalBytes(Sounds())));
}

// Each file read whole into memory and appended to one output file.
void BM_PlainCopy(benchmark::State& state) {
  const auto& sounds = Sounds();
  const std::filesystem::path out = WorkFolder() / "out" / "copy.bin";
  std::filesystem::create_directories(out.parent_path());
  std::vector<char> buffer;
  for (auto _ : state) {
    const int target = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (const auto& sound : sounds) {
      const int source = ::open(sound.c_str(), O_RDONLY | O_CLOEXEC);
      buffer.resize(std::filesystem::file_size(sound));
      std::size_t got = 0;
      while (got < buffer.size()) {
        const ssize_t n = ::read(source, buffer.data() + got, buffer.size() - got);
        if (n <= 0) {
          break;
        }
        got += static_cast<std::size_t>(n);
      }
      ::close(source);
      if (::write(target, buffer.data(), got) != static_cast<ssize_t>(got)) {
        state.SkipWithError("write failed");
      }
    }
    ::close(target);
  }
  SetBytesProcessed(state);
}

void BM_CompileSounds(benchmark::State& state) {
  const auto& sounds = Sounds();
  const std::filesystem::path out = WorkFolder() / "out";
  std::filesystem::create_directories(out);
  zentora::bench::CNullSink sink;
  for (auto _ : state) {
    if (zentora::GenerateWaveResources(sounds, out / "wave.bin", out / "wave.idx", sink) !=
        zentora::CompileOutcome::Written) {
      state.SkipWithError("compile failed");
    }
  }
  SetBytesProcessed(state);
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();
BENCHMARK(BM_CompileSounds)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return zentora::bench::RunWithRatios(
      argc, argv, "BM_PlainCopy",
      "Median compile time / median plain copy time of the same bytes:", [] { Sounds(); });
}
