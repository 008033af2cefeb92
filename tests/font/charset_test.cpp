#include "font/charset.h"

#include <gtest/gtest.h>

#include "font/font_library.h"

namespace zentora {
namespace {

using enum CharsetKind;

TEST(CharsetTest, GlyphNumbersOfCodes) {
  const struct {
    CharsetKind kind;
    std::uint16_t code;
    int number;
  } cases[] = {{kAscii, 0x41, 65},      {kAscii, 0x7F, 127},     {kGb2312, 0xA1A1, 0},
               {kGb2312, 0xB0A1, 1410}, {kGb2312, 0xFEFE, 8835}, {kGbk, 0x8140, 0},
               {kGbk, 0x817E, 62},      {kGbk, 0x8180, 63},      {kGbk, 0x8240, 190},
               {kGbk, 0xFEFE, 23939}};
  for (const auto& c : cases) {
    EXPECT_EQ(GlyphNumberOfCode(c.kind, c.code), c.number) << std::hex << c.code;
  }
  for (const auto& [kind, code] : {std::pair{kAscii, 0x80},
                                   {kGb2312, 0xA0A1},
                                   {kGb2312, 0xB0FF},
                                   {kGbk, 0x817F},
                                   {kGbk, 0x813F},
                                   {kGbk, 0xFF40}}) {
    EXPECT_EQ(GlyphNumberOfCode(kind, static_cast<std::uint16_t>(code)), std::nullopt) << code;
  }
  // 'A' in the 16-pixel ASCII library, 啊 in the GB2312 one.
  EXPECT_EQ(*GlyphNumberOfCode(kAscii, 0x41) * 32, 2'080);
  EXPECT_EQ(*GlyphNumberOfCode(kGb2312, 0xB0A1) * 32, 45'120);
}

// Glyph numbers run through each table in ascending code order without a gap.
TEST(CharsetTest, CodeOfGlyphIsTheInverse) {
  for (const CharsetKind kind : {kAscii, kGb2312, kGbk}) {
    int previous = -1;
    for (int i = 0; i < GlyphCount(kind); ++i) {
      const std::uint16_t code = CodeOfGlyph(kind, i);
      ASSERT_GT(code, previous) << i;
      ASSERT_EQ(GlyphNumberOfCode(kind, code), i) << std::hex << code;
      previous = code;
    }
  }
}

TEST(CharsetTest, LibraryLengthsOfEveryCell) {
  const std::uint64_t lengths[6][3] = {
      {1'024, 70'688, 191'520},       {4'096, 282'752, 766'080},
      {9'216, 636'192, 1'723'680},    {16'384, 1'131'008, 3'064'320},
      {25'600, 1'767'200, 4'788'000}, {36'864, 2'544'768, 6'894'720}};
  for (int index = 0; index < 6; ++index) {
    const int cell = GlyphExtentOfIndex(index);
    for (const CharsetKind kind : {kAscii, kGb2312, kGbk}) {
      EXPECT_EQ(LibraryLength(kind, {cell, cell, true, true}),
                lengths[index][static_cast<int>(kind)])
          << cell;
    }
  }
}

TEST(CharsetTest, CharactersComeFromTheGbkCodePage) {
  const auto ascii = CharsetCharacters(kAscii);
  ASSERT_EQ(ascii.size(), 128U);
  EXPECT_EQ(ascii[0], u'\0');
  EXPECT_EQ(ascii[0x41], u'A');

  const auto gb2312 = CharsetCharacters(kGb2312);
  ASSERT_EQ(gb2312.size(), 8836U);
  EXPECT_EQ(gb2312[0], u'\u3000');
  EXPECT_EQ(gb2312[1410], u'啊');
  EXPECT_EQ(gb2312[*GlyphNumberOfCode(kGb2312, 0xD7F9)], u'座');
  // Codes the code page leaves unassigned get no character.
  for (const std::uint16_t code : {0xAAA1, 0xD7FA, 0xF8A1, 0xFEFE}) {
    EXPECT_EQ(gb2312[*GlyphNumberOfCode(kGb2312, code)], std::nullopt) << std::hex << code;
  }

  const auto gbk = CharsetCharacters(kGbk);
  ASSERT_EQ(gbk.size(), 23940U);
  EXPECT_EQ(gbk[0], u'\u4E02');
  EXPECT_EQ(gbk[*GlyphNumberOfCode(kGbk, 0xB0A1)], u'啊');
  EXPECT_EQ(gbk[*GlyphNumberOfCode(kGbk, 0xA2A1)], u'\u2170');
}

}  // namespace
}  // namespace zentora
