#include "font/glyph_text.h"

#include <QChar>
#include <QStringDecoder>

#include <algorithm>
#include <unordered_set>

#include "base/translation.h"
#include "base/whole_file.h"
#include "font/missing_glyphs.h"

namespace zentora {

Result<std::u16string> ReadGlyphTextFile(const std::filesystem::path& file) {
  const auto refuse = [&](const std::string& reason) {
    return Status::Failure(
        WithReason(Fill(Tr("font", "无法读取文本文件：%1"), file.string()), reason));
  };
  const Result<std::string> bytes = ReadWholeFile(file, kMaxGlyphTextBytes);
  if (!bytes) {
    return refuse(bytes.error());
  }
  // The decoder drops a leading BOM by default.
  QStringDecoder decoder(QStringConverter::Utf8);
  const QString text = decoder.decode(QByteArrayView(bytes.value()));
  if (decoder.hasError()) {
    return refuse(Tr("font", "不是 UTF-8 文本"));
  }
  return text.toStdU16String();
}

GlyphSelection SelectGlyphCharacters(std::u16string_view text, CharsetKind charset) {
  const std::unordered_map<char16_t, std::uint16_t> codes = CharacterCodes(charset);
  std::unordered_set<char32_t> seen;
  std::vector<std::pair<std::uint16_t, char16_t>> encodable;
  GlyphSelection selection;
  for (std::size_t k = 0; k < text.size(); ++k) {
    char32_t ch = text[k];
    if (QChar::isHighSurrogate(ch) && k + 1 < text.size() && QChar::isLowSurrogate(text[k + 1])) {
      ch = QChar::surrogateToUcs4(text[k], text[k + 1]);
      ++k;
    }
    if (IsControlCharacter(ch) || !seen.insert(ch).second) {
      continue;
    }
    // The double-byte sets write ASCII as its own single byte, so a
    // firmware's strings find their digits and letters by the same code.
    if (ch < 0x80) {
      encodable.emplace_back(static_cast<std::uint16_t>(ch), static_cast<char16_t>(ch));
      continue;
    }
    const auto code = ch <= 0xFFFF ? codes.find(static_cast<char16_t>(ch)) : codes.end();
    if (code == codes.end()) {
      selection.unencodable.push_back(ch);
    } else {
      encodable.emplace_back(code->second, code->first);
    }
  }
  std::sort(encodable.begin(), encodable.end());
  for (const auto& [code, ch] : encodable) {
    selection.codes.push_back(code);
    selection.characters.push_back(ch);
  }
  return selection;
}

std::string UnencodableCharactersLine(const std::vector<char32_t>& unencodable,
                                      CharsetKind charset) {
  if (unencodable.empty()) {
    return {};
  }
  return Fill(Tr("font", "字符集 %1 中没有这些字符，未取模：%2"), CharsetName(charset),
              CharacterList(unencodable));
}

}  // namespace zentora
