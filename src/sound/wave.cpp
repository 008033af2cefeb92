#include "sound/wave.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <vector>

#include "base/exclusive_file.h"
#include "base/regular_file.h"
#include "base/translation.h"

namespace zentora {

namespace {

constexpr std::uint64_t kRiffHeaderSize = 12;
constexpr std::uint64_t kFormatHeaderSize = 24;  // chunk header + 16 body bytes
constexpr std::uint32_t kFormatBodySize = 16;
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint16_t kPcmFormatTag = 1;

// Why a file was refused, as the output list says it.
constexpr const char* kNotWave = QT_TRANSLATE_NOOP("sound", "不是 WAV 文件");
constexpr const char* kNotPcm = QT_TRANSLATE_NOOP("sound", "不是 PCM 格式");
constexpr const char* kUnplayable = QT_TRANSLATE_NOOP("sound", "PCM 格式参数无效");
constexpr const char* kTooLong = QT_TRANSLATE_NOOP("sound", "声音数据过长");
constexpr const char* kNoMemory = QT_TRANSLATE_NOOP("sound", "内存不足");
constexpr const char* kUnreadable = QT_TRANSLATE_NOOP("sound", "读取文件失败");

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
  const Result<std::size_t> got = ReadFromDescriptorAt(fd, offset, bytes);
  return got && got.value() == bytes.size();
}

// Where one "data" chunk's bytes lie in the file, clipped to the file's end.
struct DataSpan {
  std::uint64_t offset;
  std::uint64_t length;
};

// The "data" chunks of a form and their joined length.
struct DataChunks {
  std::vector<DataSpan> spans;
  std::uint64_t total = 0;
};

// Walks the chunks from `offset` while a whole chunk header fits before
// `walkEnd`, collecting the "data" bodies first so that the sample buffer
// can be allocated once, at its final size.
Result<DataChunks> FindDataChunks(int fd, std::uint64_t offset, std::uint64_t walkEnd,
                                  std::uint64_t fileSize) {
  DataChunks chunks;
  while (offset + kChunkHeaderSize <= walkEnd) {
    std::uint8_t header[kChunkHeaderSize];
    if (!ReadAt(fd, offset, header)) {
      return Status::Failure(Tr("sound", kUnreadable));
    }
    const std::uint32_t size = U32(header + 4);
    const std::uint64_t body = offset + kChunkHeaderSize;
    if (std::memcmp(header, "data", 4) == 0) {
      const std::uint64_t present =
          body >= fileSize ? 0 : std::min<std::uint64_t>(size, fileSize - body);
      if (present > 0) {
        chunks.spans.push_back({body, present});
        chunks.total += present;
      }
    }
    offset = body + size + (size & 1);
  }
  if (chunks.total > std::numeric_limits<std::uint32_t>::max()) {
    return Status::Failure(Tr("sound", kTooLong));  // the length could not be described
  }
  return chunks;
}

// The joined bodies of the "data" chunks; null when there are none.
Result<std::unique_ptr<std::uint8_t[]>> ReadSamples(int fd, const DataChunks& chunks) {
  if (chunks.total == 0) {
    return std::unique_ptr<std::uint8_t[]>();
  }
  std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[chunks.total]);
  if (!data) {
    return Status::Failure(Tr("sound", kNoMemory));
  }
  std::uint64_t filled = 0;
  for (const DataSpan& span : chunks.spans) {
    // The file may have shrunk since it was measured.
    if (!ReadAt(fd, span.offset, std::span(data.get() + filled, span.length))) {
      return Status::Failure(Tr("sound", kUnreadable));
    }
    filled += span.length;
  }
  return data;
}

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
  return Read(path) ? 1 : 0;
}

Status CWave::Read(const std::filesystem::path& path) {
  Release();
  const Result<CFileDescriptor> fd = OpenRegularFile(path);
  Status read = fd ? ReadOpenFile(fd.value().Get()) : fd.status();
  if (!read) {
    Release();
    ClearHeaders();
  }
  return read;
}

Status CWave::ReadOpenFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return Status::Failure(Tr("sound", kUnreadable));
  }
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  if (Status header = ReadRiffHeader(fd); !header) {
    return header;
  }
  if (Status format = ReadFormatChunk(fd); !format) {
    return format;
  }
  const std::uint64_t formEnd = 8 + static_cast<std::uint64_t>(riffSize_);
  const std::uint64_t firstChunk = 20 + static_cast<std::uint64_t>(formatSize_) + (formatSize_ & 1);
  Result<DataChunks> chunks = FindDataChunks(fd, firstChunk, std::min(formEnd, fileSize), fileSize);
  if (!chunks) {
    return chunks.status();
  }
  Result<std::unique_ptr<std::uint8_t[]>> samples = ReadSamples(fd, chunks.value());
  if (!samples) {
    return samples.status();
  }
  data_ = std::move(samples).value();
  dataLength_ = static_cast<std::uint32_t>(chunks.value().total);
  return Status::Ok();
}

Status CWave::ReadRiffHeader(int fd) {
  std::uint8_t riff[kRiffHeaderSize];
  if (!ReadAt(fd, 0, riff)) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  std::memcpy(riffId_.data(), riff, 4);
  riffSize_ = U32(riff + 4);
  std::memcpy(formType_.data(), riff + 8, 4);
  // The chunk id is not examined: only the form type.
  if (std::memcmp(formType_.data(), "WAVE", 4) != 0) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  return Status::Ok();
}

Status CWave::ReadFormatChunk(int fd) {
  std::uint8_t format[kFormatHeaderSize];
  if (!ReadAt(fd, kRiffHeaderSize, format)) {
    return Status::Failure(Tr("sound", kNotWave));
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
  if (std::memcmp(formatId_.data(), "fmt", 3) != 0) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  if (formatTag_ != kPcmFormatTag) {
    return Status::Failure(Tr("sound", kNotPcm));
  }
  // Fields that no player could follow are refused like another format,
  // rather than compiled into an entry the module would misread.
  if (formatSize_ < kFormatBodySize || channels_ == 0 || samplesPerSecond_ == 0 ||
      bitsPerSample_ == 0 || bitsPerSample_ % 8 != 0 || bitsPerSample_ > 32) {
    return Status::Failure(Tr("sound", kUnplayable));
  }
  return Status::Ok();
}

}  // namespace zentora
