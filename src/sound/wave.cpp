#include "sound/wave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <vector>

#include "base/regular_file.h"

namespace zentora {

namespace {

constexpr std::uint64_t kRiffHeaderSize = 12;
constexpr std::uint64_t kFormatHeaderSize = 24;  // chunk header + 16 body bytes
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint16_t kPcmFormatTag = 1;

std::uint16_t U16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t U32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Reads exactly bytes.size() bytes at offset; false when the file ends first
// or the read fails.
bool ReadAt(int fd, std::uint64_t offset, std::span<std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(got));
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

// Where one "data" chunk's bytes lie in the file, clipped to the file's end.
struct DataSpan {
  std::uint64_t offset;
  std::uint64_t length;
};

class CFileCloser {
 public:
  explicit CFileCloser(int fd) : fd_(fd) {}
  ~CFileCloser() { ::close(fd_); }
  CFileCloser(const CFileCloser&) = delete;
  CFileCloser& operator=(const CFileCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

void CWave::Release() {
  data_.reset();
  dataLength_ = 0;
}

void CWave::ClearHeaders() {
  riffId_ = {};
  riffSize_ = 0;
  formType_ = {};
  formatId_ = {};
  formatSize_ = 0;
  formatTag_ = 0;
  channels_ = 0;
  samplesPerSecond_ = 0;
  averageBytesPerSecond_ = 0;
  blockAlign_ = 0;
  bitsPerSample_ = 0;
}

int CWave::Load(const std::filesystem::path& path) {
  Release();
  const Result<int> opened = OpenRegularFile(path);
  if (!opened) {
    ClearHeaders();
    return 0;
  }
  const int fd = opened.value();
  CFileCloser closer(fd);
  const int accepted = LoadOpenFile(fd);
  if (accepted == 0) {
    Release();
    ClearHeaders();
  }
  return accepted;
}

int CWave::LoadOpenFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    return 0;
  }
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);

  std::uint8_t riff[kRiffHeaderSize];
  if (!ReadAt(fd, 0, riff)) {
    return 0;
  }
  std::memcpy(riffId_.data(), riff, 4);
  riffSize_ = U32(riff + 4);
  std::memcpy(formType_.data(), riff + 8, 4);
  // The chunk id is not examined: only the form type.
  if (std::memcmp(formType_.data(), "WAVE", 4) != 0) {
    return 0;
  }

  std::uint8_t format[kFormatHeaderSize];
  if (!ReadAt(fd, kRiffHeaderSize, format)) {
    return 0;
  }
  std::memcpy(formatId_.data(), format, 4);
  formatSize_ = U32(format + 4);
  formatTag_ = U16(format + 8);
  channels_ = U16(format + 10);
  samplesPerSecond_ = U32(format + 12);
  averageBytesPerSecond_ = U32(format + 16);
  blockAlign_ = U16(format + 20);
  bitsPerSample_ = U16(format + 22);
  // The format chunk must come first; its fourth id byte is not examined.
  if (std::memcmp(formatId_.data(), "fmt", 3) != 0 || formatTag_ != kPcmFormatTag) {
    return 0;
  }

  // Walk the chunks after the format chunk's body, collecting the "data"
  // bodies first so that the buffer is allocated once, at its final size.
  const std::uint64_t formEnd = 8 + static_cast<std::uint64_t>(riffSize_);
  const std::uint64_t walkEnd = std::min(formEnd, fileSize);
  std::uint64_t offset = 20 + static_cast<std::uint64_t>(formatSize_) + (formatSize_ & 1);
  std::vector<DataSpan> spans;
  std::uint64_t total = 0;
  while (offset + kChunkHeaderSize <= walkEnd) {
    std::uint8_t header[kChunkHeaderSize];
    if (!ReadAt(fd, offset, header)) {
      return 0;
    }
    const std::uint32_t size = U32(header + 4);
    const std::uint64_t body = offset + kChunkHeaderSize;
    if (std::memcmp(header, "data", 4) == 0) {
      const std::uint64_t present =
          body >= fileSize ? 0 : std::min<std::uint64_t>(size, fileSize - body);
      if (present > 0) {
        spans.push_back({body, present});
        total += present;
      }
    }
    offset = body + size + (size & 1);
  }
  if (total > std::numeric_limits<std::uint32_t>::max()) {
    return 0;  // the length could not be described
  }

  if (total > 0) {
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[total]);
    if (!data) {
      return 0;
    }
    std::uint64_t filled = 0;
    for (const DataSpan& span : spans) {
      // The file may have shrunk since it was measured.
      if (!ReadAt(fd, span.offset, std::span(data.get() + filled, span.length))) {
        return 0;
      }
      filled += span.length;
    }
    data_ = std::move(data);
  }
  dataLength_ = static_cast<std::uint32_t>(total);
  return 1;
}

}  // namespace zentora
