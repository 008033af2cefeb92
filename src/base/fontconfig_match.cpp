#include "base/fontconfig_match.h"

#include <fontconfig/fontconfig.h>

namespace zentora {

std::mutex& FontconfigMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string FcStringProperty(FcPattern* pattern, const char* object, int index) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || value == nullptr) {
    return {};
  }
  return reinterpret_cast<const char*>(value);
}

int FcIntProperty(FcPattern* pattern, const char* object, int fallback) {
  int value = 0;
  return FcPatternGetInteger(pattern, object, 0, &value) == FcResultMatch ? value : fallback;
}

std::optional<FontconfigMatch> MatchFontconfig(const std::string& family, const char* language) {
  std::lock_guard lock(FontconfigMutex());
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  if (language != nullptr) {
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) {
    return std::nullopt;
  }
  FontconfigMatch found{FcStringProperty(match, FC_FAMILY, 0), FcStringProperty(match, FC_FILE, 0),
                        FcIntProperty(match, FC_INDEX, 0)};
  FcPatternDestroy(match);
  if (found.file.empty()) {
    return std::nullopt;
  }
  return found;
}

}  // namespace zentora
