#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

#include "base/result.h"
#include "base/status_sink.h"

namespace zentora {

// The byte that tells the module which resource file follows.
enum DownloadCode : std::uint8_t {
  DL_IMAGE_INDEX = 0x90,
  DL_IMAGE_DATA = 0x92,
  DL_WAVE_INDEX = 0x94,
  DL_WAVE_DATA = 0x95,
};

inline constexpr std::size_t kFramePayloadSize = 2048;
inline constexpr std::size_t kFrameSize = 2 + kFramePayloadSize;

using DownloadFrame = std::array<std::uint8_t, kFrameSize>;

// A frame carrying `payload` (at most 2048 bytes): the little-endian count,
// the bytes, zero filler to the end.
void FillDownloadFrame(DownloadFrame& frame, std::span<const std::uint8_t> payload);
// The same for a frame whose first `count` payload bytes are already in place.
void FinishDownloadFrame(DownloadFrame& frame, std::size_t count);

// Sends one resource file to the module over a fresh link: the code, then
// 2050-byte frames until one carries fewer than 2048 bytes, each
// acknowledged. Progress goes to the sink (0 after the code, then after each
// full frame, 100 at the end). The file is held exclusively while it is
// sent. Returns the number of bytes the module received, or what went wrong
// (the source file or the link's reason). An empty file opens the link, so
// that a missing module fails as for any file, but sends nothing: it counts
// as sent, 0 bytes, and the module keeps what it held.
Result<std::uint64_t> TransferFile(std::uint8_t code, const std::filesystem::path& path,
                                   StatusSink& sink);

// The same run, 1 on success and 0 on any failure.
int DownloadFile(std::uint8_t code, const std::filesystem::path& path, StatusSink& sink);

}  // namespace zentora
