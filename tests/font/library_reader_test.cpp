#include "font/library_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zentora {
namespace {

constexpr GlyphLayout k16{16, 16, true, true};

TEST(LibraryRowCountTest, WholeRowsOfSixteenGlyphs) {
  EXPECT_EQ(LibraryRowCount(4'096, k16), 8U);
  EXPECT_EQ(LibraryRowCount(282'752, k16), 552U);
  EXPECT_EQ(LibraryRowCount(766'080, k16), 1'496U);
  EXPECT_EQ(LibraryRowCount(16 * 32 - 1, k16), 0U);
  EXPECT_EQ(LibraryRowCount(6'894'720, {48, 48, false, false}), 1'496U);
  EXPECT_EQ(LibraryRowCount(4'096, ViewerGlyphLayout(1, 2, 0, true)), 5U);
  EXPECT_EQ(LibraryRowCount(std::uint64_t{1} << 40, k16), std::uint64_t{1} << 31);
}

// Glyph i of the file holds 32 bytes of the value i. The reader holds its one
// library alone; an open that fails leaves none open.
TEST(LibraryReaderTest, ReadsGlyphsAtTheirOffsets) {
  testing::CTempDir dir;
  std::string bytes;
  for (int i = 0; i < 40; ++i) {
    bytes += std::string(32, static_cast<char>(i));
  }
  testing::WriteBytes(dir / "字库.bin", bytes);
  CFontLibraryReader reader;
  ASSERT_TRUE(reader.Open(dir / "字库.bin"));
  EXPECT_FALSE(CFontLibraryReader().Open(dir / "字库.bin"));
  EXPECT_EQ(reader.RowCount(k16), 2U);
  EXPECT_EQ(reader.ReadGlyph(39, k16).value(), std::vector<std::uint8_t>(32, 39));
  EXPECT_EQ(reader.ReadCell(1, 2, k16).value(), std::vector<std::uint8_t>(32, 17));
  EXPECT_FALSE(reader.ReadGlyph(40, k16));
  // 48-byte glyphs: 26 whole ones; the 27th would cross the end.
  EXPECT_TRUE(reader.ReadGlyph(25, ViewerGlyphLayout(1, 2, 0, true)));
  EXPECT_FALSE(reader.ReadGlyph(26, ViewerGlyphLayout(1, 2, 0, true)));

  EXPECT_FALSE(reader.Open(dir / "missing.bin"));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.RowCount(k16), 0U);
  EXPECT_FALSE(reader.ReadGlyph(0, k16));
  EXPECT_TRUE(CFontLibraryReader().Open(dir / "字库.bin"));
}

}  // namespace
}  // namespace zentora
