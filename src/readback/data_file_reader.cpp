#include "readback/data_file_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/exclusive_file.h"
#include "base/regular_file.h"

namespace zentora {

Result<CDataFileReader> CDataFileReader::Open(const std::filesystem::path& path) {
  // Opened without waiting: a FIFO put in the file's place must not hang.
  Result<CFileDescriptor> fd = OpenRegularFile(path);
  if (!fd) {
    return fd.status();
  }
  return CDataFileReader(std::move(fd).value());
}

Status CDataFileReader::ReadPadded(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t got = ::pread(fd_.Get(), bytes.data() + filled, bytes.size() - filled,
                                static_cast<off_t>(offset + filled));
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return Status::Failure(ErrnoMessage(errno));
    }
    if (got == 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(filled), bytes.end(), std::uint8_t{0});
  return Status::Ok();
}

}  // namespace zentora
