#include "font/library_reader.h"

#include "base/translation.h"

namespace zentora {

GlyphLayout ViewerGlyphLayout(int widthIndex, int heightIndex, int layoutChoice, bool bit7First) {
  return {GlyphExtentOfIndex(heightIndex), GlyphExtentOfIndex(widthIndex), layoutChoice == 0,
          bit7First};
}

std::uint64_t LibraryRowCount(std::uint64_t fileLength, const GlyphLayout& layout) {
  return fileLength / (static_cast<std::uint64_t>(kGlyphsPerRow) *
                       static_cast<std::uint64_t>(BytesPerGlyph(layout)));
}

Status CFontLibraryReader::Open(const std::filesystem::path& path) {
  Close();
  Result<CExclusiveFile> file = CExclusiveFile::OpenForReading(path);
  if (!file) {
    return file.status();
  }
  const Result<std::uint64_t> size = file.value().Size();
  if (!size) {
    return size.status();
  }
  file_.emplace(std::move(file).value());
  path_ = path;
  length_ = size.value();
  return Status::Ok();
}

void CFontLibraryReader::Close() {
  file_.reset();
  path_.clear();
  length_ = 0;
}

std::uint64_t CFontLibraryReader::RowCount(const GlyphLayout& layout) const {
  return IsOpen() ? LibraryRowCount(length_, layout) : 0;
}

Result<std::vector<std::uint8_t>> CFontLibraryReader::ReadGlyph(std::uint64_t number,
                                                                const GlyphLayout& layout) {
  if (!file_) {
    return Status::Failure(Tr("font", "没有打开的字库"));
  }
  const std::uint64_t b = static_cast<std::uint64_t>(BytesPerGlyph(layout));
  if (number >= length_ / b) {
    return Status::Failure(Tr("font", "字模超出字库范围"));
  }
  std::vector<std::uint8_t> glyph(static_cast<std::size_t>(b));
  const Result<std::size_t> got = file_->ReadAt(number * b, glyph);
  if (!got) {
    return got.status();
  }
  if (got.value() != glyph.size()) {
    return Status::Failure(Tr("font", "字库文件已被截短"));
  }
  return glyph;
}

Result<std::vector<std::uint8_t>> CFontLibraryReader::ReadCell(std::uint64_t row, int column,
                                                               const GlyphLayout& layout) {
  return ReadGlyph(row * kGlyphsPerRow + static_cast<std::uint64_t>(column - 1), layout);
}

}  // namespace zentora
