// Parsing and checking of image.idx and wave.idx. Every field is taken as
// hostile: sums are done in 64 bits, nothing is allocated from a field, and
// a block counts as present only when the data file really holds it.

#include <string>

#include "base/little_endian.h"
#include "base/translation.h"
#include "image/image_index.h"
#include "readback/resource_listing.h"
#include "sound/wave_index.h"

namespace zentora {

namespace {

std::string Count(std::uint64_t value) {
  return std::to_string(value);
}

// The length check shared by both index files; the entries that follow.
std::span<const std::uint8_t> WholeEntries(std::span<const std::uint8_t> index, const char* name,
                                           std::vector<Finding>& findings) {
  const std::size_t rest = index.size() % kImageIndexEntrySize;
  if (rest != 0) {
    findings.push_back(
        {"index-length",
         Fill(Tr("inspect", "%1：长度 %2 字节，不是 16 的倍数，末尾 %3 字节不成条目"), name,
              Count(index.size()), Count(rest))});
  }
  return index.first(index.size() - rest);
}

// Where a block stands in its data file: inside it, or a finding.
bool CheckBlock(const std::string& who, std::uint32_t address, std::uint32_t base,
                std::uint64_t length, std::uint64_t dataSize, const char* dataName,
                std::vector<Finding>& findings) {
  if (address < base) {
    findings.push_back({"address-before-base", Fill(Tr("inspect", "%1：地址 %2 在数据起点 %3 之前"),
                                                    who, HexAddress(address), HexAddress(base))});
    return false;
  }
  const std::uint64_t offset = address - base;
  if (offset + length > dataSize) {
    findings.push_back(
        {"block-outside-data", Fill(Tr("inspect", "%1：数据（偏移 %2，长度 %3）超出 %4 的 %5 字节"),
                                    who, Count(offset), Count(length), dataName, Count(dataSize))});
    return false;
  }
  return true;
}

void CheckLeftOver(std::uint64_t used, std::uint64_t dataSize, const char* dataName,
                   std::vector<Finding>& findings) {
  if (dataSize > used) {
    findings.push_back(
        {"data-left-over", Fill(Tr("inspect", "%1：末尾多出 %2 字节，没有条目指向它们"), dataName,
                                Count(dataSize - used))});
  }
}

PictureEntry ParsePicture(std::span<const std::uint8_t> bytes, int position) {
  PictureEntry entry;
  entry.position = position;
  entry.number = static_cast<int>(GetLittleEndian(bytes, 0, 2));
  entry.address = GetLittleEndian(bytes, 3, 4);
  entry.width = static_cast<int>(GetLittleEndian(bytes, 7, 2));
  entry.height = static_cast<int>(GetLittleEndian(bytes, 9, 2));
  entry.length = GetLittleEndian(bytes, 11, 3);
  return entry;
}

// The depth the first picture with one sets for all after it.
void CheckPictureFields(const PictureEntry& entry, bool reservedClear, int& firstDepth,
                        std::vector<Finding>& findings) {
  const std::string who = Fill(Tr("inspect", "图片 %1"), Count(entry.position));
  if (entry.number != (entry.position & 0xFFFF)) {
    findings.push_back(
        {"number-mismatch", Fill(Tr("inspect", "%1：编号为 %2，应为 %3"), who, Count(entry.number),
                                 Count(entry.position & 0xFFFF))});
  }
  if (!reservedClear) {
    findings.push_back({"reserved-bytes", Fill(Tr("inspect", "%1：保留字节不为 0"), who)});
  }
  if (entry.IsEmpty()) {
    return;
  }
  const int depth = entry.BytesPerPixel();
  if (depth == 0) {
    findings.push_back({"length-mismatch",
                        Fill(Tr("inspect", "%1：数据长度 %2 不等于 宽 × 高（%3 × %4）× 2 或 × 3"),
                             who, Count(entry.length), Count(entry.width), Count(entry.height))});
  } else if (firstDepth == 0) {
    firstDepth = depth;
  } else if (depth != firstDepth) {
    findings.push_back({"depth-inconsistent",
                        Fill(Tr("inspect", "%1：每像素 %2 字节，与前面的图片（%3 字节）不同"), who,
                             Count(depth), Count(firstDepth))});
  }
}

std::vector<PictureEntry> CheckPictures(std::span<const std::uint8_t> index, std::uint64_t dataSize,
                                        std::vector<Finding>& findings) {
  const std::span<const std::uint8_t> whole = WholeEntries(index, "image.idx", findings);
  std::vector<PictureEntry> pictures;
  pictures.reserve(whole.size() / kImageIndexEntrySize);
  std::uint64_t expected = kImageBaseAddress;
  std::uint64_t used = 0;
  int firstDepth = 0;
  for (std::size_t at = 0; at < whole.size(); at += kImageIndexEntrySize) {
    const std::span<const std::uint8_t> bytes = whole.subspan(at, kImageIndexEntrySize);
    PictureEntry entry = ParsePicture(bytes, static_cast<int>(pictures.size()));
    const std::string who = Fill(Tr("inspect", "图片 %1"), Count(entry.position));
    CheckPictureFields(entry, bytes[2] == 0 && bytes[14] == 0 && bytes[15] == 0, firstDepth,
                       findings);
    if (entry.address != expected) {
      findings.push_back(
          {"address-mismatch", Fill(Tr("inspect", "%1：地址 %2，应为 %3"), who,
                                    HexAddress(entry.address), HexAddress(expected))});
    }
    entry.inData = CheckBlock(who, entry.address, kImageBaseAddress, entry.length, dataSize,
                              "image.bin", findings);
    expected = std::uint64_t{entry.address} + entry.length;
    used += entry.length;
    pictures.push_back(entry);
  }
  CheckLeftOver(used, dataSize, "image.bin", findings);
  return pictures;
}

SoundEntry ParseSound(std::span<const std::uint8_t> bytes, int position) {
  SoundEntry entry;
  entry.position = position;
  entry.number = static_cast<int>(GetLittleEndian(bytes, 0, 1));
  entry.channels = static_cast<int>(GetLittleEndian(bytes, 1, 1));
  entry.bitsPerSample = static_cast<int>(GetLittleEndian(bytes, 2, 2));
  entry.sampleRate = GetLittleEndian(bytes, 4, 4);
  entry.length = GetLittleEndian(bytes, 8, 4);
  entry.address = GetLittleEndian(bytes, 12, 4);
  return entry;
}

std::uint64_t AlignUp(std::uint64_t value) {
  return (value + kWaveAlignment - 1) / kWaveAlignment * kWaveAlignment;
}

std::vector<SoundEntry> CheckSounds(std::span<const std::uint8_t> index, std::uint64_t dataSize,
                                    std::vector<Finding>& findings) {
  const std::span<const std::uint8_t> whole = WholeEntries(index, "wave.idx", findings);
  std::vector<SoundEntry> sounds;
  sounds.reserve(whole.size() / kWaveIndexEntrySize);
  std::uint64_t expected = kWaveBaseAddress;
  std::uint64_t used = 0;
  std::uint64_t lastSamplesEnd = 0;
  for (std::size_t at = 0; at < whole.size(); at += kWaveIndexEntrySize) {
    SoundEntry entry =
        ParseSound(whole.subspan(at, kWaveIndexEntrySize), static_cast<int>(sounds.size()));
    const std::string who = Fill(Tr("inspect", "声音 %1"), Count(entry.position));
    if (entry.number != (entry.position & 0xFF)) {
      findings.push_back(
          {"number-mismatch", Fill(Tr("inspect", "%1：编号为 %2，应为 %3"), who,
                                   Count(entry.number), Count(entry.position & 0xFF))});
    }
    if (entry.address != expected) {
      findings.push_back(
          {"address-mismatch", Fill(Tr("inspect", "%1：地址 %2，应为 %3"), who,
                                    HexAddress(entry.address), HexAddress(expected))});
    }
    if (entry.address % kWaveAlignment != 0) {
      findings.push_back({"sound-alignment", Fill(Tr("inspect", "%1：地址 %2 不是 2048 的倍数"),
                                                  who, HexAddress(entry.address))});
    }
    entry.inData = CheckBlock(who, entry.address, kWaveBaseAddress, entry.length, dataSize,
                              "wave.bin", findings);
    expected = AlignUp(std::uint64_t{entry.address} + entry.length);
    lastSamplesEnd = used + entry.length;
    used = AlignUp(lastSamplesEnd);
    sounds.push_back(entry);
  }
  if (dataSize >= lastSamplesEnd && dataSize < used) {
    findings.push_back(
        {"filler-missing",
         Fill(Tr("inspect", "wave.bin：最后一段声音后少了 %1 字节填充"), Count(used - dataSize))});
  }
  CheckLeftOver(used, dataSize, "wave.bin", findings);
  return sounds;
}

// The module keeps pictures below the sounds' base address: a picture that
// runs past it shares memory with the sounds. Named once, at the first.
void CheckPicturesBelowSounds(const ResourceListing& listing, std::vector<Finding>& findings) {
  if (listing.sounds.empty()) {
    return;
  }
  for (const PictureEntry& entry : listing.pictures) {
    if (std::uint64_t{entry.address} + entry.length > kImageAreaEnd) {
      findings.push_back(
          {"pictures-overlap-sounds", Fill(Tr("inspect", "图片 %1 起：数据越过 %2，与声音数据重叠"),
                                           Count(entry.position), HexAddress(kImageAreaEnd))});
      return;
    }
  }
}

}  // namespace

int PictureEntry::BytesPerPixel() const {
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (pixels == 0) {
    return 0;
  }
  if (length == pixels * 2) {
    return 2;
  }
  return length == pixels * 3 ? 3 : 0;
}

std::optional<std::uint64_t> PictureEntry::Offset() const {
  if (address < kImageBaseAddress) {
    return std::nullopt;
  }
  return address - kImageBaseAddress;
}

std::optional<std::uint64_t> SoundEntry::Offset() const {
  if (address < kWaveBaseAddress) {
    return std::nullopt;
  }
  return address - kWaveBaseAddress;
}

double SoundEntry::Seconds() const {
  const double bytesPerSecond =
      static_cast<double>(sampleRate) * channels * ((static_cast<unsigned>(bitsPerSample) + 7) / 8);
  return bytesPerSecond > 0 ? length / bytesPerSecond : 0.0;
}

ResourceListing CheckResources(std::span<const std::uint8_t> imageIndex,
                               std::uint64_t imageDataSize, std::span<const std::uint8_t> waveIndex,
                               std::uint64_t waveDataSize) {
  ResourceListing listing;
  listing.imageDataSize = imageDataSize;
  listing.waveDataSize = waveDataSize;
  listing.pictures = CheckPictures(imageIndex, imageDataSize, listing.findings);
  listing.sounds = CheckSounds(waveIndex, waveDataSize, listing.findings);
  CheckPicturesBelowSounds(listing, listing.findings);
  return listing;
}

}  // namespace zentora
