// The PNG row reader against Qt's PNG plugin, on files whose chunks are
// always well formed (CRCs included) around image data that is not: the
// input's first byte picks RGB or RGBA and how the data is cut into chunks,
// the next two the size, and the rest is the zlib stream. Wherever the row
// reader draws a picture, the general decoder must draw the same one;
// mutated streams that only one inflater accepts show up here.
#include <isa-l/crc.h>

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "fuzz/same_canvas.h"
#include "image/picture_canvas.h"

namespace {

void AppendBigEndian(QByteArray& out, std::uint32_t value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, 4);
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& data) {
  const QByteArray body = QByteArray(type, 4) + data;
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  out.append(body);
  AppendBigEndian(out, crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(body.constData()),
                                       static_cast<std::uint64_t>(body.size())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  const bool rgba = (data[0] & 1) != 0;
  const int pieces = 1 + ((data[0] >> 1) & 7);
  const std::uint32_t width = 1 + data[1] % 64;
  const std::uint32_t height = 1 + data[2] % 64;
  const QByteArray stream(reinterpret_cast<const char*>(data + 3),
                          static_cast<qsizetype>(size - 3));

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header.append(static_cast<char>(8)).append(static_cast<char>(rgba ? 6 : 2));
  header.append(3, '\0');
  AppendChunk(png, "IHDR", header);
  const qsizetype piece = stream.size() / pieces + 1;
  for (qsizetype at = 0; at < stream.size(); at += piece) {
    AppendChunk(png, "IDAT", stream.mid(at, piece));
  }
  AppendChunk(png, "IEND", {});

  QBuffer fast(&png);
  fast.open(QIODevice::ReadOnly);
  const zentora::PictureCanvas drawn = zentora::DrawPictureCanvas(fast, 3);
  QBuffer general(&png);
  general.open(QIODevice::ReadOnly);
  const zentora::PictureCanvas expected =
      zentora::DrawPictureCanvas(general, 3, zentora::PictureDecoders::kGeneralOnly);
  if (!zentora::fuzz::SameCanvas(drawn, expected)) {
    std::abort();
  }
  return 0;
}
