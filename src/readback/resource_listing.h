#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace zentora {

// One 16-byte entry of image.idx as stored, with what the checks learned
// about it. Nothing in it is trusted until `inData` says the block is there.
struct PictureEntry {
  int position = 0;  // the entry's place in the index, from 0
  int number = 0;    // as stored
  std::uint32_t address = 0;
  int width = 0;
  int height = 0;
  std::uint32_t length = 0;
  // The whole block [address, address + length) lies inside image.bin.
  bool inData = false;

  // A picture the compiler could not read: no size, no data.
  bool IsEmpty() const { return width == 0 && height == 0 && length == 0; }
  // length ÷ (width × height) when that is exactly 2 or 3, else 0.
  int BytesPerPixel() const;
  // The block's offset in image.bin; nullopt for an address below the base.
  std::optional<std::uint64_t> Offset() const;
};

// One 16-byte entry of wave.idx as stored.
struct SoundEntry {
  int position = 0;
  int number = 0;
  int channels = 0;
  int bitsPerSample = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t length = 0;
  std::uint32_t address = 0;
  bool inData = false;

  // How long the samples play; 0 when the format gives no rate to play at.
  double Seconds() const;
  std::optional<std::uint64_t> Offset() const;
};

// One way a folder departs from the formats the compilers write.
struct Finding {
  // Stable across versions and languages, for scripts: "index-length",
  // "depth-mismatch", ... (docs/json.md lists them).
  std::string code;
  // The line the user reads, naming the file or entry and what is wrong.
  std::string text;

  bool operator==(const Finding&) const = default;
};

// What a folder of compiled resources holds, and every way it departs from
// the formats the compilers write.
struct ResourceListing {
  std::vector<PictureEntry> pictures;
  std::vector<SoundEntry> sounds;
  std::uint64_t imageDataSize = 0;  // bytes in image.bin
  std::uint64_t waveDataSize = 0;   // bytes in wave.bin
  // One per fault.
  std::vector<Finding> findings;
};

// How an address appears in every line: "0x00B00000".
std::string HexAddress(std::uint64_t address);
// A picture or sound by position, as the lines and output files name it:
// "0000", "0000.png".
std::string NumberedName(int position, const char* extension = "");

// The most index bytes read: a million entries each, far beyond any project.
inline constexpr std::uint64_t kMaxIndexBytes = 16ULL << 20;

// Parses and checks the two index files against the sizes of their data
// files. Reads nothing else and allocates in proportion to the index bytes
// only, whatever the fields claim.
ResourceListing CheckResources(std::span<const std::uint8_t> imageIndex,
                               std::uint64_t imageDataSize, std::span<const std::uint8_t> waveIndex,
                               std::uint64_t waveDataSize);

// Reads image.idx and wave.idx of a folder and the sizes of image.bin and
// wave.bin (any may be absent or empty), then checks them. Fails only when
// the folder is not there or not a folder; a file that cannot be read, a
// folder without any of the four, and a set whose replacement is unfinished
// are findings.
Result<ResourceListing> ReadResourceFolder(const std::filesystem::path& folder);

}  // namespace zentora
