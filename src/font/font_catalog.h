#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "font/font_desc.h"

namespace zentora {

// The installed fonts as the glyph tools list them: one entry per family,
// named by the full name of its regular face in the user's language where
// the font gives one (else English), names with "@" skipped, names that
// differ only in case listed once, sorted without regard to case.
// Read from fontconfig once per process.
const std::vector<std::string>& InstalledFontNames();

// The entry selected when the list first shows: the first name beginning
// with "宋体"; failing that, the platform's substitute for it: the first
// installed Song face of "AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif
// CJK SC" and "Source Han Serif SC", and only when none is, the family
// fontconfig picks for "宋体" in Simplified Chinese.
std::optional<std::string> DefaultFontName(const std::vector<std::string>& names);
std::optional<std::string> DefaultFontName();

// A face inside a font file.
struct FontSource {
  std::filesystem::path file;
  int faceIndex = 0;
  bool operator==(const FontSource&) const = default;
};

// The face that draws desc: its font file when it names one; the listed
// face of that name; otherwise fontconfig's substitute, asked to cover
// Simplified Chinese when desc asks for the GB2312 set. Fails only when the
// system has no font at all.
Result<FontSource> ResolveFont(const FontDesc& desc);

// Sort order and duplicate test of the list, exposed for its tests.
bool FontNameLess(const std::string& a, const std::string& b);
bool FontNamesEqual(const std::string& a, const std::string& b);

}  // namespace zentora
