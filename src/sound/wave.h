#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/result.h"
#include "sound/wave_chunks.h"

namespace zentora {

// One WAV file read into memory: the RIFF header, the format chunk's
// description and the sample bytes exactly as stored (nothing is converted).
// Only integer PCM files whose first chunk is the format chunk, and whose
// format fields describe samples that can be played, are accepted. The
// compiler streams through CWaveFile instead; this form is for callers that
// want the samples at hand.
class CWave {
 public:
  CWave() = default;
  virtual ~CWave() = default;
  CWave(const CWave&) = delete;
  CWave& operator=(const CWave&) = delete;

  // 1 when the file was accepted, 0 when not; the object is empty after a
  // refusal. Whatever was loaded before is released first. The sample buffer
  // never grows beyond the bytes that are really in the file, whatever the
  // chunk sizes claim.
  int Load(const std::filesystem::path& path);
  // The same, saying why a file was refused.
  Status Read(const std::filesystem::path& path);
  void Release();

  // The RIFF header and the format chunk as read.
  const std::array<char, 4>& RiffChunkId() const { return headers_.riffId; }
  std::uint32_t RiffSize() const { return headers_.riffSize; }
  const std::array<char, 4>& FormType() const { return headers_.formType; }
  const std::array<char, 4>& FormatChunkId() const { return headers_.formatId; }
  std::uint32_t FormatChunkSize() const { return headers_.formatSize; }
  std::uint16_t FormatTag() const { return headers_.formatTag; }
  std::uint16_t Channels() const { return headers_.channels; }
  std::uint32_t SamplesPerSecond() const { return headers_.samplesPerSecond; }
  std::uint32_t AverageBytesPerSecond() const { return headers_.averageBytesPerSecond; }
  std::uint16_t BlockAlign() const { return headers_.blockAlign; }
  std::uint16_t BitsPerSample() const { return headers_.bitsPerSample; }

  // Null while empty.
  const std::uint8_t* Data() const { return data_.get(); }
  std::uint32_t DataLength() const { return dataLength_; }

 private:
  Status ReadWhole(const std::filesystem::path& path);

  WaveHeaders headers_;
  std::unique_ptr<std::uint8_t[]> data_;
  std::uint32_t dataLength_ = 0;
};

}  // namespace zentora
