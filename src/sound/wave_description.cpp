#include "sound/wave_description.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/regular_file.h"
#include "base/translation.h"

namespace zentora {

namespace {

std::string Duration(std::uint64_t seconds) {
  char text[32];
  const std::uint64_t minutes = seconds / 60;
  if (minutes < 60) {
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(minutes),
                  static_cast<unsigned long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                  static_cast<unsigned long long>(minutes / 60),
                  static_cast<unsigned long long>(minutes % 60),
                  static_cast<unsigned long long>(seconds % 60));
  }
  return text;
}

std::string Channels(int channels) {
  switch (channels) {
    case 1:
      return Tr("sound", "单声道");
    case 2:
      return Tr("sound", "立体声");
    default:
      return TrN("sound", "%n 声道", nullptr, channels);
  }
}

}  // namespace

std::string WaveSummary(const WaveHeaders& headers, std::uint64_t dataLength) {
  // The length follows from the sample format rather than from the stored
  // byte rate, which nothing checks.
  const std::uint64_t frameBytes = std::uint64_t{headers.channels} * (headers.bitsPerSample / 8u);
  const std::uint64_t frames = frameBytes == 0 ? 0 : dataLength / frameBytes;
  const std::uint64_t seconds =
      headers.samplesPerSecond == 0 ? 0 : frames / headers.samplesPerSecond;
  return Fill(Tr("sound", "%1 · %2 位 · %3 · %4 Hz"), Duration(seconds),
              std::to_string(headers.bitsPerSample), Channels(headers.channels),
              std::to_string(headers.samplesPerSecond));
}

std::string DescribeWave(const std::filesystem::path& path) {
  const auto unreadable = [](const std::string& reason) {
    return WithReason(Tr("sound", "无法读取"), reason);
  };
  Result<CFileDescriptor> fd = OpenRegularFile(path);
  if (!fd) {
    return unreadable(fd.error());
  }
  struct stat info {};
  if (::fstat(fd.value().Get(), &info) != 0) {
    return unreadable(WaveUnreadableReason());
  }
  const Result<WaveHeaders> headers = ReadWaveHeaders(fd.value().Get());
  if (!headers) {
    return unreadable(headers.error());
  }
  std::uint64_t dataLength = 0;
  const Result<std::string> walked = WalkWaveData(
      fd.value().Get(), headers.value(), static_cast<std::uint64_t>(info.st_size),
      [&dataLength](const WaveDataSpan& span) {
        dataLength += span.length;
        return Status::Ok();
      },
      kDescribedChunkLimit);
  if (!walked) {
    return unreadable(walked.error());
  }
  return WaveSummary(headers.value(), dataLength);
}

}  // namespace zentora
