#include "base/file_copy.h"

#include <array>
#include <cstdint>
#include <system_error>

#include "base/atomic_file_writer.h"
#include "base/exclusive_file.h"
#include "base/file_descriptor.h"
#include "base/regular_file.h"

namespace zentora {

Status CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  if (std::filesystem::equivalent(from, to, error)) {
    return Status::Ok();
  }
  const Result<CFileDescriptor> source = OpenRegularFile(from);
  if (!source) {
    return source.status();
  }
  Result<CAtomicFileWriter> target = CAtomicFileWriter::Begin(to);
  if (!target) {
    return target.status();
  }
  std::array<std::uint8_t, 1 << 16> buffer{};
  for (;;) {
    const Result<std::size_t> got = ReadFromDescriptor(source.value().Get(), buffer);
    if (!got) {
      return got.status();
    }
    if (got.value() == 0) {
      break;
    }
    if (Status written =
            target.value().Write(std::span<const std::uint8_t>(buffer.data(), got.value()));
        !written) {
      return written;
    }
  }
  return target.value().Commit();
}

}  // namespace zentora
