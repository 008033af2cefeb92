#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/font_desc.h"

namespace zentora {

class CGlyphRenderer;

// The characters of text that come out blank because the face drawing desc
// has no glyph for them: each once, in the order they first come. Every
// UTF-16 code unit is drawn on its own, so a surrogate pair never has a
// glyph; it is named as the one character it encodes. Control characters,
// which no font draws, are not counted.
std::vector<char32_t> MissingCharacters(CGlyphRenderer& renderer, const FontDesc& desc,
                                        std::u16string_view text);

// The same over a character set's characters in file order; a code without
// a character is not counted.
std::vector<char32_t> MissingCharacters(CGlyphRenderer& renderer, const FontDesc& desc,
                                        const std::vector<std::optional<char16_t>>& characters);

// Characters no font draws and no text means: line ends, tabs and the
// other C0 and C1 controls.
bool IsControlCharacter(char32_t ch);

// How many characters a line names before it gives their count.
inline constexpr std::size_t kMissingCharactersNamed = 10;

// The characters as a line names them: all of them, or the first
// kMissingCharactersNamed and their count ("… 等 N 个").
std::string CharacterList(const std::vector<char32_t>& characters);

// "字体缺少这些字符的字形：" and CharacterList(missing); empty when none is
// missing.
std::string MissingGlyphsLine(const std::vector<char32_t>& missing);

}  // namespace zentora
