#include "readback/data_file_reader.h"

#include <algorithm>
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
  const Result<std::size_t> filled = ReadFromDescriptorAt(fd_.Get(), offset, bytes);
  if (!filled) {
    return filled.status();
  }
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(filled.value()), bytes.end(),
            std::uint8_t{0});
  return Status::Ok();
}

}  // namespace zentora
