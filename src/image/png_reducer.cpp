#include "image/png_reducer.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "image/png_row_reader.h"

namespace zentora {

namespace {

// The averages of boxes of source pixels: source row y and column x fall in
// target row y * height / sourceHeight and column x * width / sourceWidth.
class CBoxAverager {
 public:
  CBoxAverager(QSize source, QSize target) : source_(source), image_(target, QImage::Format_RGB32) {
    const int width = target.width();
    columnOf_.resize(static_cast<std::size_t>(source.width()));
    columnCount_.assign(static_cast<std::size_t>(width), 0);
    for (int x = 0; x < source.width(); ++x) {
      const auto column = static_cast<std::uint32_t>(std::int64_t{x} * width / source.width());
      columnOf_[static_cast<std::size_t>(x)] = column;
      ++columnCount_[column];
    }
    sums_.assign(static_cast<std::size_t>(width) * 3, 0);
  }

  void AddRow(int y, const std::uint8_t* rgb) {
    const int targetRow = static_cast<int>(std::int64_t{y} * image_.height() / source_.height());
    if (targetRow != row_) {
      Emit();
      row_ = targetRow;
    }
    ++rowsInBox_;
    for (std::size_t x = 0; x < columnOf_.size(); ++x, rgb += 3) {
      std::uint32_t* sum = &sums_[columnOf_[x] * 3];
      sum[0] += rgb[0];
      sum[1] += rgb[1];
      sum[2] += rgb[2];
    }
  }

  bool Allocated() const { return !image_.isNull(); }

  QImage Finish() {
    Emit();
    return image_;
  }

 private:
  void Emit() {
    if (rowsInBox_ == 0) {
      return;
    }
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row_));
    for (int x = 0; x < image_.width(); ++x) {
      const std::uint32_t count = columnCount_[static_cast<std::size_t>(x)] * rowsInBox_;
      const std::uint32_t* sum = &sums_[static_cast<std::size_t>(x) * 3];
      line[x] = qRgb(static_cast<int>((sum[0] + count / 2) / count),
                     static_cast<int>((sum[1] + count / 2) / count),
                     static_cast<int>((sum[2] + count / 2) / count));
    }
    sums_.assign(sums_.size(), 0);
    rowsInBox_ = 0;
  }

  QSize source_;
  QImage image_;
  std::vector<std::uint32_t> columnOf_;
  std::vector<std::uint32_t> columnCount_;
  std::vector<std::uint32_t> sums_;
  int row_ = 0;
  std::uint32_t rowsInBox_ = 0;
};

// The sums of a box fit 32 bits: at most 255 a sample.
bool IsReducible(QSize source, QSize target) {
  if (target.isEmpty() || target.width() > source.width() || target.height() > source.height() ||
      target == source) {
    return false;
  }
  const std::uint64_t boxWidth = static_cast<std::uint64_t>(source.width() / target.width()) + 1;
  const std::uint64_t boxHeight = static_cast<std::uint64_t>(source.height() / target.height()) + 1;
  return boxWidth * boxHeight * 255 <= UINT32_MAX;
}

}  // namespace

std::optional<ReducedPng> DecodeReducedPng(QIODevice& device,
                                           const std::function<QSize(QSize)>& sizeFor) {
  const std::unique_ptr<CPngRowReader> rows = CPngRowReader::Open(device);
  // Transparent pictures are drawn over the gallery's own background by the
  // general decoder's path.
  if (!rows || rows->Channels() != 3) {
    return std::nullopt;
  }
  const QSize source = rows->Size();
  const QSize target = sizeFor(source);
  if (!IsReducible(source, target)) {
    return std::nullopt;
  }
  CBoxAverager averager(source, target);
  if (!averager.Allocated()) {
    return std::nullopt;
  }
  for (int y = 0; y < source.height(); ++y) {
    const std::uint8_t* row = rows->NextRow();
    if (row == nullptr) {
      return std::nullopt;
    }
    averager.AddRow(y, row);
  }
  return ReducedPng{averager.Finish(), source};
}

}  // namespace zentora
