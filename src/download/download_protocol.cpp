#include "download/download_protocol.h"

#include <algorithm>

#include "base/exclusive_file.h"
#include "base/little_endian.h"
#include "base/translation.h"
#include "download/usb_link.h"

namespace zentora {

namespace {

// Reads until `bytes` is full or the file ends; the count read.
Result<std::size_t> ReadUpTo(CExclusiveFile& file, std::span<std::uint8_t> bytes) {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    Result<std::size_t> got = file.Read(bytes.subspan(filled));
    if (!got) {
      return got.status();
    }
    if (got.value() == 0) {
      break;
    }
    filled += got.value();
  }
  return filled;
}

// A failure of the file being sent, naming it.
// `what` is a text of the "download" context.
Status SourceFailure(const char* what, const std::filesystem::path& path, const Status& reason) {
  return Status::Failure(Tr("download", what) + WithReason(path.string(), reason.message()));
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

Result<std::uint64_t> TransferFile(std::uint8_t code, const std::filesystem::path& path,
                                   StatusSink& sink) {
  Result<CExclusiveFile> file = CExclusiveFile::OpenForReading(path);
  if (!file) {
    return SourceFailure(QT_TRANSLATE_NOOP("download", "无法打开文件："), path, file.status());
  }
  // The full 64-bit length: a file past 2 GiB must not pass for an empty one.
  Result<std::uint64_t> length = file.value().Size();
  if (!length) {
    return SourceFailure(QT_TRANSLATE_NOOP("download", "无法读取文件："), path, length.status());
  }
  const std::uint64_t total = length.value();

  CUsbLink link;
  if (Status opened = link.Open(); !opened) {
    return opened;
  }
  if (total == 0) {
    return total;
  }
  if (Status accepted = link.SendCommand(code); !accepted) {
    return accepted;
  }
  sink.SetProgress(0);

  DownloadFrame frame{};
  std::uint64_t sent = 0;
  for (;;) {
    Result<std::size_t> count =
        ReadUpTo(file.value(), std::span(frame.data() + 2, kFramePayloadSize));
    if (!count) {
      return SourceFailure(QT_TRANSLATE_NOOP("download", "无法读取文件："), path, count.status());
    }
    FinishDownloadFrame(frame, count.value());
    if (Status accepted = link.SendBlock(frame.data(), static_cast<int>(frame.size())); !accepted) {
      return accepted;
    }
    sent += count.value();
    if (count.value() < kFramePayloadSize) {
      break;
    }
    sink.SetProgress(
        static_cast<int>(static_cast<double>(sent) * 100.0 / static_cast<double>(total)));
  }
  sink.SetProgress(100);
  return sent;
}

int DownloadFile(std::uint8_t code, const std::filesystem::path& path, StatusSink& sink) {
  return TransferFile(code, path, sink) ? 1 : 0;
}

}  // namespace zentora
