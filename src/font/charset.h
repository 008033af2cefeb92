#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zentora {

// The character sets a font library covers, in the order of the glyph
// dialog's list.
enum class CharsetKind : int { kAscii = 0, kGb2312 = 1, kGbk = 2 };

int GlyphCount(CharsetKind kind);

// "ASCII", "GB2312" or "GBK", as the glyph dialog's list names the set.
std::string_view CharsetName(CharsetKind kind);

// The code stored as glyph number, in file order: the byte itself for
// ASCII, lead byte × 256 + trail byte for the double-byte sets.
std::uint16_t CodeOfGlyph(CharsetKind kind, int number);
// The glyph number of a code; none for a code outside the set's table.
std::optional<int> GlyphNumberOfCode(CharsetKind kind, std::uint16_t code);

// The character drawn for each glyph, in file order. ASCII codes are their
// own characters; double-byte codes go through the GBK code page, and a code
// it does not assign has no character (its glyph stays blank).
std::vector<std::optional<char16_t>> CharsetCharacters(CharsetKind kind);

// The code whose glyph draws each character, the inverse of
// CharsetCharacters (the lowest code where several draw one character), so
// that a character's glyph in a library lies at its code's glyph number.
std::unordered_map<char16_t, std::uint16_t> CharacterCodes(CharsetKind kind);

}  // namespace zentora
