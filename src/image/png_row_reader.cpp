#include "image/png_row_reader.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "image/png_row_filter.h"

namespace zentora {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kHeaderLength = 13;
constexpr std::size_t kCrcLength = 4;
// The general decoder refuses wider or taller pictures, and chunks longer
// than this (image data may be longer there, but is rarely cut so).
constexpr std::uint32_t kMaxSide = 1000000;
constexpr std::uint32_t kMaxChunkRead = 8000000;
constexpr std::uint8_t kColourRgb = 2;
constexpr std::uint8_t kColourRgba = 6;
constexpr std::size_t kBatchBytes = 128 * 1024;
constexpr std::size_t kInputBytes = 64 * 1024;

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

std::uint32_t Crc(std::uint32_t crc, const void* bytes, std::size_t length) {
  return crc32_gzip_refl(crc, static_cast<const unsigned char*>(bytes), length);
}

bool ReadExactly(QIODevice& device, void* out, qint64 length) {
  return device.read(static_cast<char*>(out), length) == length;
}

bool SkipExactly(QIODevice& device, qint64 length) {
  return device.skip(length) == length;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The 4 bytes after a chunk's data against the CRC of its type and data.
bool CrcMatches(QIODevice& device, std::uint32_t crc) {
  std::uint8_t stored[kCrcLength];
  return ReadExactly(device, stored, kCrcLength) && BigEndian32(stored) == crc;
}

}  // namespace

bool CPngRowReader::ChunkHeader::Is(const char (&name)[5]) const {
  return std::memcmp(type, name, 4) == 0;
}

namespace {

using ChunkHeader = CPngRowReader::ChunkHeader;

// A chunk type of anything but letters stops the general decoder.
std::optional<ChunkHeader> ReadChunkHeader(QIODevice& device) {
  std::uint8_t bytes[8];
  if (!ReadExactly(device, bytes, sizeof bytes)) {
    return std::nullopt;
  }
  ChunkHeader header;
  header.length = BigEndian32(bytes);
  std::memcpy(header.type, bytes + 4, 4);
  if (header.length > kMaxChunkLength || !std::all_of(header.type, header.type + 4, IsLetter)) {
    return std::nullopt;
  }
  return header;
}

// Chunks the general decoder reads past without a change to the pixels:
// ancillary ones (a lower-case first letter) other than transparency.
bool Skippable(const ChunkHeader& chunk) {
  const bool ancillary = chunk.type[0] >= 'a' && chunk.type[0] <= 'z';
  return ancillary && !chunk.Is("tRNS") && chunk.length <= kMaxChunkRead;
}

struct Layout {
  QSize size;
  int channels = 0;
};

// The signature and IHDR of an 8-bit RGB or RGBA picture, not interlaced.
std::optional<Layout> ReadHeader(QIODevice& device) {
  std::array<std::uint8_t, kSignature.size()> signature{};
  std::uint8_t fields[kHeaderLength];
  const std::optional<ChunkHeader> chunk =
      ReadExactly(device, signature.data(), signature.size()) && signature == kSignature
          ? ReadChunkHeader(device)
          : std::nullopt;
  if (!chunk || !chunk->Is("IHDR") || chunk->length != kHeaderLength ||
      !ReadExactly(device, fields, kHeaderLength) ||
      !CrcMatches(device, Crc(Crc(0, chunk->type, 4), fields, kHeaderLength))) {
    return std::nullopt;
  }
  const std::uint32_t width = BigEndian32(fields);
  const std::uint32_t height = BigEndian32(fields + 4);
  const std::uint8_t colour = fields[9];
  const bool eightBit = fields[8] == 8 && (colour == kColourRgb || colour == kColourRgba);
  const bool plain = fields[10] == 0 && fields[11] == 0 && fields[12] == 0;
  if (!eightBit || !plain || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    return std::nullopt;
  }
  return Layout{QSize(static_cast<int>(width), static_cast<int>(height)),
                colour == kColourRgba ? 4 : 3};
}

// Walks the chunks after the header up to the first IDAT and gives its
// length; nullopt at any chunk that is not to be skipped, or when the file
// ends first.
std::optional<std::uint32_t> SkipToImageData(QIODevice& device) {
  for (;;) {
    const std::optional<ChunkHeader> chunk = ReadChunkHeader(device);
    if (chunk && chunk->Is("IDAT") && chunk->length <= kMaxChunkRead) {
      return chunk->length;
    }
    if (!chunk || !Skippable(*chunk) || !SkipExactly(device, qint64{chunk->length} + kCrcLength)) {
      return std::nullopt;
    }
  }
}

// The two bytes before the deflate stream: deflate with a window PNG allows,
// a valid check, and no preset dictionary.
bool IsZlibHeader(std::uint8_t method, std::uint8_t flags) {
  const bool deflate = (method & 0x0F) == 8 && (method >> 4) <= 7;
  const bool checked = (method * 256 + flags) % 31 == 0;
  return deflate && checked && (flags & 0x20) == 0;
}

const std::uint32_t kDataCrcStart = Crc(0, "IDAT", 4);

}  // namespace

CPngRowReader::CPngRowReader(QIODevice& device, QSize size, int channels)
    : device_(device),
      size_(size),
      channels_(channels),
      stride_(1 + static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(channels)),
      inflater_(std::make_unique<inflate_state>()),
      input_(kInputBytes),
      previous_(stride_ - 1, 0) {
  isal_inflate_init(inflater_.get());
  // The two bytes before the stream and the Adler-32 after it are read
  // here; ISA-L computes the checksum. (Left to check the stored one, it
  // would also swallow bytes after it.)
  inflater_->crc_flag = ISAL_ZLIB_NO_HDR;
  batch_.resize(std::max<std::size_t>(1, kBatchBytes / stride_) * stride_);
  above_ = previous_.data();
}

CPngRowReader::~CPngRowReader() = default;

std::unique_ptr<CPngRowReader> CPngRowReader::Open(QIODevice& device) {
  const std::optional<Layout> layout = ReadHeader(device);
  if (!layout) {
    return nullptr;
  }
  std::unique_ptr<CPngRowReader> reader(new CPngRowReader(device, layout->size, layout->channels));
  if (!reader->StartStream()) {
    return nullptr;
  }
  return reader;
}

bool CPngRowReader::StartStream() {
  const std::optional<std::uint32_t> length = SkipToImageData(device_);
  if (!length) {
    return false;
  }
  idatLeft_ = *length;
  crc_ = kDataCrcStart;
  std::uint8_t method = 0;
  std::uint8_t flags = 0;
  return TakeByte(method) && TakeByte(flags) && IsZlibHeader(method, flags);
}

bool CPngRowReader::EndChunk() {
  return CrcMatches(device_, crc_);
}

bool CPngRowReader::NextDataChunk() {
  // The chunk's CRC, then the next chunk: more data, or the data's end.
  const std::optional<ChunkHeader> next = EndChunk() ? ReadChunkHeader(device_) : std::nullopt;
  if (next && next->Is("IDAT") && next->length <= kMaxChunkRead) {
    idatLeft_ = next->length;
    crc_ = kDataCrcStart;
    return true;
  }
  if (next && !next->Is("IDAT")) {
    afterData_ = next;
  }
  return false;
}

// Fills the input from as many data chunks as it takes: ISA-L keeps its
// window by copying it at the end of every call, so few large calls are
// much cheaper than one per chunk (encoders cut the data into 8 KiB pieces).
bool CPngRowReader::FeedInput() {
  auto* buffer = reinterpret_cast<char*>(input_.data());
  qint64 filled = 0;
  while (filled < static_cast<qint64>(input_.size()) && !inputEnded_) {
    if (idatLeft_ == 0 && !NextDataChunk()) {
      inputEnded_ = true;
      break;
    }
    const qint64 wanted = std::min<qint64>(idatLeft_, static_cast<qint64>(input_.size()) - filled);
    const qint64 got = device_.read(buffer + filled, wanted);
    if (got <= 0) {
      inputEnded_ = true;
      break;
    }
    idatLeft_ -= static_cast<std::uint32_t>(got);
    crc_ = Crc(crc_, buffer + filled, static_cast<std::size_t>(got));
    filled += got;
  }
  inflater_->next_in = input_.data();
  inflater_->avail_in = static_cast<std::uint32_t>(filled);
  return filled > 0;
}

bool CPngRowReader::TakeByte(std::uint8_t& byte) {
  if (inflater_->avail_in == 0 && !FeedInput()) {
    return false;
  }
  byte = *inflater_->next_in++;
  --inflater_->avail_in;
  return true;
}

bool CPngRowReader::Inflate(std::uint8_t* out, std::size_t length) {
  inflate_state& state = *inflater_;
  state.next_out = out;
  state.avail_out = static_cast<std::uint32_t>(length);
  while (state.avail_out > 0) {
    if (state.avail_in == 0 && !inputEnded_) {
      FeedInput();
    }
    const std::uint32_t outBefore = state.avail_out;
    const std::uint32_t inBefore = state.avail_in;
    if (isal_inflate(&state) != ISAL_DECOMP_OK) {
      return false;
    }
    const bool stuck = state.avail_out == outBefore && state.avail_in == inBefore;
    if (stuck && (inputEnded_ || state.block_state == ISAL_BLOCK_FINISH)) {
      return false;  // the stream ended before the last row
    }
  }
  return true;
}

bool CPngRowReader::FillBatch() {
  // The batch's last row is the next one's row above: keep it before the
  // batch is overwritten.
  if (above_ != previous_.data()) {
    std::memcpy(previous_.data(), above_, previous_.size());
    above_ = previous_.data();
  }
  const int capacity = static_cast<int>(batch_.size() / stride_);
  batchRows_ = std::min(capacity, size_.height() - rowsRead_);
  rowInBatch_ = 0;
  return Inflate(batch_.data(), static_cast<std::size_t>(batchRows_) * stride_);
}

const std::uint8_t* CPngRowReader::NextRow() {
  if (rowsRead_ == size_.height()) {
    return nullptr;
  }
  if (rowInBatch_ == batchRows_ && !FillBatch()) {
    return Stop();
  }
  std::uint8_t* row = batch_.data() + static_cast<std::size_t>(rowInBatch_) * stride_;
  if (!UnfilterRow(row[0], row + 1, above_, stride_ - 1, channels_)) {
    return Stop();
  }
  above_ = row + 1;
  ++rowInBatch_;
  ++rowsRead_;
  return row + 1;
}

const std::uint8_t* CPngRowReader::Stop() {
  rowsRead_ = size_.height();
  damaged_ = true;
  return nullptr;
}

bool CPngRowReader::StreamEnds() {
  inflate_state& state = *inflater_;
  std::uint8_t spare = 0;
  while (state.block_state != ISAL_BLOCK_FINISH) {
    if (state.avail_in == 0 && !inputEnded_) {
      FeedInput();
    }
    state.next_out = &spare;
    state.avail_out = 1;
    const std::uint32_t inBefore = state.avail_in;
    if (isal_inflate(&state) != ISAL_DECOMP_OK || state.avail_out == 0) {
      return false;  // damaged, or more pixels than the picture holds
    }
    if (state.block_state != ISAL_BLOCK_FINISH && state.avail_in == inBefore &&
        (inputEnded_ || inBefore > 0)) {
      return false;
    }
  }
  return true;
}

// The Adler-32 of the pixels, stored big-endian after the stream. ISA-L
// may have read the first bytes of it ahead, into its bit buffer: there the
// next unread bit is the lowest, after what is left of the stream's last
// byte.
bool CPngRowReader::ChecksumMatches() {
  inflate_state& state = *inflater_;
  if (state.tmp_in_size != 0) {
    return false;
  }
  std::uint64_t ahead = state.read_in >> (state.read_in_length % 8);
  int aheadBytes = state.read_in_length / 8;
  state.read_in = 0;
  state.read_in_length = 0;
  std::uint8_t stored[4];
  for (std::uint8_t& byte : stored) {
    if (aheadBytes > 0) {
      byte = static_cast<std::uint8_t>(ahead);
      ahead >>= 8;
      --aheadBytes;
    } else if (!TakeByte(byte)) {
      return false;
    }
  }
  // Bytes read ahead past the checksum are data after the stream.
  return aheadBytes == 0 && BigEndian32(stored) == state.crc;
}

bool CPngRowReader::Finish() {
  if (damaged_ || rowsRead_ != size_.height() || !StreamEnds() || !ChecksumMatches() ||
      inflater_->avail_in != 0 || idatLeft_ != 0) {
    return false;
  }
  if (!afterData_) {
    if (inputEnded_ || !EndChunk()) {
      return false;
    }
    afterData_ = ReadChunkHeader(device_);
  }
  for (std::optional<ChunkHeader> chunk = afterData_; chunk; chunk = ReadChunkHeader(device_)) {
    if (chunk->Is("IEND")) {
      return chunk->length == 0 && CrcMatches(device_, Crc(0, chunk->type, 4));
    }
    // More image data after the stream's end, or a chunk that would stop
    // the general decoder.
    if (!Skippable(*chunk) || !SkipExactly(device_, qint64{chunk->length} + kCrcLength)) {
      return false;
    }
  }
  return false;
}

}  // namespace zentora
