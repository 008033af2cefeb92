#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"

namespace zentora {

class CDataFileReader;
struct SoundEntry;

// Sound `entry` of wave.bin back as a PCM WAV file: RIFF header, a 16-byte
// format chunk with the entry's channels, bits and rate (block align and
// byte rate derived from them), and one data chunk holding the samples as
// they are. Fails when wave.bin does not
// hold the whole block, so the allocation never exceeds the file.
Result<std::vector<std::uint8_t>> ReadSoundAsWave(const CDataFileReader& data,
                                                  const SoundEntry& entry);

}  // namespace zentora
