#include "sound/wave_index.h"

#include <limits>

#include "base/little_endian.h"
#include "base/translation.h"

namespace zentora {

WaveIndexEntry EncodeWaveIndexEntry(int number, int channels, std::uint16_t bitsPerSample,
                                    std::uint32_t sampleRate, std::uint32_t length,
                                    std::uint32_t address) {
  WaveIndexEntry entry{};
  PutLittleEndian(entry, 0, static_cast<std::uint32_t>(number), 1);
  PutLittleEndian(entry, 1, static_cast<std::uint32_t>(channels), 1);
  PutLittleEndian(entry, 2, bitsPerSample, 2);
  PutLittleEndian(entry, 4, sampleRate, 4);
  PutLittleEndian(entry, 8, length, 4);
  PutLittleEndian(entry, 12, address, 4);
  return entry;
}

Status CheckWaveIndexFields(std::uint16_t channels, std::uint64_t length) {
  if (channels > kWaveMaxChannels) {
    return Status::Failure(Tr("sound", "声道数超过 255"));
  }
  if (length > std::numeric_limits<std::uint32_t>::max()) {
    return Status::Failure(Tr("sound", "声音数据过长"));
  }
  return Status::Ok();
}

std::uint32_t WaveFillerLength(std::uint32_t length) {
  const std::uint32_t remainder = length % kWaveAlignment;
  return remainder == 0 ? 0 : kWaveAlignment - remainder;
}

std::uint32_t AlignWaveAddress(std::uint32_t address) {
  return address + WaveFillerLength(address);
}

}  // namespace zentora
