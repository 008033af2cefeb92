#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "base/file_descriptor.h"
#include "base/result.h"
#include "sound/wave_chunks.h"

namespace zentora {

// A WAV file held open so that its sample bytes can be read a block at a
// time, however long the sound is: opening reads the headers and measures
// the "data" chunks, and nothing of the samples is kept.
class CWaveFile {
 public:
  // Accepts the files that ReadWaveHeaders accepts; the failure says why
  // a file was refused.
  static Result<CWaveFile> Open(const std::filesystem::path& path);

  const WaveHeaders& Headers() const { return headers_; }
  // The joined length of the "data" chunks' bytes that are in the file,
  // whatever the chunk sizes claim.
  std::uint64_t DataLength() const { return dataLength_; }
  // Why sample bytes that the file announces are not in it (no "data"
  // chunk, a chunk cut short by the end of the file); empty when the file
  // is whole.
  const std::string& Incomplete() const { return incomplete_; }

  using SampleConsumer = std::function<Status(std::span<const std::uint8_t>)>;
  // Hands the DataLength() sample bytes to `consume` in file order, at most
  // block.size() of them at a time, read into `block`. Stops at the first
  // failure of `consume` and returns it; a file that no longer holds the
  // bytes it held when it was opened fails with "读取文件失败".
  Status ReadSamples(std::span<std::uint8_t> block, const SampleConsumer& consume) const;

 private:
  CWaveFile(CFileDescriptor fd, std::uint64_t fileSize, const WaveHeaders& headers)
      : fd_(std::move(fd)), fileSize_(fileSize), headers_(headers) {}

  CFileDescriptor fd_;
  std::uint64_t fileSize_ = 0;
  WaveHeaders headers_;
  std::uint64_t dataLength_ = 0;
  std::string incomplete_;
};

}  // namespace zentora
