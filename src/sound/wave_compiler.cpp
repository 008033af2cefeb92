#include "sound/wave_compiler.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "base/compiler_files.h"
#include "base/entry_name.h"
#include "base/translation.h"
#include "sound/wave.h"
#include "sound/wave_index.h"

namespace zentora {

namespace {

constexpr ResourceCompilerTexts kSoundTexts{
    CCompilerFiles::Kind::kIndex,
    QT_TRANSLATE_NOOP("compiler", "没有声音资源！"),
    QT_TRANSLATE_NOOP("compiler", "生成声音资源..."),
    QT_TRANSLATE_NOOP("compiler", "生成声音资源成功！"),
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
// are skipped with a line and take no number, so the numbers after them
// move up.
class CSoundWriter {
 public:
  CSoundWriter(CCompilerFiles& files, StatusSink& sink) : files_(files), sink_(sink) {}

  Status Write(std::size_t index, const std::filesystem::path& path) {
    if (Status read = wave_.Read(path); !read) {
      Warn(Tr("sound", "无法读取声音：") + WithReason(EntryName(path, index), read.message()));
      skipped_ = true;
      return Status::Ok();
    }
    if (skipped_ && !movedUp_) {
      movedUp_ = true;
      Warn(Tr("sound", "其后的声音编号依次前移"));
    }
    if (placement_.number == kWaveNumberCount) {
      Warn(Tr("sound", "声音超过256个：第257个起编号从0重新开始"));
    }
    Status written = WriteSound(files_, wave_, placement_);
    wave_.Release();
    return written;
  }

  bool Warned() const { return warned_; }

 private:
  void Warn(const std::string& line) {
    sink_.AppendLine(line);
    warned_ = true;
  }

  CCompilerFiles& files_;
  StatusSink& sink_;
  CWave wave_;
  SoundPlacement placement_;
  bool skipped_ = false;
  bool movedUp_ = false;
  bool warned_ = false;
};

Status WriteSounds(const std::vector<std::filesystem::path>& sounds, CCompilerFiles& files,
                   StatusSink& sink, bool& warned) {
  const int count = static_cast<int>(sounds.size());
  CSoundWriter writer(files, sink);
  Status written = Status::Ok();
  for (int i = 0; i < count && written; ++i) {
    sink.SetProgress(ProgressBefore(i, count));
    written = writer.Write(static_cast<std::size_t>(i), sounds[static_cast<std::size_t>(i)]);
  }
  warned = writer.Warned();
  return written;
}

CompileOutcome CompileInto(CFileSetReplacement& outputs,
                           const std::vector<std::filesystem::path>& sounds,
                           const std::filesystem::path& dataPath,
                           const std::filesystem::path& indexPath, StatusSink& sink) {
  return RunResourceCompiler(kSoundTexts, outputs, dataPath, indexPath,
                             static_cast<int>(sounds.size()), sink,
                             [&](CCompilerFiles& files, bool& warned) {
                               return WriteSounds(sounds, files, sink, warned);
                             });
}

}  // namespace

CompileOutcome GenerateWaveResources(const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink) {
  // The index file is the first one created, so it names a folder it cannot
  // hold.
  return CompileAlone(indexPath, sink, [&](CFileSetReplacement& outputs) {
    return CompileInto(outputs, sounds, dataPath, indexPath, sink);
  });
}

CompileOutcome GenerateWaveResources(CFileSetReplacement& outputs,
                                     const std::vector<std::filesystem::path>& sounds,
                                     const std::filesystem::path& dataPath,
                                     const std::filesystem::path& indexPath, StatusSink& sink) {
  return CompileInto(outputs, sounds, dataPath, indexPath, sink);
}

}  // namespace zentora
