#include "download/download_protocol.h"

#include <algorithm>
#include <optional>

#include "base/exclusive_file.h"
#include "base/little_endian.h"
#include "download/usb_link.h"

namespace zentora {

namespace {

// Reads until `bytes` is full or the file ends; the count read, or nullopt
// when the read fails.
std::optional<std::size_t> ReadUpTo(CExclusiveFile& file, std::span<std::uint8_t> bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    Result<std::size_t> got = file.Read(bytes.subspan(filled));
    if (!got) {
      return std::nullopt;
    }
    if (got.value() == 0) {
      break;
    }
    filled += got.value();
  }
  return filled;
}

}  // namespace

void FinishDownloadFrame(DownloadFrame& frame, std::size_t count) {
  count = std::min(count, kFramePayloadSize);
  PutLittleEndian(frame, 0, static_cast<std::uint32_t>(count), 2);
  std::fill(frame.begin() + 2 + static_cast<std::ptrdiff_t>(count), frame.end(), 0);
}

void FillDownloadFrame(DownloadFrame& frame, std::span<const std::uint8_t> payload) {
  const std::size_t count = std::min(payload.size(), kFramePayloadSize);
  // Copies nothing for an empty payload, whose data pointer may be null.
  std::copy_n(payload.begin(), count, frame.begin() + 2);
  FinishDownloadFrame(frame, count);
}

int DownloadFile(std::uint8_t code, const std::filesystem::path& path, StatusSink& sink) {
  Result<CExclusiveFile> file = CExclusiveFile::OpenForReading(path);
  if (!file) {
    return 0;
  }
  // The full 64-bit length: a file past 2 GiB must not pass for an empty one.
  Result<std::uint64_t> length = file.value().Size();
  if (!length) {
    return 0;
  }
  const std::uint64_t total = length.value();
  if (total == 0) {
    return 1;
  }

  CUsbLink link;
  if (!link.Open() || !link.SendCommand(code)) {
    return 0;
  }
  sink.SetProgress(0);

  DownloadFrame frame{};
  std::uint64_t sent = 0;
  for (;;) {
    const std::optional<std::size_t> count =
        ReadUpTo(file.value(), std::span(frame.data() + 2, kFramePayloadSize));
    if (!count) {
      return 0;
    }
    FinishDownloadFrame(frame, *count);
    if (!link.SendBlock(frame.data(), static_cast<int>(frame.size()))) {
      return 0;
    }
    if (*count < kFramePayloadSize) {
      break;
    }
    sent += *count;
    sink.SetProgress(
        static_cast<int>(static_cast<double>(sent) * 100.0 / static_cast<double>(total)));
  }
  sink.SetProgress(100);
  return 1;
}

}  // namespace zentora
