#include "image/picture_canvas.h"

#include <cstring>
#include <new>
#include <vector>

namespace zentora {

namespace {

// Collects the rows into a canvas.
class CCanvasSink final : public CPictureRowSink {
 public:
  explicit CCanvasSink(QImage recycled) : canvas_(std::move(recycled)) {}

  bool Begin(QSize size) override {
    if (canvas_.size() != size || canvas_.format() != QImage::Format_RGB32) {
      canvas_ = QImage(size, QImage::Format_RGB32);
    }
    // A recycled canvas may carry another picture's "@2x" ratio.
    canvas_.setDevicePixelRatio(1.0);
    return !canvas_.isNull();
  }

  void PixelRow(int y, QRgb* row) override {
    std::memcpy(canvas_.scanLine(y), row, static_cast<std::size_t>(canvas_.width()) * 4);
  }

  void RgbRow(int y, const std::uint8_t* rgb) override {
    auto* out = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
    for (int x = 0; x < canvas_.width(); ++x, rgb += 3) {
      out[x] = qRgb(rgb[0], rgb[1], rgb[2]);
    }
  }

  std::span<std::uint8_t> Scratch(std::size_t bytes) override {
    try {
      scratch_.resize(bytes);
    } catch (const std::bad_alloc&) {
      return {};
    }
    return scratch_;
  }

  PictureCanvas Result(PictureRead read) {
    PictureCanvas drawn;
    static_cast<PictureRead&>(drawn) = std::move(read);
    if (drawn.status == PictureRead::Status::Drawn) {
      drawn.canvas = std::move(canvas_);
    }
    return drawn;
  }

 private:
  QImage canvas_;
  std::vector<std::uint8_t> scratch_;
};

PictureCanvas Draw(const std::filesystem::path& path, const PictureReadOptions& options,
                   QImage recycled = {}) {
  CCanvasSink sink(std::move(recycled));
  return sink.Result(ReadPictureRows(path, options, sink));
}

}  // namespace

PictureCanvas DrawPictureCanvas(QIODevice& device, int bytesPerPixel, PictureDecoders decoders) {
  CCanvasSink sink({});
  return sink.Result(ReadPictureRows(device, {bytesPerPixel, false, decoders}, sink));
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path, int bytesPerPixel,
                                QImage recycled) {
  return Draw(path, {bytesPerPixel}, std::move(recycled));
}

PictureCanvas DrawPictureCanvas(const std::filesystem::path& path) {
  return Draw(path, {});
}

PictureCanvas DrawPictureCanvasNotingTransparency(const std::filesystem::path& path,
                                                  PictureDecoders decoders) {
  return Draw(path, {std::nullopt, true, decoders});
}

}  // namespace zentora
