#include "font/glyph_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "font/glyph_renderer.h"

namespace zentora {
namespace {

TEST(FormatGlyphArrayTest, EmptyText) {
  EXPECT_EQ(FormatGlyphArray({}, 32), "char data[]={\r\n};");
}

TEST(FormatGlyphArrayTest, TwoEightPixelGlyphs) {
  const std::vector<std::uint8_t> glyphs{0x00, 0x01, 0x0A, 0x7F, 0x80, 0xAB, 0xF0, 0xFF,
                                         0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x9C};
  EXPECT_EQ(FormatGlyphArray(glyphs, 8),
            "char data[]={\r\n"
            "    0x00,0x01,0x0A,0x7F,0x80,0xAB,0xF0,0xFF,\r\n"
            "    0x10,0x20,0x30,0x40,0x50,0x60,0x70,0x9C,\r\n"
            "};");
}

TEST(FormatGlyphArrayTest, ThreeSixteenPixelGlyphsGiveThreeLinesOf32Items) {
  std::vector<std::uint8_t> glyphs(3 * 32, 0x5A);
  glyphs[32] = 0xC3;
  const std::string text = FormatGlyphArray(glyphs, 32);
  std::string line;
  for (int i = 0; i < 32; ++i) {
    line += "0x5A,";
  }
  EXPECT_EQ(text, "char data[]={\r\n    " + line + "\r\n    0xC3," + line.substr(5) + "\r\n    " +
                      line + "\r\n};");
}

// Any coverage at all sets the pixel's bit; bits already set stay.
TEST(ModelCellTest, SetsTheBitOfEveryCoveredPixel) {
  CellBitmap cell;
  cell.Reset(16, 16);
  cell.coverage[2 * 16 + 3] = 1;
  cell.coverage[15 * 16 + 15] = 255;
  for (const auto& [horizontal, bit7First, byte, mask, last] :
       {std::tuple{true, true, 4, 0x10, 0x01}, {false, false, 6, 0x04, 0x80}}) {
    std::vector<std::uint8_t> dest(32, 0);
    dest[10] = 0x42;
    ModelCell(cell, {16, 16, horizontal, bit7First}, dest);
    std::vector<std::uint8_t> expected(32, 0);
    expected[10] = 0x42;
    expected[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(mask);
    expected[31] = static_cast<std::uint8_t>(last);
    EXPECT_EQ(dest, expected) << horizontal;
  }
}

struct Ink {
  int count = 0, left = 99, top = 99, right = -1, bottom = -1;
  explicit Ink(const CellBitmap& cell) {
    for (int i = 0; i < cell.width * cell.height; ++i) {
      const int x = i % cell.width, y = i / cell.width;
      if (cell.IsSet(x, y)) {
        ++count;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
  }
  double CentreX() const { return (left + right) / 2.0; }
  double CentreY() const { return (top + bottom) / 2.0; }
};

// The CJK fonts that every installation of the program has.
constexpr char kZenHei[] = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
constexpr char kUMing[] = "/usr/share/fonts/truetype/arphic/uming.ttc";

class RenderCharTest : public ::testing::TestWithParam<const char*> {
 protected:
  FontDesc Font(int height) const { return {{}, height, kGb2312Charset, GetParam()}; }
};

TEST_P(RenderCharTest, CharactersAreCentredAndSpacesEmpty) {
  for (int size = 16; size <= 48; size += 8) {
    SCOPED_TRACE(size);
    const double centre = (size - 1) / 2.0;
    const Ink a(RenderChar(Font(size), size, size, u'A'));
    const Ink zai(RenderChar(Font(size), size, size, u'在'));
    EXPECT_GT(a.count, size / 2);
    EXPECT_GT(zai.count, size);
    EXPECT_LE(std::abs(a.CentreX() - centre), 2.0);
    EXPECT_LE(std::abs(zai.CentreX() - centre), 2.0);
    EXPECT_LE(std::abs(zai.CentreY() - centre), 2.0);
    EXPECT_EQ(Ink(RenderChar(Font(size), size, size, u' ')).count, 0);
  }
}

// The height asked for is the whole text line: a tall character fills most
// of a cell of that height, and none of it is cut off, as the same character
// centred in a larger cell shows.
TEST_P(RenderCharTest, HeightIsTheCellHeight) {
  for (int size = 16; size <= 48; size += 8) {
    for (const char16_t ch : {u'在', u'|'}) {
      SCOPED_TRACE(::testing::Message() << size << " U+" << std::hex << int{ch});
      const CellBitmap fitted = RenderChar(Font(size), size, size, ch);
      const CellBitmap roomy = RenderChar(Font(size), size + 16, size + 16, ch);
      const Ink ink(fitted);
      EXPECT_GE(ink.bottom - ink.top + 1, size * 3 / 4);
      EXPECT_EQ(Ink(roomy).count, ink.count);
      for (int i = 0; i < size * size; ++i) {
        ASSERT_EQ(roomy.IsSet(i % size + 8, i / size + 8), fitted.IsSet(i % size, i / size)) << i;
      }
    }
  }
}

// A 48-pixel character in an 8-pixel cell is its middle, cut out of the
// full-size drawing (halving an odd difference may shift it by one).
TEST_P(RenderCharTest, LargeFontInSmallCellShowsTheCentre) {
  const CellBitmap small = RenderChar(Font(48), 8, 8, u'在');
  const CellBitmap full = RenderChar(Font(48), 48, 48, u'在');
  EXPECT_GT(Ink(small).count, 0);
  bool found = false;
  for (int d = 0; d < 9 && !found; ++d) {
    bool same = true;
    for (int i = 0; i < 64 && same; ++i) {
      same = small.IsSet(i % 8, i / 8) == full.IsSet(19 + d % 3 + i % 8, 19 + d / 3 + i / 8);
    }
    found = same;
  }
  EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(InstalledCjkFonts, RenderCharTest, ::testing::Values(kZenHei, kUMing));

bool HasGrey(const CellBitmap& cell) {
  return std::any_of(cell.coverage.begin(), cell.coverage.end(),
                     [](std::uint8_t value) { return value > 0 && value < 255; });
}

// WenQuanYi Zen Hei's gasp table asks for no grey-scale from 9 to 16 ppem
// (a 16-pixel height is 13 ppem) and for grey above (24 pixels, 19 ppem).
// AR PL UMing asks for grey at every size but has bitmap strikes of 11 to 16
// ppem (16 pixels, 15 ppem).
TEST(RasterisingTest, StrikesAndTheGaspTableDecideWhereGreyIs) {
  const struct {
    const char* font;
    int size;
    bool monochrome;
    bool grey;
  } cases[] = {
      {kZenHei, 16, false, false}, {kZenHei, 24, false, true}, {kZenHei, 24, true, false},
      {kUMing, 16, false, false},  {kUMing, 24, false, true},  {kUMing, 24, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.font << " " << c.size << (c.monochrome ? " mono" : ""));
    const FontDesc font{{}, c.size, kGb2312Charset, c.font, c.monochrome};
    const CellBitmap zi = RenderChar(font, c.size, c.size, u'字');
    EXPECT_EQ(HasGrey(zi), c.grey);
    EXPECT_GT(Ink(zi).count, c.size);
    // A stroke thinner than a pixel, hinted between pixel centres, stays.
    EXPECT_GT(Ink(RenderChar(font, c.size, c.size, u'一')).count, c.size / 2);
  }
}

TEST(RenderCharByNameTest, UnknownFaceNameDrawsWithASubstitute) {
  for (const int charset : {kAnsiCharset, kGb2312Charset}) {
    const FontDesc font{"无此字体 No Such Face", 16, charset, {}};
    EXPECT_GT(Ink(RenderChar(font, 16, 16, u'A')).count, 0) << charset;
  }
  const FontDesc chinese{"无此字体 No Such Face", 16, kGb2312Charset, {}};
  EXPECT_GT(Ink(RenderChar(chinese, 16, 16, u'在')).count, 16);
}

}  // namespace
}  // namespace zentora
