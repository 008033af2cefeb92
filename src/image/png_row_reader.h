#pragma once

#include <QIODevice>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct inflate_state;

namespace zentora {

// Reads the pixel rows of an 8-bit RGB or RGBA PNG without interlacing or a
// transparent colour (how photographs, screenshots and drawings with an
// alpha channel are saved) one after another, inflating a few rows at a time
// with ISA-L, which inflates three times as fast as zlib; a picture is never
// whole in memory. Any other PNG, and any file the general decoder would not
// read the same way, is left to the general decoder: the signature, the
// header and the image data chunks must check out (CRCs included), and
// chunks before the data must be ones that decoder skips. One reader per
// thread.
class CPngRowReader {
 public:
  // A chunk's length and type, as the file gives them.
  struct ChunkHeader {
    std::uint32_t length = 0;
    char type[4] = {};
    bool Is(const char (&name)[5]) const;
  };

  // A reader positioned before the first row, or nullptr when the device
  // (from its current position) holds no PNG of those layouts.
  static std::unique_ptr<CPngRowReader> Open(QIODevice& device);
  ~CPngRowReader();
  CPngRowReader(const CPngRowReader&) = delete;
  CPngRowReader& operator=(const CPngRowReader&) = delete;

  QSize Size() const { return size_; }
  // 3 (red, green, blue) or 4 (and alpha, not premultiplied).
  int Channels() const { return channels_; }
  // The next row's width × Channels() bytes, valid until the next call;
  // nullptr once the rows are all read, or where the data ends or is damaged
  // before the last.
  const std::uint8_t* NextRow();
  // After the last row: whether the rest of the file is what a PNG decoder
  // reads without complaint: the compressed stream ends with its checksum
  // and nothing after it, then only skippable chunks and the end chunk.
  bool Finish();

 private:
  CPngRowReader(QIODevice& device, QSize size, int channels);
  bool StartStream();
  bool EndChunk();
  bool NextDataChunk();
  bool FeedInput();
  bool TakeByte(std::uint8_t& byte);
  bool Inflate(std::uint8_t* out, std::size_t length);
  bool FillBatch();
  const std::uint8_t* Stop();
  bool StreamEnds();
  bool ChecksumMatches();

  QIODevice& device_;
  const QSize size_;
  const int channels_;
  const std::size_t stride_;  // filter byte and pixels
  std::unique_ptr<inflate_state> inflater_;
  std::vector<std::uint8_t> input_;
  std::uint32_t idatLeft_ = 0;  // unread bytes of the current IDAT chunk
  std::uint32_t crc_ = 0;       // of the current IDAT chunk's type and data so far
  bool inputEnded_ = false;
  std::optional<ChunkHeader> afterData_;  // the chunk after the image data, once read
  std::vector<std::uint8_t> batch_;
  int batchRows_ = 0;
  int rowInBatch_ = 0;
  int rowsRead_ = 0;
  bool damaged_ = false;
  std::vector<std::uint8_t> previous_;  // the row above the batch's first
  const std::uint8_t* above_ = nullptr;
};

}  // namespace zentora
