#include "readback/sound_unpacking.h"

#include <algorithm>
#include <string>

#include "base/little_endian.h"
#include "base/translation.h"
#include "readback/data_file_reader.h"
#include "readback/resource_listing.h"

namespace zentora {

namespace {

constexpr std::size_t kHeaderSize = 44;

void PutTag(std::vector<std::uint8_t>& out, std::size_t offset, const char (&tag)[5]) {
  std::copy(tag, tag + 4, out.begin() + static_cast<std::ptrdiff_t>(offset));
}

// The file with its header written and room for `length` sample bytes.
std::vector<std::uint8_t> WaveFileFor(int channels, int bitsPerSample, std::uint32_t sampleRate,
                                      std::uint32_t length) {
  // A chunk of odd length is followed by a pad byte that its size leaves out.
  const std::size_t pad = length % 2;
  std::vector<std::uint8_t> file(kHeaderSize + length + pad, 0);
  const auto blockAlign = static_cast<std::uint32_t>(std::min<unsigned>(
      0xFFFF, static_cast<unsigned>(channels) * ((static_cast<unsigned>(bitsPerSample) + 7) / 8)));
  PutTag(file, 0, "RIFF");
  PutLittleEndian(file, 4, static_cast<std::uint32_t>(file.size() - 8), 4);
  PutTag(file, 8, "WAVE");
  PutTag(file, 12, "fmt ");
  PutLittleEndian(file, 16, 16, 4);
  PutLittleEndian(file, 20, 1, 2);  // integer PCM
  PutLittleEndian(file, 22, static_cast<std::uint32_t>(channels), 2);
  PutLittleEndian(file, 24, sampleRate, 4);
  PutLittleEndian(file, 28, sampleRate * blockAlign, 4);
  PutLittleEndian(file, 32, blockAlign, 2);
  PutLittleEndian(file, 34, static_cast<std::uint32_t>(bitsPerSample), 2);
  PutTag(file, 36, "data");
  PutLittleEndian(file, 40, length, 4);
  return file;
}

}  // namespace

Result<std::vector<std::uint8_t>> ReadSoundAsWave(const CDataFileReader& data,
                                                  const SoundEntry& entry) {
  const std::optional<std::uint64_t> offset = entry.Offset();
  if (!entry.inData || !offset) {
    return Status::Failure(
        Fill(Tr("inspect", "声音 %1 没有可读的数据"), std::to_string(entry.position)));
  }
  std::vector<std::uint8_t> file =
      WaveFileFor(entry.channels, entry.bitsPerSample, entry.sampleRate, entry.length);
  if (Status read = data.ReadPadded(*offset, std::span(file).subspan(kHeaderSize, entry.length));
      !read) {
    return read;
  }
  return file;
}

}  // namespace zentora
