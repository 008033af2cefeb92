// WAV files come from anywhere: whatever the bytes, Load must return 1 or 0,
// never hold more sample bytes than the file has, and leave a refused object
// empty; the streaming reader the compiler uses must accept the same files
// and hand over the same bytes, in blocks of any size. The bytes are handed
// over as an in-memory file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "sound/wave.h"
#include "sound/wave_file.h"

namespace {

// Streams the samples through a block of 1 to 16 bytes, chosen by the input,
// and checks them against the whole-file reader.
void CheckStreamed(const std::string& path, const zentora::CWave& wave, bool accepted,
                   std::size_t blockSize) {
  const zentora::Result<zentora::CWaveFile> file = zentora::CWaveFile::Open(path);
  if (file.ok() != accepted) {
    std::abort();
  }
  if (!file) {
    return;
  }
  if (file.value().DataLength() != wave.DataLength()) {
    std::abort();
  }
  std::vector<std::uint8_t> block(blockSize);
  std::vector<std::uint8_t> streamed;
  const zentora::Status read =
      file.value().ReadSamples(block, [&](std::span<const std::uint8_t> piece) {
        if (piece.empty() || piece.size() > blockSize) {
          std::abort();
        }
        streamed.insert(streamed.end(), piece.begin(), piece.end());
        return zentora::Status::Ok();
      });
  if (!read || streamed.size() != wave.DataLength() ||
      (!streamed.empty() && std::memcmp(streamed.data(), wave.Data(), streamed.size()) != 0)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = ::memfd_create("wave", MFD_CLOEXEC);
  if (fd < 0) {
    return 0;
  }
  std::size_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, data + written, size - written);
    if (n <= 0) {
      ::close(fd);
      return 0;
    }
    written += static_cast<std::size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  zentora::CWave wave;
  const int accepted = wave.Load(path);
  CheckStreamed(path, wave, accepted == 1, size == 0 ? 1 : data[size - 1] % 16 + 1);
  ::close(fd);
  if (accepted != 0 && accepted != 1) {
    std::abort();
  }
  if (wave.DataLength() > size || (wave.DataLength() > 0) != (wave.Data() != nullptr)) {
    std::abort();
  }
  if (accepted == 0 && (wave.DataLength() != 0 || wave.Channels() != 0 || wave.FormatTag() != 0)) {
    std::abort();
  }
  if (accepted == 1 && std::memcmp(wave.FormType().data(), "WAVE", 4) != 0) {
    std::abort();
  }
  return 0;
}
