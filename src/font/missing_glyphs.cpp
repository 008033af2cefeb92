#include "font/missing_glyphs.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <unordered_set>

#include "base/translation.h"
#include "font/glyph_renderer.h"

namespace zentora {

bool IsControlCharacter(char32_t ch) {
  return ch < 0x20 || (ch >= 0x7F && ch < 0xA0);
}

std::vector<char32_t> MissingCharacters(CGlyphRenderer& renderer, const FontDesc& desc,
                                        std::u16string_view text) {
  std::vector<char32_t> missing;
  std::unordered_set<char32_t> named;
  for (std::size_t k = 0; k < text.size(); ++k) {
    char32_t ch = text[k];
    if (QChar::isHighSurrogate(ch) && k + 1 < text.size() && QChar::isLowSurrogate(text[k + 1])) {
      ch = QChar::surrogateToUcs4(text[k], text[k + 1]);
      ++k;
    } else if (IsControlCharacter(ch) || renderer.HasGlyph(desc, text[k])) {
      continue;
    }
    if (named.insert(ch).second) {
      missing.push_back(ch);
    }
  }
  return missing;
}

std::vector<char32_t> MissingCharacters(CGlyphRenderer& renderer, const FontDesc& desc,
                                        const std::vector<std::optional<char16_t>>& characters) {
  std::vector<char32_t> missing;
  for (const std::optional<char16_t>& ch : characters) {
    if (ch && !IsControlCharacter(*ch) && !renderer.HasGlyph(desc, *ch)) {
      missing.push_back(*ch);
    }
  }
  return missing;
}

std::string CharacterList(const std::vector<char32_t>& characters) {
  const std::size_t named = std::min(characters.size(), kMissingCharactersNamed);
  // A lone surrogate half cannot be written as text; it shows as U+FFFD.
  QString shown;
  for (std::size_t i = 0; i < named; ++i) {
    const char32_t ch =
        QChar::isSurrogate(characters[i]) ? char32_t{QChar::ReplacementCharacter} : characters[i];
    shown += QString::fromUcs4(&ch, 1);
  }
  std::string list = shown.toStdString();
  if (named < characters.size()) {
    list = Fill(Tr("font", "%1 等 %2 个"), list, std::to_string(characters.size()));
  }
  return list;
}

std::string MissingGlyphsLine(const std::vector<char32_t>& missing) {
  return missing.empty() ? std::string()
                         : Fill(Tr("font", "字体缺少这些字符的字形：%1"), CharacterList(missing));
}

}  // namespace zentora
