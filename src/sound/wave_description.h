#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "sound/wave_chunks.h"

namespace zentora {

// How many chunk headers a description reads at most: real files have a
// handful, and a file of millions of tiny chunks is not walked through.
inline constexpr std::uint64_t kDescribedChunkLimit = 1024;

// A sound's length and format in one line, "0:02 · 16 位 · 单声道 · 8000 Hz";
// dataLength is the number of sample bytes the file holds.
std::string WaveSummary(const WaveHeaders& headers, std::uint64_t dataLength);

// The summary of a WAV file, or "无法读取" with the reason. Reads the headers
// and the chunk headers only, never the samples.
std::string DescribeWave(const std::filesystem::path& path);

}  // namespace zentora
