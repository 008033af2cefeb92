#include "image/png_row_reader.h"

#include <gtest/gtest.h>
#include <isa-l/crc.h>
#include <spng.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/png_row_filter.h"

namespace zentora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Three pixels over the row above, worked by hand: each filter's sums wrap
// at 256; Paeth takes the left byte, the corner, the byte above, and on a
// tie between above and corner the byte above.
TEST(PngRowFilterTest, UndoesEachFilter) {
  const Bytes previous = {10, 20, 30, 10, 18, 50, 0, 40, 7};
  const Bytes filtered = {1, 2, 3, 4, 5, 6, 7, 8, 250};
  struct Case {
    std::uint8_t filter;
    Bytes expected;
  };
  for (const Case& c : {
           Case{0, {1, 2, 3, 4, 5, 6, 7, 8, 250}},
           Case{1, {1, 2, 3, 5, 7, 9, 12, 15, 3}},
           Case{2, {11, 22, 33, 14, 23, 56, 7, 48, 1}},
           Case{3, {6, 12, 18, 12, 20, 40, 13, 38, 17}},
           Case{4, {11, 22, 33, 15, 25, 56, 7, 48, 1}},
       }) {
    Bytes row = filtered;
    ASSERT_TRUE(UnfilterRow(c.filter, row.data(), previous.data(), row.size(), 3));
    EXPECT_EQ(row, c.expected) << "filter " << int{c.filter};
  }
  Bytes row = filtered;
  EXPECT_FALSE(UnfilterRow(5, row.data(), previous.data(), row.size(), 3));
}

QImage NoisyPicture(QSize size) {
  QImage image(size, QImage::Format_RGB888);
  std::mt19937 random(11);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width() * 3; ++x) {
      image.scanLine(y)[x] = static_cast<std::uint8_t>(random());
    }
  }
  return image;
}

// The picture as an RGB PNG through another encoder, each row filtered the
// way filterChoice allows.
QByteArray EncodeWithSpng(const QImage& rgb, int filterChoice) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_set_option(context, SPNG_FILTER_CHOICE, filterChoice);
  spng_ihdr header{};
  header.width = static_cast<std::uint32_t>(rgb.width());
  header.height = static_cast<std::uint32_t>(rgb.height());
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  spng_set_ihdr(context, &header);
  Bytes pixels;
  for (int y = 0; y < rgb.height(); ++y) {
    pixels.insert(pixels.end(), rgb.constScanLine(y), rgb.constScanLine(y) + rgb.width() * 3);
  }
  QByteArray png;
  if (spng_encode_image(context, pixels.data(), pixels.size(), SPNG_FMT_PNG,
                        SPNG_ENCODE_FINALIZE) == 0) {
    std::size_t length = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(context, &length, &error);
    png = QByteArray(static_cast<const char*>(buffer), static_cast<qsizetype>(length));
    std::free(buffer);
  }
  spng_ctx_free(context);
  return png;
}

// Every row the reader gives, or fewer where it stops early; whether the
// rest of the file then checks out.
std::vector<Bytes> ReadRows(const QByteArray& png, QSize* size = nullptr,
                            bool* finished = nullptr) {
  QByteArray copy = png;
  QBuffer device(&copy);
  device.open(QIODevice::ReadOnly);
  const std::unique_ptr<CPngRowReader> reader = CPngRowReader::Open(device);
  std::vector<Bytes> rows;
  if (!reader) {
    return rows;
  }
  if (size != nullptr) {
    *size = reader->Size();
  }
  const std::size_t length = static_cast<std::size_t>(reader->Size().width()) * 3;
  while (const std::uint8_t* row = reader->NextRow()) {
    rows.emplace_back(row, row + length);
  }
  if (finished != nullptr) {
    *finished = reader->Finish();
  }
  return rows;
}

