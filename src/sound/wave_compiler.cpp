#include "sound/wave_compiler.h"

#include <array>
#include <cstdint>
#include <span>

#include "base/compiler_files.h"
#include "sound/wave.h"
#include "sound/wave_index.h"

namespace zentora {

namespace {

constexpr ResourceCompilerTexts kSoundTexts{
    CCompilerFiles::Kind::kIndex,
    "没有声音资源！",
    "生成声音资源...",
    "生成声音资源成功！",
};

// The numbers and addresses that the sounds written so far have taken.
struct SoundPlacement {
  int number = 0;
  std::uint32_t address = kWaveBaseAddress;
};

// Writes one loaded sound: its index entry, its samples and the filler that
// takes the next sound to an aligned address.
Status WriteSound(CCompilerFiles& files, const CWave& wave, SoundPlacement& placement) {
  static constexpr std::array<std::uint8_t, kWaveAlignment> kFiller{};
  const std::uint32_t length = wave.DataLength();
  const WaveIndexEntry entry =
      EncodeWaveIndexEntry(placement.number, wave.Channels(), wave.BitsPerSample(),
                           wave.SamplesPerSecond(), length, placement.address);
  ++placement.number;
  placement.address = AlignWaveAddress(placement.address + length);
  Status written = files.Write(CCompilerFiles::Kind::kIndex, entry);
  if (written) {
    written = files.Write(CCompilerFiles::Kind::kData, std::span(wave.Data(), length));
  }
  if (written) {
    written = files.Write(CCompilerFiles::Kind::kData,
                          std::span(kFiller.data(), WaveFillerLength(length)));
  }
  return written;
}

// Loads the sounds one at a time, in list order; those that do not load
// are skipped and take no number.
Status WriteSounds(const std::vector<std::filesystem::path>& sounds, CCompilerFiles& files,
                   StatusSink& sink) {
  const int count = static_cast<int>(sounds.size());
  SoundPlacement placement;
  CWave wave;
  for (int i = 0; i < count; ++i) {
    sink.SetProgress(ProgressBefore(i, count));
    if (wave.Load(sounds[static_cast<std::size_t>(i)]) == 0) {
      continue;
    }
    Status written = WriteSound(files, wave, placement);
    wave.Release();
    if (!written) {
      return written;
    }
  }
  return Status::Ok();
}

}  // namespace

CompileOutcome GenerateWaveResources(const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink) {
  return RunResourceCompiler(
      kSoundTexts, dataPath, indexPath, static_cast<int>(sounds.size()), sink,
      [&](CCompilerFiles& files) { return WriteSounds(sounds, files, sink); });
}

}  // namespace zentora
