// WAV files come from anywhere: whatever the bytes, Load must return 1 or 0,
// never hold more sample bytes than the file has, and leave a refused object
// empty. The bytes are handed over as an in-memory file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sound/wave.h"

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
  zentora::CWave wave;
  const int accepted = wave.Load("/proc/self/fd/" + std::to_string(fd));
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
