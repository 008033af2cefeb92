#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/exclusive_file.h"
#include "base/result.h"
#include "font/glyph_layout.h"

namespace zentora {

// The viewer's packing from its controls. Each size list sets the extent
// that the other list's label names: the list labelled "字模高度" gives the
// horizontal extent W, the one labelled "字模宽度" the vertical extent H.
// layoutChoice 0 is horizontal modelling, 1 vertical.
GlyphLayout ViewerGlyphLayout(int widthIndex, int heightIndex, int layoutChoice, bool bit7First);

// The table shows whole rows of 16 glyphs; a last, shorter group has none.
inline constexpr int kGlyphsPerRow = 16;
std::uint64_t LibraryRowCount(std::uint64_t fileLength, const GlyphLayout& layout);

// A font library opened for the viewer. It is held without sharing while
// open: a generation aimed at it is refused until it is closed.
class CFontLibraryReader {
 public:
  Status Open(const std::filesystem::path& path);
  void Close();
  bool IsOpen() const { return file_.has_value(); }
  const std::filesystem::path& Path() const { return path_; }
  std::uint64_t Length() const { return length_; }
  std::uint64_t RowCount(const GlyphLayout& layout) const;

  // The bytes of glyph `number` under layout, read from the file each time.
  // Fails when no library is open or the glyph does not lie wholly inside it.
  Result<std::vector<std::uint8_t>> ReadGlyph(std::uint64_t number, const GlyphLayout& layout);
  // The glyph in row `row` under column `column` (1 to 16).
  Result<std::vector<std::uint8_t>> ReadCell(std::uint64_t row, int column,
                                             const GlyphLayout& layout);

 private:
  std::optional<CExclusiveFile> file_;
  std::filesystem::path path_;
  std::uint64_t length_ = 0;
};

}  // namespace zentora
