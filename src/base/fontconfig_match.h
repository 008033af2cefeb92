#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

typedef struct _FcPattern FcPattern;

namespace zentora {

// fontconfig's default configuration is shared by every thread that asks;
// one lock keeps its lazy set-up and lookups from racing. Hold it around
// any direct use of fontconfig.
std::mutex& FontconfigMutex();

// A property of a fontconfig pattern, or the empty string / fallback.
std::string FcStringProperty(FcPattern* pattern, const char* object, int index);
int FcIntProperty(FcPattern* pattern, const char* object, int fallback);

struct FontconfigMatch {
  std::string family;
  std::filesystem::path file;
  int faceIndex = 0;
};

// fontconfig's best font for a family name (any font when empty),
// optionally one that covers a language such as "zh-cn". Empty when the
// system has no font at all. Takes the lock itself.
std::optional<FontconfigMatch> MatchFontconfig(const std::string& family, const char* language);

}  // namespace zentora
