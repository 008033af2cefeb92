#include "sound/wave_chunks.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "base/exclusive_file.h"
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

Status ReadRiffHeader(int fd, WaveHeaders& headers) {
  std::uint8_t riff[kRiffHeaderSize];
  if (!ReadAt(fd, 0, riff)) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  std::memcpy(headers.riffId.data(), riff, 4);
  headers.riffSize = U32(riff + 4);
  std::memcpy(headers.formType.data(), riff + 8, 4);
  // The chunk id is not examined: only the form type.
  if (std::memcmp(headers.formType.data(), "WAVE", 4) != 0) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  return Status::Ok();
}

Status ReadFormatChunk(int fd, WaveHeaders& headers) {
  std::uint8_t format[kFormatHeaderSize];
  if (!ReadAt(fd, kRiffHeaderSize, format)) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  std::memcpy(headers.formatId.data(), format, 4);
  headers.formatSize = U32(format + 4);
  headers.formatTag = U16(format + 8);
  headers.channels = U16(format + 10);
  headers.samplesPerSecond = U32(format + 12);
  headers.averageBytesPerSecond = U32(format + 16);
  headers.blockAlign = U16(format + 20);
  headers.bitsPerSample = U16(format + 22);
  // The format chunk must come first; its fourth id byte is not examined.
  if (std::memcmp(headers.formatId.data(), "fmt", 3) != 0) {
    return Status::Failure(Tr("sound", kNotWave));
  }
  if (headers.formatTag != kPcmFormatTag) {
    return Status::Failure(Tr("sound", kNotPcm));
  }
  // Fields that no player could follow are refused like another format,
  // rather than compiled into an entry the module would misread.
  if (headers.formatSize < kFormatBodySize || headers.channels == 0 ||
      headers.samplesPerSecond == 0 || headers.bitsPerSample == 0 ||
      headers.bitsPerSample % 8 != 0 || headers.bitsPerSample > 32) {
    return Status::Failure(Tr("sound", kUnplayable));
  }
  return Status::Ok();
}

std::string ChunkPastTheEnd(std::uint64_t offset, std::uint32_t size) {
  return Fill(Tr("sound", "偏移 %1 处的块声明 %2 字节，超出文件末尾"), std::to_string(offset),
              std::to_string(size));
}

// Why the bytes that the chunks announce are not all in the file, judged
// from where the walk stopped; empty when they are.
struct WalkEnd {
  std::uint64_t offset = 0;  // where the next chunk header would start
  bool sawData = false;
  std::string missing;
};

std::string WhyIncomplete(const WalkEnd& end, std::uint64_t formEnd, std::uint64_t fileSize) {
  if (!end.missing.empty()) {
    return end.missing;
  }
  // The form announces another chunk whose header the file cuts.
  if (end.offset < fileSize && end.offset + kChunkHeaderSize > fileSize &&
      end.offset + kChunkHeaderSize <= formEnd) {
    return Fill(Tr("sound", "文件在偏移 %1 处的块头中间结束"), std::to_string(end.offset));
  }
  if (!end.sawData) {
    return Tr("sound", "文件中没有 data 块");
  }
  return {};
}

}  // namespace

std::string WaveUnreadableReason() {
  return Tr("sound", kUnreadable);
}

Result<WaveHeaders> ReadWaveHeaders(int fd) {
  WaveHeaders headers;
  if (Status riff = ReadRiffHeader(fd, headers); !riff) {
    return riff;
  }
  if (Status format = ReadFormatChunk(fd, headers); !format) {
    return format;
  }
  return headers;
}

Result<std::string> WalkWaveData(int fd, const WaveHeaders& headers, std::uint64_t fileSize,
                                 const WaveDataVisitor& visit, std::uint64_t chunkLimit) {
  const std::uint64_t formEnd = 8 + static_cast<std::uint64_t>(headers.riffSize);
  const std::uint64_t walkEnd = std::min(formEnd, fileSize);
  const std::uint64_t formatBody = kRiffHeaderSize + kChunkHeaderSize;
  WalkEnd end;
  if (formatBody + headers.formatSize > fileSize) {
    end.missing = ChunkPastTheEnd(kRiffHeaderSize, headers.formatSize);
  }
  end.offset = formatBody + headers.formatSize + (headers.formatSize & 1);
  std::uint64_t chunks = 0;
  while (end.offset + kChunkHeaderSize <= walkEnd) {
    if (++chunks > chunkLimit) {
      return Status::Failure(Fill(Tr("sound", "块多于 %1 个"), std::to_string(chunkLimit)));
    }
    std::uint8_t header[kChunkHeaderSize];
    if (!ReadAt(fd, end.offset, header)) {
      return Status::Failure(WaveUnreadableReason());
    }
    const std::uint32_t size = U32(header + 4);
    const std::uint64_t body = end.offset + kChunkHeaderSize;
    if (std::memcmp(header, "data", 4) == 0) {
      end.sawData = true;
      const std::uint64_t present =
          body >= fileSize ? 0 : std::min<std::uint64_t>(size, fileSize - body);
      if (present > 0) {
        if (Status visited = visit({body, present}); !visited) {
          return visited;
        }
      }
      if (present < size) {
        end.missing = Fill(Tr("sound", "data 块声明 %1 字节，文件中只有 %2 字节"),
                           std::to_string(size), std::to_string(present));
      }
    } else if (body + size > fileSize) {
      end.missing = ChunkPastTheEnd(end.offset, size);
    }
    end.offset = body + size + (size & 1);
  }
  return WhyIncomplete(end, formEnd, fileSize);
}

}  // namespace zentora
