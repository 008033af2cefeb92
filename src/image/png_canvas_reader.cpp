#include "image/png_canvas_reader.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/png_row_reader.h"

namespace zentora {

namespace {

constexpr QRgb kCanvasBlue = 0xFF0000FF;
// Rows blended with one QPainter call: enough to spread its cost, few
// enough to stay in the cache.
constexpr int kBlendRows = 16;

void StoreRgbRow(const std::uint8_t* rgb, QRgb* out, int width) {
  for (int x = 0; x < width; ++x, rgb += 3) {
    out[x] = 0xFF000000u | std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
  }
}

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

// Rows with transparency wait in `pending` until kBlendRows of them are
// there, then go over blue together.
class CBlender {
 public:
  CBlender(QImage& canvas)
      : canvas_(canvas), pending_(canvas.width(), kBlendRows, QImage::Format_ARGB32) {}

  bool Allocated() const { return !pending_.isNull(); }

  QRgb* RowFor(int y) {
    if (count_ > 0 && first_ + count_ != y) {
      Flush();
    }
    if (count_ == 0) {
      first_ = y;
    }
    return reinterpret_cast<QRgb*>(pending_.scanLine(count_));
  }

  void Keep() {
    if (++count_ == kBlendRows) {
      Flush();
    }
  }

  void Flush() {
    if (count_ == 0) {
      return;
    }
    for (int y = first_; y < first_ + count_; ++y) {
      std::fill_n(reinterpret_cast<QRgb*>(canvas_.scanLine(y)), canvas_.width(), kCanvasBlue);
    }
    if (!painter_.isActive()) {
      painter_.begin(&canvas_);
      painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter_.drawImage(QPoint(0, first_), pending_, QRect(0, 0, canvas_.width(), count_));
    count_ = 0;
  }

  ~CBlender() { Flush(); }

 private:
  QImage& canvas_;
  QImage pending_;
  QPainter painter_;
  int first_ = 0;
  int count_ = 0;
};

}  // namespace

std::optional<PngCanvas> DrawPngRows(CPngRowReader& rows, QImage recycled) {
  const QSize size = rows.Size();
  PngCanvas drawn;
  drawn.canvas = recycled.size() == size && recycled.format() == QImage::Format_RGB32
                     ? std::move(recycled)
                     : QImage(size, QImage::Format_RGB32);
  if (drawn.canvas.isNull()) {
    return std::nullopt;
  }
  const int width = size.width();
  if (rows.Channels() == 3) {
    for (int y = 0; y < size.height(); ++y) {
      const std::uint8_t* row = rows.NextRow();
      if (row == nullptr) {
        return std::nullopt;
      }
      StoreRgbRow(row, reinterpret_cast<QRgb*>(drawn.canvas.scanLine(y)), width);
    }
  } else {
    CBlender blender(drawn.canvas);
    if (!blender.Allocated()) {
      return std::nullopt;
    }
    for (int y = 0; y < size.height(); ++y) {
      const std::uint8_t* row = rows.NextRow();
      if (row == nullptr) {
        return std::nullopt;
      }
      // An opaque row needs no blend: it goes straight into the canvas.
      QRgb* pending = blender.RowFor(y);
      if (StoreRgbaRow(row, pending, width)) {
        std::memcpy(drawn.canvas.scanLine(y), pending, static_cast<std::size_t>(width) * 4);
      } else {
        drawn.transparent = true;
        blender.Keep();
      }
    }
  }
  if (!rows.Finish()) {
    return std::nullopt;
  }
  return drawn;
}

}  // namespace zentora
