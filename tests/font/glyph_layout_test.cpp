#include "font/glyph_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "font/library_reader.h"

namespace zentora {
namespace {

TEST(GlyphBitPositionTest, Pixel3_2Of16By16InAllModes) {
  EXPECT_EQ(GlyphBitPosition({16, 16, true, true}, 3, 2), (GlyphBit{4, 0x10}));
  EXPECT_EQ(GlyphBitPosition({16, 16, true, false}, 3, 2), (GlyphBit{4, 0x08}));
  EXPECT_EQ(GlyphBitPosition({16, 16, false, true}, 3, 2), (GlyphBit{6, 0x20}));
  EXPECT_EQ(GlyphBitPosition({16, 16, false, false}, 3, 2), (GlyphBit{6, 0x04}));
}

// In an 8-pixel cell byte k is row k (horizontal) or column k (vertical),
// and the first pixel of the byte is bit 7 or bit 0.
TEST(GlyphBitPositionTest, EightPixelCellIsOneBytePerLine) {
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 8; ++i) {
      const auto msb = static_cast<std::uint8_t>(0x80 >> i);
      const auto lsb = static_cast<std::uint8_t>(1 << i);
      EXPECT_EQ(GlyphBitPosition({8, 8, true, true}, i, k), (GlyphBit{k, msb}));
      EXPECT_EQ(GlyphBitPosition({8, 8, true, false}, i, k), (GlyphBit{k, lsb}));
      EXPECT_EQ(GlyphBitPosition({8, 8, false, true}, k, i), (GlyphBit{k, msb}));
      EXPECT_EQ(GlyphBitPosition({8, 8, false, false}, k, i), (GlyphBit{k, lsb}));
    }
  }
}

// Every pixel of every cell size and mode owns a bit of its own inside the
// glyph (so all W × H bits are used), and an irregular pattern packed into
// bytes reads back unchanged.
TEST(GlyphBitPositionTest, PackThenReadRoundTripsEverywhere) {
  auto pattern = [](int x, int y) { return (x * 7 + y * y * 3 + x * y) % 5 < 2; };
  for (int w = 8; w <= 48; w += 8) {
    for (int h = 8; h <= 48; h += 8) {
      for (int mode = 0; mode < 4; ++mode) {
        const GlyphLayout layout{w, h, mode < 2, mode % 2 == 0};
        SCOPED_TRACE(::testing::Message() << w << "x" << h << " mode " << mode);
        ASSERT_TRUE(IsValidGlyphLayout(layout));
        const auto bytes = static_cast<std::size_t>(BytesPerGlyph(layout));
        std::set<std::pair<int, int>> bits;
        std::vector<std::uint8_t> packed(bytes);
        for (int x = 0; x < w; ++x) {
          for (int y = 0; y < h; ++y) {
            const GlyphBit bit = GlyphBitPosition(layout, x, y);
            ASSERT_LT(static_cast<std::size_t>(bit.byte), bytes);
            bits.insert({bit.byte, bit.mask});
            if (pattern(x, y)) {
              SetGlyphPixel(packed, layout, x, y);
            }
          }
        }
        EXPECT_EQ(bits.size(), bytes * 8);
        for (int i = 0; i < w * h; ++i) {
          ASSERT_EQ(GlyphPixel(packed, layout, i % w, i / w), pattern(i % w, i / w)) << i;
        }
      }
    }
  }
}

// The viewer's list labelled "字模宽度" sets the height and the one labelled
// "字模高度" the width.
TEST(ViewerGlyphLayoutTest, SizeListsSetTheOtherExtent) {
  const GlyphLayout tall = ViewerGlyphLayout(1, 2, 0, true);
  EXPECT_EQ(tall, (GlyphLayout{24, 16, true, true}));
  EXPECT_EQ(BytesPerGlyph(tall), 48);
  EXPECT_EQ(GlyphBitPosition(tall, 0, 1), (GlyphBit{3, 0x80}));
  EXPECT_EQ(GlyphBitPosition(tall, 23, 15), (GlyphBit{47, 0x01}));
  const GlyphLayout wide = ViewerGlyphLayout(0, 5, 1, false);
  EXPECT_EQ(wide, (GlyphLayout{48, 8, false, false}));
  EXPECT_EQ(GlyphBitPosition(wide, 1, 0), (GlyphBit{1, 0x01}));
  EXPECT_EQ(GlyphBitPosition(wide, 47, 7), (GlyphBit{47, 0x80}));
}

}  // namespace
}  // namespace zentora