void ExpectRowsOf(const QImage& rgb, const std::vector<Bytes>& rows, const std::string& what) {
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(rgb.height())) << what;
  for (int y = 0; y < rgb.height(); ++y) {
    ASSERT_EQ(std::memcmp(rows[static_cast<std::size_t>(y)].data(), rgb.constScanLine(y),
                          static_cast<std::size_t>(rgb.width()) * 3),
              0)
        << what << ", row " << y;
  }
}

// Wide enough that a row spans several inflate batches' worth with the tall
// one, narrow enough for single-pixel edges with the others.
TEST(PngRowReaderTest, ReadsTheRowsOfEveryFilterExactly) {
  struct Case {
    int filterChoice;
    const char* name;
  };
  for (const QSize size : {QSize(1, 1), QSize(37, 23), QSize(3000, 40)}) {
    const QImage picture = NoisyPicture(size);
    for (const Case& c :
         {Case{SPNG_FILTER_CHOICE_NONE, "none"}, Case{SPNG_FILTER_CHOICE_SUB, "sub"},
          Case{SPNG_FILTER_CHOICE_UP, "up"}, Case{SPNG_FILTER_CHOICE_AVG, "average"},
          Case{SPNG_FILTER_CHOICE_PAETH, "paeth"}, Case{SPNG_FILTER_CHOICE_ALL, "all"}}) {
      const QByteArray png = EncodeWithSpng(picture, c.filterChoice);
      ASSERT_FALSE(png.isEmpty());
      QSize read;
      ExpectRowsOf(picture, ReadRows(png, &read),
                   std::string(c.name) + " " + std::to_string(size.width()));
      EXPECT_EQ(read, size);
    }
  }
}

struct Chunk {
  std::string type;
  QByteArray data;
};

std::vector<Chunk> ChunksOf(const QByteArray& png) {
  std::vector<Chunk> chunks;
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(png.constData() + at);
    const qsizetype length = bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    chunks.push_back({png.mid(at + 4, 4).toStdString(), png.mid(at + 8, length)});
    at += 12 + length;
  }
  return chunks;
}

QByteArray BigEndian(std::uint32_t value) {
  const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  return QByteArray(bytes, 4);
}

// The chunks again, each with its CRC unless it is to be damaged.
QByteArray Assemble(const std::vector<Chunk>& chunks, const std::string& damagedCrc = {}) {
  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  for (const Chunk& chunk : chunks) {
    const QByteArray body = QByteArray::fromStdString(chunk.type) + chunk.data;
    const std::uint32_t crc =
        crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(body.constData()),
                        static_cast<std::uint64_t>(body.size()));
    png.append(BigEndian(static_cast<std::uint32_t>(chunk.data.size())))
        .append(body)
        .append(BigEndian(chunk.type == damagedCrc ? ~crc : crc));
  }
  return png;
}

std::vector<Chunk>::iterator FirstData(std::vector<Chunk>& chunks) {
  return std::find_if(chunks.begin(), chunks.end(),
                      [](const Chunk& c) { return c.type == "IDAT"; });
}

// The image data in pieces of one byte, an empty IDAT first.
void SplitImageData(std::vector<Chunk>& chunks) {
  const QByteArray data = FirstData(chunks)->data;
  auto at = chunks.erase(FirstData(chunks));
  at = chunks.insert(at, {"IDAT", {}}) + 1;
  for (const char byte : data) {
    at = chunks.insert(at, {"IDAT", QByteArray(1, byte)}) + 1;
  }
}

