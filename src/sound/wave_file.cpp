#include "sound/wave_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "base/exclusive_file.h"
#include "base/regular_file.h"

namespace zentora {

Result<CWaveFile> CWaveFile::Open(const std::filesystem::path& path) {
  Result<CFileDescriptor> fd = OpenRegularFile(path);
  if (!fd) {
    return fd.status();
  }
  struct stat info {};
  if (::fstat(fd.value().Get(), &info) != 0) {
    return Status::Failure(WaveUnreadableReason());
  }
  const Result<WaveHeaders> headers = ReadWaveHeaders(fd.value().Get());
  if (!headers) {
    return headers.status();
  }
  CWaveFile file(std::move(fd).value(), static_cast<std::uint64_t>(info.st_size), headers.value());
  Result<std::string> incomplete = WalkWaveData(file.fd_.Get(), file.headers_, file.fileSize_,
                                                [&file](const WaveDataSpan& span) {
                                                  file.dataLength_ += span.length;
                                                  return Status::Ok();
                                                });
  if (!incomplete) {
    return incomplete.status();
  }
  file.incomplete_ = std::move(incomplete).value();
  return file;
}

Status CWaveFile::ReadSamples(std::span<std::uint8_t> block, const SampleConsumer& consume) const {
  std::uint64_t handed = 0;
  // The walk is clipped to the size measured at opening, so it finds the
  // same chunks unless someone rewrote the file meanwhile.
  const Result<std::string> walked =
      WalkWaveData(fd_.Get(), headers_, fileSize_, [&](const WaveDataSpan& span) {
        if (span.length > dataLength_ - handed || block.empty()) {
          return Status::Failure(WaveUnreadableReason());
        }
        for (std::uint64_t done = 0; done < span.length;) {
          const std::size_t want =
              static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), span.length - done));
          const Result<std::size_t> got =
              ReadFromDescriptorAt(fd_.Get(), span.offset + done, block.first(want));
          if (!got || got.value() != want) {
            return Status::Failure(WaveUnreadableReason());
          }
          if (Status consumed = consume(block.first(want)); !consumed) {
            return consumed;
          }
          done += want;
          handed += want;
        }
        return Status::Ok();
      });
  if (!walked) {
    return walked.status();
  }
  if (handed != dataLength_) {
    return Status::Failure(WaveUnreadableReason());
  }
  return Status::Ok();
}

}  // namespace zentora
