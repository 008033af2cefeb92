// Compiled resource folders come from anywhere (an old build, another tool,
// a damaged card): whatever the index bytes claim, the reader must report
// instead of crashing, never treat a block as present that the data file
// does not hold, and never allocate more than the files could justify.
//
// Input: two bytes giving the length n of image.idx, n bytes of it, two
// bytes giving the length m of wave.idx, m bytes of it; the rest is both
// image.bin and wave.bin.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "image/image_settings.h"
#include "readback/data_file_reader.h"
#include "readback/picture_unpacking.h"
#include "readback/resource_listing.h"
#include "readback/sound_unpacking.h"

namespace {

std::span<const std::uint8_t> TakePart(std::span<const std::uint8_t>& input) {
  if (input.size() < 2) {
    input = {};
    return {};
  }
  const std::size_t wanted = input[0] | (std::size_t{input[1]} << 8);
  input = input.subspan(2);
  const std::span<const std::uint8_t> part = input.first(std::min(wanted, input.size()));
  input = input.subspan(part.size());
  return part;
}

// The data bytes as a file the reader can open by name.
int DataFile(std::span<const std::uint8_t> data) {
  const int fd = ::memfd_create("data", MFD_CLOEXEC);
  if (fd >= 0 && ::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::span<const std::uint8_t> input(bytes, size);
  const std::span<const std::uint8_t> imageIndex = TakePart(input);
  const std::span<const std::uint8_t> waveIndex = TakePart(input);
  const zentora::ResourceListing listing =
      zentora::CheckResources(imageIndex, input.size(), waveIndex, input.size());
  const int fd = DataFile(input);
  if (fd < 0) {
    return 0;
  }
  const auto data = zentora::CDataFileReader::Open("/proc/self/fd/" + std::to_string(fd));
  ::close(fd);
  if (!data) {
    return 0;
  }
  for (const zentora::PictureEntry& entry : listing.pictures) {
    if (entry.inData && (!entry.Offset() || *entry.Offset() + entry.length > input.size())) {
      std::abort();
    }
    for (int depth : {0, 1}) {
      zentora::ImageSettings settings;
      settings.colorDepth = depth;
      settings.columnFirst = entry.position % 2 == 1;
      const auto picture = zentora::ReadPicture(data.value(), entry, settings);
      if (picture &&
          (picture.value().width() != entry.width || picture.value().height() != entry.height)) {
        std::abort();
      }
    }
  }
  for (const zentora::SoundEntry& entry : listing.sounds) {
    const auto wave = zentora::ReadSoundAsWave(data.value(), entry);
    if (wave && (!entry.inData || wave.value().size() > input.size() + 45)) {
      std::abort();
    }
  }
  return 0;
}
