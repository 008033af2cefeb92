#include "image/png_row_reader.h"

#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "image/png_row_filter.h"

namespace zentora {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kHeaderLength = 13;
constexpr std::size_t kCrcLength = 4;
// Wider pictures go to the general decoder, so that a batch stays small.
constexpr std::uint32_t kMaxWidth = 1U << 20;
constexpr std::size_t kBatchBytes = 64 * 1024;
constexpr std::size_t kInputBytes = 64 * 1024;

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

bool ReadExactly(QIODevice& device, void* out, qint64 length) {
  return device.read(static_cast<char*>(out), length) == length;
}

bool SkipExactly(QIODevice& device, qint64 length) {
  return device.skip(length) == length;
}

struct ChunkHeader {
  std::uint32_t length = 0;
  std::array<char, 4> type{};
  bool Is(const char (&name)[5]) const { return std::memcmp(type.data(), name, 4) == 0; }
};

std::optional<ChunkHeader> ReadChunkHeader(QIODevice& device) {
  std::uint8_t bytes[8];
  if (!ReadExactly(device, bytes, sizeof bytes)) {
    return std::nullopt;
  }
  ChunkHeader header;
  header.length = BigEndian32(bytes);
  std::memcpy(header.type.data(), bytes + 4, 4);
  if (header.length > kMaxChunkLength) {
    return std::nullopt;
  }
  return header;
}

// The signature and IHDR of an 8-bit RGB picture, not interlaced; the size.
std::optional<QSize> ReadRgbHeader(QIODevice& device) {
  std::array<std::uint8_t, kSignature.size()> signature{};
  std::uint8_t fields[kHeaderLength];
  const std::optional<ChunkHeader> chunk =
      ReadExactly(device, signature.data(), signature.size()) && signature == kSignature
          ? ReadChunkHeader(device)
          : std::nullopt;
  if (!chunk || !chunk->Is("IHDR") || chunk->length != kHeaderLength ||
      !ReadExactly(device, fields, kHeaderLength) || !SkipExactly(device, kCrcLength)) {
    return std::nullopt;
  }
  const std::uint32_t width = BigEndian32(fields);
  const std::uint32_t height = BigEndian32(fields + 4);
  const bool rgb8 = fields[8] == 8 && fields[9] == 2;
  const bool plain = fields[10] == 0 && fields[11] == 0 && fields[12] == 0;
  if (!rgb8 || !plain || width == 0 || height == 0 || width > kMaxWidth ||
      height > kMaxChunkLength) {
    return std::nullopt;
  }
  return QSize(static_cast<int>(width), static_cast<int>(height));
}

// Walks the chunks after the header up to the first IDAT and gives its
// length; nullopt at transparency (tRNS comes before the data) or when the
// file ends first.
std::optional<std::uint32_t> SkipToImageData(QIODevice& device) {
  for (;;) {
    const std::optional<ChunkHeader> chunk = ReadChunkHeader(device);
    if (!chunk || chunk->Is("tRNS") || chunk->Is("IEND")) {
      return std::nullopt;
    }
    if (chunk->Is("IDAT")) {
      return chunk->length;
    }
    if (!SkipExactly(device, qint64{chunk->length} + kCrcLength)) {
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

}  // namespace

CPngRowReader::CPngRowReader(QIODevice& device, QSize size)
    : device_(device),
      size_(size),
      stride_(1 + static_cast<std::size_t>(size.width()) * 3),
      inflater_(std::make_unique<inflate_state>()),
      input_(kInputBytes),
      previous_(stride_ - 1, 0) {
  isal_inflate_init(inflater_.get());
  inflater_->crc_flag = ISAL_DEFLATE;
  batch_.resize(std::max<std::size_t>(1, kBatchBytes / stride_) * stride_);
  above_ = previous_.data();
}

CPngRowReader::~CPngRowReader() = default;

std::unique_ptr<CPngRowReader> CPngRowReader::Open(QIODevice& device) {
  const std::optional<QSize> size = ReadRgbHeader(device);
  if (!size) {
    return nullptr;
  }
  std::unique_ptr<CPngRowReader> reader(new CPngRowReader(device, *size));
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
  std::uint8_t method = 0;
  std::uint8_t flags = 0;
  return TakeByte(method) && TakeByte(flags) && IsZlibHeader(method, flags);
}

bool CPngRowReader::FeedInput() {
  while (idatLeft_ == 0) {
    // The chunk's CRC, then the next chunk: more data, or the data's end.
    const std::optional<ChunkHeader> next =
        SkipExactly(device_, kCrcLength) ? ReadChunkHeader(device_) : std::nullopt;
    if (!next || !next->Is("IDAT")) {
      inputEnded_ = true;
      return false;
    }
    idatLeft_ = next->length;
  }
  const qint64 wanted = std::min<qint64>(idatLeft_, static_cast<qint64>(input_.size()));
  const qint64 got = device_.read(reinterpret_cast<char*>(input_.data()), wanted);
  if (got <= 0) {
    inputEnded_ = true;
    return false;
  }
  idatLeft_ -= static_cast<std::uint32_t>(got);
  inflater_->next_in = input_.data();
  inflater_->avail_in = static_cast<std::uint32_t>(got);
  return true;
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
    if (isal_inflate(&state) < 0) {
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
    rowsRead_ = size_.height();
    return nullptr;
  }
  std::uint8_t* row = batch_.data() + static_cast<std::size_t>(rowInBatch_) * stride_;
  if (!UnfilterRgbRow(row[0], row + 1, above_, stride_ - 1)) {
    rowsRead_ = size_.height();
    return nullptr;
  }
  above_ = row + 1;
  ++rowInBatch_;
  ++rowsRead_;
  return row + 1;
}

}  // namespace zentora
