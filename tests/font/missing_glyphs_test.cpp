#include "font/missing_glyphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font/charset.h"
#include "font/glyph_renderer.h"

namespace zentora {
namespace {

// Each row: the characters drawn blank, as the face that draws them (not
// the name asked for) lacks them.
TEST(MissingCharactersTest, NamesTheCharactersTheDrawingFaceLacks) {
  const FontDesc dejaVu{{}, 16, kGb2312Charset, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
  const struct {
    FontDesc desc;
    std::u16string text;
    std::vector<char32_t> missing;
  } rows[] = {
      {dejaVu, u"A中文中", {U'中', U'文'}},
      {{"DejaVu Sans", 16, kGb2312Charset, {}}, u"中", {U'中'}},
      // fontconfig stands in with a Chinese face for an unknown name.
      {{"No Such Face", 16, kGb2312Charset, {}}, u"中文", {}},
      // Each half of a pair is drawn on its own; a tab is drawn by no font.
      {dejaVu, u"A\U0001F600\t", {U'\U0001F600'}},
  };
  CGlyphRenderer renderer;
  for (const auto& row : rows) {
    EXPECT_EQ(MissingCharacters(renderer, row.desc, row.text), row.missing) << row.desc.faceName;
  }
  EXPECT_TRUE(MissingCharacters(renderer, dejaVu, CharsetCharacters(CharsetKind::kAscii)).empty());
}

}  // namespace
}  // namespace zentora
