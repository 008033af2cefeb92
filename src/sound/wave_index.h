#pragma once

#include <array>
#include <cstdint>

namespace zentora {

inline constexpr std::uint32_t kWaveBaseAddress = 0x07000000;
inline constexpr std::uint32_t kWaveAlignment = 2048;
// Sound numbers are stored in 8 bits.
inline constexpr int kWaveNumberCount = 0x100;
inline constexpr std::size_t kWaveIndexEntrySize = 16;

using WaveIndexEntry = std::array<std::uint8_t, kWaveIndexEntrySize>;

// The 16 little-endian bytes that describe one sound in wave.idx. The number
// and the channel count keep their low 8 bits.
WaveIndexEntry EncodeWaveIndexEntry(int number, int channels, std::uint16_t bitsPerSample,
                                    std::uint32_t sampleRate, std::uint32_t length,
                                    std::uint32_t address);

// The smallest multiple of 2048 not below `address` (32-bit arithmetic).
std::uint32_t AlignWaveAddress(std::uint32_t address);

// How many zero bytes follow `length` sample bytes in wave.bin.
std::uint32_t WaveFillerLength(std::uint32_t length);

}  // namespace zentora
