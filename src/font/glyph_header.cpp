#include "font/glyph_header.h"

#include <QString>

#include <cassert>
#include <cctype>
#include <cstdio>
#include <span>

#include "font/glyph_model.h"

namespace zentora {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

std::string CodeItem(std::uint16_t code) {
  char item[8];
  std::snprintf(item, sizeof item, "0x%04X", code);
  return item;
}

// A single character can never close the comment it stands in.
std::string CharacterComment(char16_t ch) {
  return "/* " + QString(QChar(ch)).toStdString() + " */";
}

// A font's name may hold anything; it must not end the comment early.
std::string CommentSafe(std::string text) {
  for (std::size_t at = text.find("*/"); at != std::string::npos; at = text.find("*/", at)) {
    text.replace(at, 2, "* /");
  }
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      c = '?';
    }
  }
  return text;
}

}  // namespace

std::string HeaderNamePrefix(const std::filesystem::path& header) {
  std::string prefix;
  for (const char c : header.stem().string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      continue;
    }
    prefix += std::isalnum(byte) != 0 ? c : '_';
  }
  if (prefix.empty()) {
    return "glyphs";
  }
  return std::isalpha(static_cast<unsigned char>(prefix.front())) != 0 ? prefix
                                                                       : "glyphs_" + prefix;
}

std::string FormatGlyphHeader(const GlyphHeader& header) {
  const std::size_t count = header.characters.size();
  const std::size_t bytes = static_cast<std::size_t>(BytesPerGlyph(header.layout));
  assert(header.codes.size() == count && header.glyphs.size() == count * bytes);
  const std::string& name = header.prefix;
  const std::string macro = Upper(name);
  const std::string layout = std::to_string(header.layout.cellWidth) + " x " +
                             std::to_string(header.layout.cellHeight) + " cells packed " +
                             (header.layout.horizontal ? "row by row" : "column by column") +
                             (header.layout.bit7First ? ", bit 7 first" : ", bit 0 first");
  std::string text = "/* " + std::to_string(count) + " glyphs of " + CommentSafe(header.fontName) +
                     " at " + std::to_string(header.fontHeight) + " px, " +
                     std::string(CharsetName(header.charset)) + " codes,\n   " + layout +
                     ". Written by zentora-cli glyphs. */\n";
  text += "#ifndef " + macro + "_H\n#define " + macro + "_H\n\n";
  text += "#define " + macro + "_COUNT " + std::to_string(count) + "\n";
  text += "#define " + macro + "_WIDTH " + std::to_string(header.layout.cellWidth) + "\n";
  text += "#define " + macro + "_HEIGHT " + std::to_string(header.layout.cellHeight) + "\n";
  text += "#define " + macro + "_BYTES " + std::to_string(bytes) + "\n\n";
  // C has no empty arrays: without characters one zero entry stands in,
  // and _COUNT says there is none.
  const std::string codesSize = count == 0 ? "1" : macro + "_COUNT";
  const std::string dataSize =
      count == 0 ? macro + "_BYTES" : macro + "_COUNT * " + macro + "_BYTES";
  text += "/* Ascending: glyph i is the one of the character coded " + name + "_codes[i]. */\n";
  text += "static const unsigned short " + name + "_codes[" + codesSize + "] = {\n";
  for (std::size_t i = 0; i < count; ++i) {
    text +=
        "    " + CodeItem(header.codes[i]) + ", " + CharacterComment(header.characters[i]) + "\n";
  }
  if (count == 0) {
    text += "    0\n";
  }
  text += "};\n\n";
  text += "/* " + macro + "_BYTES bytes per glyph, in the order of the codes. */\n";
  text += "static const unsigned char " + name + "_data[" + dataSize + "] = {\n";
  const std::span<const std::uint8_t> glyphs(header.glyphs);
  for (std::size_t i = 0; i < count; ++i) {
    text += FormatGlyphLine(glyphs.subspan(i * bytes, bytes)) + " " +
            CharacterComment(header.characters[i]) + "\n";
  }
  if (count == 0) {
    text += "    0\n";
  }
  text += "};\n\n#endif\n";
  return text;
}

}  // namespace zentora
