#include "readback/module_preview.h"

#include <QByteArray>
#include <QPainter>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "base/atomic_file_writer.h"
#include "base/system_error_text.h"
#include "base/translation.h"
#include "image/image_index.h"
#include "image/picture_canvas.h"
#include "image/picture_dither.h"
#include "image/pixel_packing.h"
#include "readback/picture_unpacking.h"
#include "readback/png_encoder.h"

namespace zentora {

Result<PreviewSource> LoadPreviewSource(const std::filesystem::path& path) {
  PictureCanvas drawn = DrawPictureCanvasNotingTransparency(path);
  if (drawn.status != PictureCanvas::Status::Drawn) {
    return Status::Failure(Tr("preview", "无法读取图片：") +
                           WithReason(path.filename().string(), drawn.reason));
  }
  return PreviewSource{std::move(drawn.canvas), drawn.transparent};
}

PreviewFigures ComparePictures(const QImage& drawn, const QImage& shown) {
  PreviewFigures figures;
  std::uint64_t squares = 0;
  const int width = std::min(drawn.width(), shown.width());
  const int height = std::min(drawn.height(), shown.height());
  for (int y = 0; y < height; ++y) {
    const auto* a = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
    const auto* b = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const int d[3] = {qRed(a[x]) - qRed(b[x]), qGreen(a[x]) - qGreen(b[x]),
                        qBlue(a[x]) - qBlue(b[x])};
      for (int c = 0; c < 3; ++c) {
        figures.maxError[c] = std::max(figures.maxError[c], std::abs(d[c]));
        squares += static_cast<std::uint64_t>(d[c] * d[c]);
      }
    }
  }
  if (squares != 0) {
    const double meanSquare =
        static_cast<double>(squares) / (3.0 * static_cast<double>(width) * height);
    figures.psnr = 10.0 * std::log10(255.0 * 255.0 / meanSquare);
  }
  return figures;
}

Result<ModulePreview> PreviewOnModule(const PreviewSource& source, const ImageSettings& settings) {
  const int width = source.drawn.width();
  const int height = source.drawn.height();
  if (!FitsImageIndex(width, height, settings.BytesPerPixel())) {
    return Status::Failure(Fill(Tr("preview", "图片尺寸超出范围：%1 × %2"), std::to_string(width),
                                std::to_string(height)));
  }
  // The compiler's own steps on a copy, so that the kept canvas stays as
  // drawn for the next settings.
  QImage canvas = source.drawn.copy();
  DitherCanvas(canvas, settings);
  const std::vector<std::uint8_t> block = PackPicture(canvas, width, height, settings);
  QImage shown = UnpackPicture(block, width, height, settings);
  if (shown.isNull()) {
    return Status::Failure(ErrnoMessage(ENOMEM));
  }
  ModulePreview preview;
  preview.figures = ComparePictures(source.drawn, shown);
  preview.drawn = source.drawn;
  preview.shown = std::move(shown);
  preview.transparent = source.transparent;
  return preview;
}

Result<ModulePreview> PreviewPicture(const std::filesystem::path& path,
                                     const ImageSettings& settings) {
  const Result<PreviewSource> source = LoadPreviewSource(path);
  if (!source) {
    return source.status();
  }
  return PreviewOnModule(source.value(), settings);
}

std::string FiguresLine(const PreviewFigures& figures) {
  if (figures.Identical()) {
    return Tr("preview", "与原图完全相同 · PSNR ∞");
  }
  char psnr[32];
  std::snprintf(psnr, sizeof psnr, "%.2f", figures.psnr);
  return Fill(Tr("preview", "最大误差 R %1 G %2 B %3 · PSNR %4 dB"),
              std::to_string(figures.maxError[0]), std::to_string(figures.maxError[1]),
              std::to_string(figures.maxError[2]), std::string(psnr));
}

std::string TransparencyLine() {
  return Tr("preview", "透明部分在模块上显示为蓝色");
}

QImage SideBySide(const ModulePreview& preview) {
  QImage both(preview.drawn.width() * 2, preview.drawn.height(), QImage::Format_RGB32);
  if (both.isNull()) {
    return both;
  }
  QPainter painter(&both);
  painter.drawImage(0, 0, preview.drawn);
  painter.drawImage(preview.drawn.width(), 0, preview.shown);
  return both;
}

Status WritePreviewPng(const QImage& picture, const std::filesystem::path& path) {
  if (picture.isNull()) {
    return Status::Failure(Tr("preview", "无法写入文件：") +
                           WithReason(path.string(), ErrnoMessage(ENOMEM)));
  }
  const Result<QByteArray> png = EncodePng(picture, PngPacking::Compressed);
  if (!png) {
    return png.status();
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(png.value().constData());
  if (Status written =
          WriteFileAtomically(path, std::span(bytes, static_cast<std::size_t>(png.value().size())));
      !written) {
    return Status::Failure(Tr("preview", "无法写入文件：") +
                           WithReason(path.string(), written.message()));
  }
  return Status::Ok();
}

Result<std::shared_ptr<const PreviewSource>> CPreviewSourceCache::Get(
    const std::filesystem::path& path) {
  const std::optional<FileStamp> stamp = StampOf(path);
  if (source_ != nullptr && stamp && path == path_ && stamp == stamp_) {
    return source_;
  }
  source_.reset();
  Result<PreviewSource> loaded = LoadPreviewSource(path);
  if (!loaded) {
    return loaded.status();
  }
  path_ = path;
  stamp_ = stamp;
  source_ = std::make_shared<const PreviewSource>(std::move(loaded).value());
  return source_;
}

}  // namespace zentora
