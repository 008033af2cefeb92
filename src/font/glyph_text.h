#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "font/charset.h"

namespace zentora {

// A text file of the strings a product shows is read whole up to this size.
inline constexpr std::uint64_t kMaxGlyphTextBytes = 16U << 20U;

// The text of a UTF-8 file (a leading BOM is dropped), for the characters
// its glyphs are modelled from. The failure names the file and why: it
// cannot be read, or it is not UTF-8.
Result<std::u16string> ReadGlyphTextFile(const std::filesystem::path& file);

// The characters of a text that a library of the set draws, each once.
struct GlyphSelection {
  std::vector<char16_t> characters;  // ascending by code
  std::vector<std::uint16_t> codes;  // each character's code in the set
  // Characters the set has no code for, in the order they first come; a
  // surrogate pair is named as the one character it encodes.
  std::vector<char32_t> unencodable;
};

// Line ends and the other control characters are passed over. ASCII
// characters have their own codes in every set (one byte in GB2312 and
// GBK); the others have the code of the set's library glyph that draws
// them.
GlyphSelection SelectGlyphCharacters(std::u16string_view text, CharsetKind charset);

// "字符集 SET 中没有这些字符，未取模：" and their CharacterList; empty when
// there are none.
std::string UnencodableCharactersLine(const std::vector<char32_t>& unencodable,
                                      CharsetKind charset);

}  // namespace zentora
