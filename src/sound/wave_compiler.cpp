#include "sound/wave_compiler.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "base/compiler_files.h"
#include "base/exclusive_file.h"
#include "sound/wave.h"
#include "sound/wave_index.h"

namespace zentora {

CompileOutcome GenerateWaveResources(const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink) {
  Result<CExclusiveFile> indexFile = CExclusiveFile::Create(indexPath);
  if (!indexFile) {
    sink.AppendLine(CannotCreateFileLine(indexPath));
    return CompileOutcome::Failed;
  }
  Result<CExclusiveFile> dataFile = CExclusiveFile::Create(dataPath);
  if (!dataFile) {
    sink.AppendLine(CannotCreateFileLine(dataPath));
    return CompileOutcome::Failed;
  }

  const int count = static_cast<int>(sounds.size());
  if (count == 0) {
    sink.AppendLine("没有声音资源！");
    return CompileOutcome::EmptyList;
  }

  sink.AppendLine("生成声音资源...");
  sink.SetProgress(0);

  static constexpr std::array<std::uint8_t, kWaveAlignment> kFiller{};
  std::uint32_t address = kWaveBaseAddress;
  int number = 0;
  std::optional<std::string> writeFailure;
  CWave wave;
  for (int i = 0; i < count && !writeFailure; ++i) {
    sink.SetProgress(static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count));
    if (wave.Load(sounds[static_cast<std::size_t>(i)]) == 0) {
      continue;
    }
    const std::uint32_t length = wave.DataLength();
    const WaveIndexEntry entry = EncodeWaveIndexEntry(number, wave.Channels(), wave.BitsPerSample(),
                                                      wave.SamplesPerSecond(), length, address);
    ++number;
    address = AlignWaveAddress(address + length);
    if (Status written = indexFile.value().Write(entry); !written) {
      writeFailure = WriteFailureLine(indexPath, written);
    } else if (Status samples = dataFile.value().Write(std::span(wave.Data(), length)); !samples) {
      writeFailure = WriteFailureLine(dataPath, samples);
    } else if (Status filler =
                   dataFile.value().Write(std::span(kFiller.data(), WaveFillerLength(length)));
               !filler) {
      writeFailure = WriteFailureLine(dataPath, filler);
    }
    wave.Release();
  }

  if (!writeFailure) {
    writeFailure = CloseInOrder(indexFile.value(), indexPath, dataFile.value(), dataPath);
  }
  if (writeFailure) {
    sink.AppendLine(*writeFailure);
    return CompileOutcome::Failed;
  }
  sink.AppendLine("生成声音资源成功！");
  return CompileOutcome::Written;
}

}  // namespace zentora
