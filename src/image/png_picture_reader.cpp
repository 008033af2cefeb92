#include "image/png_picture_reader.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

#include "image/picture_rows.h"
#include "image/png_row_reader.h"

namespace zentora {

namespace {

// Rows blended with one QPainter call: enough to spread its cost, few
// enough to stay in the cache.
constexpr int kBlendRows = 16;

// RGBA bytes as QImage::Format_ARGB32 (not premultiplied, as the general
// decoder gives them); whether every pixel is opaque.
bool StoreRgbaRow(const std::uint8_t* rgba, QRgb* out, int width) {
  std::uint32_t alphas = 0xFF;
  for (int x = 0; x < width; ++x, rgba += 4) {
    alphas &= rgba[3];
    out[x] = std::uint32_t{rgba[3]} << 24 | std::uint32_t{rgba[0]} << 16 |
             std::uint32_t{rgba[1]} << 8 | rgba[2];
  }
  return alphas == 0xFF;
}

// RGBA rows wait in `pending_` until kBlendRows of them are there, then go
// over blue together in `blended_` and on to the sink.
class CBlender {
 public:
  CBlender(int width, CPictureRowSink& sink)
      : sink_(sink),
        pending_(width, kBlendRows, QImage::Format_ARGB32),
        blended_(width, kBlendRows, QImage::Format_RGB32) {}

  bool Allocated() const { return !pending_.isNull() && !blended_.isNull(); }

  void Add(int y, const std::uint8_t* rgba) {
    if (count_ == 0) {
      first_ = y;
    }
    const bool opaque =
        StoreRgbaRow(rgba, reinterpret_cast<QRgb*>(pending_.scanLine(count_)), pending_.width());
    transparent_ = transparent_ || !opaque;
    batchOpaque_ = batchOpaque_ && opaque;
    if (++count_ == kBlendRows) {
      Flush();
    }
  }

  // Opaque ARGB32 pixels are already the canvas's: no blend changes them.
  void Flush() {
    QImage* rows = &pending_;
    if (!batchOpaque_) {
      blended_.fill(kCanvasBlue);
      QPainter painter(&blended_);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
      painter.drawImage(QPoint(0, 0), pending_, QRect(0, 0, pending_.width(), count_));
      painter.end();
      rows = &blended_;
    }
    for (int i = 0; i < count_; ++i) {
      sink_.PixelRow(first_ + i, reinterpret_cast<QRgb*>(rows->scanLine(i)));
    }
    count_ = 0;
    batchOpaque_ = true;
  }

  bool Transparent() const { return transparent_; }

 private:
  CPictureRowSink& sink_;
  QImage pending_;
  QImage blended_;
  int first_ = 0;
  int count_ = 0;
  bool batchOpaque_ = true;
  bool transparent_ = false;
};

bool ReadRgbRows(CPngRowReader& rows, CPictureRowSink& sink) {
  for (int y = 0; y < rows.Size().height(); ++y) {
    const std::uint8_t* row = rows.NextRow();
    if (row == nullptr) {
      return false;
    }
    sink.RgbRow(y, row);
  }
  return true;
}

bool ReadRgbaRows(CPngRowReader& rows, CPictureRowSink& sink, bool& transparent) {
  CBlender blender(rows.Size().width(), sink);
  if (!blender.Allocated()) {
    return false;
  }
  for (int y = 0; y < rows.Size().height(); ++y) {
    const std::uint8_t* row = rows.NextRow();
    if (row == nullptr) {
      return false;
    }
    blender.Add(y, row);
  }
  blender.Flush();
  transparent = blender.Transparent();
  return true;
}

}  // namespace

bool ReadPngRows(CPngRowReader& rows, CPictureRowSink& sink, bool& transparent) {
  if (!sink.Begin(rows.Size())) {
    return false;
  }
  const bool read =
      rows.Channels() == 3 ? ReadRgbRows(rows, sink) : ReadRgbaRows(rows, sink, transparent);
  return read && rows.Finish();
}

}  // namespace zentora
