#pragma once

#include <QIODevice>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct inflate_state;

namespace zentora {

// Reads the pixel rows of an 8-bit RGB PNG without transparency or
// interlacing (how photographs and screenshots are saved) one after another,
// inflating a few rows at a time with ISA-L, which inflates three times as
// fast as zlib; a picture is never whole in memory. A thumbnail is no
// integrity check: chunk CRCs and the stream's Adler-32 are not verified
// (damage that breaks the compressed stream still ends the rows). Any other
// PNG is left to the general decoder. One reader per thread.
class CPngRowReader {
 public:
  // A reader positioned before the first row, or nullptr when the device
  // (from its current position) holds no PNG of that layout.
  static std::unique_ptr<CPngRowReader> Open(QIODevice& device);
  ~CPngRowReader();
  CPngRowReader(const CPngRowReader&) = delete;
  CPngRowReader& operator=(const CPngRowReader&) = delete;

  QSize Size() const { return size_; }
  // The next row's width × 3 bytes of red, green and blue, valid until the
  // next call; nullptr once the rows are all read, or where the data ends
  // or is damaged before the last.
  const std::uint8_t* NextRow();

 private:
  CPngRowReader(QIODevice& device, QSize size);
  bool StartStream();
  bool FeedInput();
  bool TakeByte(std::uint8_t& byte);
  bool Inflate(std::uint8_t* out, std::size_t length);
  bool FillBatch();

  QIODevice& device_;
  const QSize size_;
  const std::size_t stride_;  // filter byte and pixels
  std::unique_ptr<inflate_state> inflater_;
  std::vector<std::uint8_t> input_;
  std::uint32_t idatLeft_ = 0;  // unread bytes of the current IDAT chunk
  bool inputEnded_ = false;
  std::vector<std::uint8_t> batch_;
  int batchRows_ = 0;
  int rowInBatch_ = 0;
  int rowsRead_ = 0;
  std::vector<std::uint8_t> previous_;  // the row above the batch's first
  const std::uint8_t* above_ = nullptr;
};

}  // namespace zentora
