#include "sound/wave_compiler.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/compiler_files.h"
#include "base/entry_name.h"
#include "base/translation.h"
#include "sound/wave_file.h"
#include "sound/wave_index.h"
#include "sound/wave_placement.h"

namespace zentora {

namespace {

constexpr ResourceCompilerTexts kSoundTexts{
    CCompilerFiles::Kind::kIndex,
    QT_TRANSLATE_NOOP("compiler", "没有声音资源！"),
    QT_TRANSLATE_NOOP("compiler", "生成声音资源..."),
    QT_TRANSLATE_NOOP("compiler", "生成声音资源成功！"),
};

// Sample bytes are copied into wave.bin through one block of this size, so
// a compile needs the same memory for a long sound as for a short one.
constexpr std::size_t kSampleBlockSize = 1 << 20;

// Opens the sounds one at a time, in list order, and streams each into the
// data file behind its index entry. Sounds that do not open, or that the
// index cannot describe, are skipped with a line and take no number, so the
// numbers after them move up. A sound that would run past the 32-bit
// address range stops the compile: its address would wrap round into the
// picture area.
class CSoundWriter {
 public:
  CSoundWriter(CCompilerFiles& files, StatusSink& sink)
      : files_(files),
        sink_(sink),
        block_(std::make_unique_for_overwrite<std::uint8_t[]>(kSampleBlockSize)) {}

  Status Write(std::size_t index, const std::filesystem::path& path) {
    const std::string name = EntryName(path, index);
    Result<CWaveFile> opened = CWaveFile::Open(path);
    Status usable = opened ? CheckWaveIndexFields(opened.value().Headers().channels,
                                                  opened.value().DataLength())
                           : opened.status();
    if (!usable) {
      Warn(Tr("sound", "无法读取声音：") + WithReason(name, usable.message()));
      skipped_ = true;
      return Status::Ok();
    }
    const CWaveFile& wave = opened.value();
    if (!placement_.Fits(wave.DataLength())) {
      return Status::Failure(Fill(Tr("sound", "声音数据超出32位地址范围（0xFFFFFFFF）：%1"), name));
    }
    if (skipped_ && !movedUp_) {
      movedUp_ = true;
      Warn(Tr("sound", "其后的声音编号依次前移"));
    }
    if (placement_.Number() == kWaveNumberCount) {
      Warn(Tr("sound", "声音超过256个：第257个起编号从0重新开始"));
    }
    if (!wave.Incomplete().empty()) {
      Warn(Tr("sound", "声音数据不完整：") + WithReason(name, wave.Incomplete()));
    }
    return WriteSound(wave, name);
  }

  bool Warned() const { return warned_; }

 private:
  // Writes one sound: its index entry, its samples and the filler that
  // takes the next sound to an aligned address.
  Status WriteSound(const CWaveFile& wave, const std::string& name) {
    static constexpr std::array<std::uint8_t, kWaveAlignment> kFiller{};
    const WaveHeaders& headers = wave.Headers();
    const auto length = static_cast<std::uint32_t>(wave.DataLength());
    const WaveIndexEntry entry =
        EncodeWaveIndexEntry(placement_.Number(), headers.channels, headers.bitsPerSample,
                             headers.samplesPerSecond, length, placement_.Address());
    placement_.Take(length);
    if (Status written = files_.Write(CCompilerFiles::Kind::kIndex, entry); !written) {
      return written;
    }
    Status written = Status::Ok();
    const Status read = wave.ReadSamples(
        std::span(block_.get(), kSampleBlockSize), [&](std::span<const std::uint8_t> piece) {
          written = files_.Write(CCompilerFiles::Kind::kData, piece);
          return written;
        });
    if (!written) {
      return written;
    }
    if (!read) {
      // Part of the sound may be in the data file already: the files can
      // only be kept by failing the compile.
      return Status::Failure(Tr("sound", "无法读取声音：") + WithReason(name, read.message()));
    }
    return files_.Write(CCompilerFiles::Kind::kData,
                        std::span(kFiller.data(), WaveFillerLength(length)));
  }

  void Warn(const std::string& line) {
    sink_.AppendLine(line);
    warned_ = true;
  }

  CCompilerFiles& files_;
  StatusSink& sink_;
  std::unique_ptr<std::uint8_t[]> block_;
  CWavePlacement placement_;
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
