#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/result.h"

namespace zentora {

// One WAV file read into memory: the RIFF header, the format chunk's
// description and the sample bytes exactly as stored (nothing is converted).
// Only integer PCM files whose first chunk is the format chunk, and whose
// format fields describe samples that can be played, are accepted.
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
  const std::array<char, 4>& RiffChunkId() const { return riffId_; }
  std::uint32_t RiffSize() const { return riffSize_; }
  const std::array<char, 4>& FormType() const { return formType_; }
  const std::array<char, 4>& FormatChunkId() const { return formatId_; }
  std::uint32_t FormatChunkSize() const { return formatSize_; }
  std::uint16_t FormatTag() const { return formatTag_; }
  std::uint16_t Channels() const { return channels_; }
  std::uint32_t SamplesPerSecond() const { return samplesPerSecond_; }
  std::uint32_t AverageBytesPerSecond() const { return averageBytesPerSecond_; }
  std::uint16_t BlockAlign() const { return blockAlign_; }
  std::uint16_t BitsPerSample() const { return bitsPerSample_; }

  // Null while empty.
  const std::uint8_t* Data() const { return data_.get(); }
  std::uint32_t DataLength() const { return dataLength_; }

 private:
  Status ReadOpenFile(int fd);
  Status ReadRiffHeader(int fd);
  Status ReadFormatChunk(int fd);
  void ClearHeaders();

  std::array<char, 4> riffId_{};
  std::uint32_t riffSize_ = 0;
  std::array<char, 4> formType_{};
  std::array<char, 4> formatId_{};
  std::uint32_t formatSize_ = 0;
  std::uint16_t formatTag_ = 0;
  std::uint16_t channels_ = 0;
  std::uint32_t samplesPerSecond_ = 0;
  std::uint32_t averageBytesPerSecond_ = 0;
  std::uint16_t blockAlign_ = 0;
  std::uint16_t bitsPerSample_ = 0;
  std::unique_ptr<std::uint8_t[]> data_;
  std::uint32_t dataLength_ = 0;
};

}  // namespace zentora
