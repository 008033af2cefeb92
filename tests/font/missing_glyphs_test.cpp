#include "font/missing_glyphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font/charset.h"
#include "font/glyph_renderer.h"

namespace zentora {
namespace {

constexpr char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

FontDesc DejaVuFile() {
  FontDesc desc{{}, 16, kGb2312Charset, kDejaVuSans};
  return desc;
}

// Each row: the characters a font draws blank, named by the face that
// draws them, not by the name asked for.
TEST(MissingCharactersTest, NamesTheCharactersTheDrawingFaceLacks) {
  const struct {
    FontDesc desc;
    std::u16string text;
    std::vector<char32_t> missing;
  } rows[] = {
      {DejaVuFile(), u"A中文中", {U'中', U'文'}},
      {{"DejaVu Sans", 16, kGb2312Charset, {}}, u"中", {U'中'}},
      // fontconfig stands in with a Chinese face for an unknown name.
      {{"No Such Face", 16, kGb2312Charset, {}}, u"中文", {}},
      // The halves of a pair are drawn one by one, so never have a glyph.
      {DejaVuFile(), u"A\U0001F600\t", {U'\U0001F600'}},
  };
  CGlyphRenderer renderer;
  for (const auto& row : rows) {
    EXPECT_EQ(MissingCharacters(renderer, row.desc, row.text), row.missing) << row.desc.faceName;
  }
  EXPECT_TRUE(
      MissingCharacters(renderer, DejaVuFile(), CharsetCharacters(CharsetKind::kAscii)).empty());
  EXPECT_GT(
      MissingCharacters(renderer, DejaVuFile(), CharsetCharacters(CharsetKind::kGb2312)).size(),
      6000U);
}

TEST(MissingGlyphsLineTest, NamesTenAndCountsTheRest) {
  std::vector<char32_t> many(12, U'字');
  many[0] = U'丂';
  EXPECT_EQ(MissingGlyphsLine({U'中', U'文'}), "字体缺少这些字符的字形：中文");
  EXPECT_EQ(MissingGlyphsLine(many), "字体缺少这些字符的字形：丂字字字字字字字字字 等 12 个");
  EXPECT_EQ(MissingGlyphsLine({}), "");
}

}  // namespace
}  // namespace zentora
