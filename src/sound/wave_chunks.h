#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/result.h"

namespace zentora {

// The RIFF header and the format chunk of a WAV file, as stored.
struct WaveHeaders {
  std::array<char, 4> riffId{};
  std::uint32_t riffSize = 0;
  std::array<char, 4> formType{};
  std::array<char, 4> formatId{};
  std::uint32_t formatSize = 0;
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t averageBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
};

// Reads the headers of the file open on `fd`. Only integer PCM files whose
// first chunk is the format chunk, and whose format fields describe samples
// that can be played, are accepted; the failure says why not.
Result<WaveHeaders> ReadWaveHeaders(int fd);

// Where one "data" chunk's bytes lie in the file, clipped to the file's end.
struct WaveDataSpan {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

using WaveDataVisitor = std::function<Status(const WaveDataSpan&)>;

// Walks the chunks after the format chunk while a whole chunk header fits
// in both the form and a file of `fileSize` bytes, and hands every "data"
// chunk's bytes that the file holds to `visit`, in file order. Returns why
// sample bytes that the chunks announce are missing from the file (empty
// when nothing is), or the first failure of a read or of `visit`. A walk
// that would read more than chunkLimit chunk headers fails instead, for
// callers that must answer at once whatever the file holds.
Result<std::string> WalkWaveData(int fd, const WaveHeaders& headers, std::uint64_t fileSize,
                                 const WaveDataVisitor& visit,
                                 std::uint64_t chunkLimit = UINT64_MAX);

// The reason for a file that could not be read.
std::string WaveUnreadableReason();

}  // namespace zentora
