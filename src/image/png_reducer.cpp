#include "image/png_reducer.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace zentora {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

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

bool IsReducible(png_structp png, png_infop info, QSize target) {
  const auto width = static_cast<int>(png_get_image_width(png, info));
  const auto height = static_cast<int>(png_get_image_height(png, info));
  return png_get_bit_depth(png, info) == 8 && png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB &&
         png_get_interlace_type(png, info) == PNG_INTERLACE_NONE &&
         png_get_valid(png, info, PNG_INFO_tRNS) == 0 && !target.isEmpty() &&
         target.width() <= width && target.height() <= height && target != QSize(width, height);
}

// Reads the rows into the averager; false when libpng gives up on the file.
// Apart from libpng's, it holds nothing that its error jump would skip.
bool ReadRows(png_structp png, png_infop info, std::uint8_t* row, CBoxAverager& averager) {
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  const auto height = static_cast<int>(png_get_image_height(png, info));
  for (int y = 0; y < height; ++y) {
    png_read_row(png, row, nullptr);
    averager.AddRow(y, row);
  }
  return true;
}

// libpng reports through these; a failure ends in the jump.
void OnPngError(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

}  // namespace

std::optional<QImage> DecodeReducedPng(const std::filesystem::path& path, QSize target) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return std::nullopt;
  }
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) {
    return std::nullopt;
  }
  png_infop info = png_create_info_struct(png);
  std::optional<QImage> reduced;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file.get());
    // A thumbnail is no integrity check: the picture's checksums (CRC and
    // Adler-32, a tenth of the time) are left to the compiler's decoder;
    // damage that breaks the compressed stream still fails here.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    if (IsReducible(png, info, target)) {
      const QSize source(static_cast<int>(png_get_image_width(png, info)),
                         static_cast<int>(png_get_image_height(png, info)));
      CBoxAverager averager(source, target);
      std::vector<std::uint8_t> row(png_get_rowbytes(png, info));
      if (ReadRows(png, info, row.data(), averager)) {
        reduced = averager.Finish();
      }
    }
  }
  png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  return reduced;
}

}  // namespace zentora