TEST(PngRowReaderTest, ReadsOddlyCutDataAndStopsAtDamage) {
  const QImage picture = NoisyPicture(QSize(29, 17));
  const int all = picture.height();
  // Filtered rows compressed by zlib (qCompress puts the length first).
  const auto imageData = [&](std::uint8_t filterOfRow5) {
    QByteArray raw;
    for (int y = 0; y < picture.height(); ++y) {
      raw.append(char(y == 5 ? filterOfRow5 : 0));
      raw.append(reinterpret_cast<const char*>(picture.constScanLine(y)), picture.width() * 3);
    }
    return qCompress(raw).mid(4);
  };
  // Rows come a batch at a time: damage may take the rows before it too,
  // never the rows after it. Refused pictures give none. Damage the rows do
  // not show, the rest of the file tells.
  struct Case {
    const char* name;
    std::function<void(std::vector<Chunk>&)> edit;
    int rowsAtMost;
    bool finishes;
    std::string damagedCrc = {};
  };
  const auto insertBeforeEnd = [](std::vector<Chunk>& c, Chunk chunk) {
    c.insert(c.end() - 1, std::move(chunk));
  };
  for (const Case& c : {
           Case{"as written", [](auto&) {}, all, true},
           Case{"one-byte chunks", SplitImageData, all, true},
           Case{"a text chunk first",
                [](auto& c) {
                  c.insert(FirstData(c), Chunk{"tEXt", "Comment"});
                },
                all, true},
           Case{"a text chunk after",
                [&](auto& c) {
                  insertBeforeEnd(c, {"tEXt", "Comment"});
                },
                all, true},
           Case{"zlib's stream", [&](auto& c) { FirstData(c)->data = imageData(0); }, all, true},
           Case{"data CRC damaged", [](auto&) {}, all, false, "IDAT"},
           Case{"end CRC damaged", [](auto&) {}, all, false, "IEND"},
           Case{"header CRC damaged", [](auto&) {}, 0, false, "IHDR"},
           Case{"no end chunk", [](auto& c) { c.pop_back(); }, all, false},
           Case{"image data after the end of the stream",
                [&](auto& c) {
                  insertBeforeEnd(c, {"IDAT", "\x03"});
                },
                all, false},
           Case{"bytes after the stream", [](auto& c) { FirstData(c)->data.append(2, '\0'); }, all,
                false},
           Case{"checksum damaged", [](auto& c) { FirstData(c)->data.back() ^= 1; }, all, false},
           Case{"palette chunk",
                [](auto& c) {
                  c.insert(FirstData(c), Chunk{"PLTE", QByteArray(3, '\0')});
                },
                0, false},
           Case{"chunk type not letters",
                [](auto& c) {
                  c.insert(FirstData(c), Chunk{"t3Xt", "Comment"});
                },
                0, false},
           Case{"transparency",
                [](auto& c) {
                  c.insert(FirstData(c), Chunk{"tRNS", QByteArray(6, '\0')});
                },
                0, false},
           Case{"interlaced", [](auto& c) { c.front().data[12] = 1; }, 0, false},
           Case{"16 bits", [](auto& c) { c.front().data[8] = 16; }, 0, false},
           Case{"RGBA header over RGB data", [](auto& c) { c.front().data[9] = 6; }, all - 1,
                false},
           Case{"preset dictionary", [](auto& c) { FirstData(c)->data.replace(0, 2, "\x78\xBB"); },
                0, false},
           Case{"no image data", [](auto& c) { c.erase(FirstData(c)); }, 0, false},
           Case{"unknown filter", [&](auto& c) { FirstData(c)->data = imageData(5); }, 5, false},
           Case{"cut short", [&](auto& c) { FirstData(c)->data = imageData(0).left(200); }, 2,
                false},
           Case{"reserved block type", [](auto& c) { FirstData(c)->data = "\x78\x9C\x07"; }, 0,
                false},
       }) {
    std::vector<Chunk> chunks = ChunksOf(EncodeWithSpng(picture, SPNG_FILTER_CHOICE_ALL));
    c.edit(chunks);
    bool finished = false;
    const std::vector<Bytes> rows = ReadRows(Assemble(chunks, c.damagedCrc), nullptr, &finished);
    if (c.rowsAtMost == all) {
      ExpectRowsOf(picture, rows, c.name);
    } else {
      EXPECT_LE(rows.size(), static_cast<std::size_t>(c.rowsAtMost)) << c.name;
    }
    EXPECT_EQ(finished, c.finishes) << c.name;
  }
}

}  // namespace
}  // namespace zentora
