#pragma once

#include <array>
#include <cstdint>

#include "base/result.h"

namespace zentora {

inline constexpr std::uint32_t kWaveBaseAddress = 0x07000000;
inline constexpr std::uint32_t kWaveAlignment = 2048;
// Sound numbers are stored in 8 bits.
inline constexpr int kWaveNumberCount = 0x100;
inline constexpr std::size_t kWaveIndexEntrySize = 16;
// Channel counts are stored in 8 bits.
inline constexpr int kWaveMaxChannels = 0xFF;
// Addresses are stored in 32 bits: a sound must end at or below this.
inline constexpr std::uint64_t kWaveAddressEnd = std::uint64_t{1} << 32;

using WaveIndexEntry = std::array<std::uint8_t, kWaveIndexEntrySize>;

// The 16 little-endian bytes that describe one sound in wave.idx. The number
// and the channel count keep their low 8 bits: a sound whose channel count
// does not fit is refused by CheckWaveIndexFields before it gets here.
WaveIndexEntry EncodeWaveIndexEntry(int number, int channels, std::uint16_t bitsPerSample,
                                    std::uint32_t sampleRate, std::uint32_t length,
                                    std::uint32_t address);

// Why an index entry could not describe a sound of `channels` channels and
// `length` sample bytes (the reason its line gives); Ok when it can. Bits
// per sample and the rate always fit.
Status CheckWaveIndexFields(std::uint16_t channels, std::uint64_t length);

// The smallest multiple of 2048 not below `address` (32-bit arithmetic).
std::uint32_t AlignWaveAddress(std::uint32_t address);

// How many zero bytes follow `length` sample bytes in wave.bin.
std::uint32_t WaveFillerLength(std::uint32_t length);

}  // namespace zentora
