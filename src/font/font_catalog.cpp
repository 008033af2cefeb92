#include "font/font_catalog.h"

#include "base/fontconfig_match.h"
#include "base/translation.h"

#include <QString>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>

namespace zentora {

namespace {

constexpr char kSongTi[] = "宋体";
constexpr char kSimplifiedChinese[] = "zh-cn";

// The Song (Ming) faces that stand in for 宋体, best first: they draw small
// sizes from bitmaps of their own or from strokes thin enough to stay apart.
constexpr const char* kSongFamilies[] = {"AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif CJK SC",
                                         "Source Han Serif SC"};

struct ListedFace {
  std::string name;
  std::string family;
  // Every family name fontconfig knows the face by, localised ones too.
  std::vector<std::string> families;
  FontSource source;
  int score = 0;
};

// The user's language as fontconfig derives it from the environment.
std::string UserLanguage() {
  FcStrSet* langs = FcGetDefaultLangs();
  std::string first;
  if (langs != nullptr) {
    FcStrList* list = FcStrListCreate(langs);
    if (FcChar8* lang = FcStrListNext(list)) {
      first = reinterpret_cast<const char*>(lang);
    }
    FcStrListDone(list);
    FcStrSetDestroy(langs);
  }
  return first;
}

// Language tags as fontconfig writes them ("zh-cn"), compared without case
// and with "_" taken for "-".
bool SameLanguage(const std::string& a, const std::string& b) {
  auto normal = [](std::string tag) {
    for (char& c : tag) {
      c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return tag;
  };
  return !a.empty() && normal(a) == normal(b);
}

// The full name in the user's language, else in English, else the first.
std::string LocalisedFullName(FcPattern* pattern, const std::string& userLanguage) {
  std::string english;
  std::string sameLanguage;
  std::string first;
  for (int i = 0;; ++i) {
    const std::string name = FcStringProperty(pattern, FC_FULLNAME, i);
    if (name.empty()) {
      break;
    }
    const std::string lang = FcStringProperty(pattern, FC_FULLNAMELANG, i);
    if (first.empty()) {
      first = name;
    }
    if (!userLanguage.empty() && SameLanguage(lang, userLanguage) && sameLanguage.empty()) {
      sameLanguage = name;
    }
    if (lang == "en" && english.empty()) {
      english = name;
    }
  }
  if (!sameLanguage.empty()) {
    return sameLanguage;
  }
  if (!english.empty()) {
    return english;
  }
  if (!first.empty()) {
    return first;
  }
  return FcStringProperty(pattern, FC_FAMILY, 0);
}

// Lower is closer to the family's regular face: upright, normal weight and
// width.
int RegularityScore(FcPattern* pattern) {
  const int slant = FcIntProperty(pattern, FC_SLANT, FC_SLANT_ROMAN);
  const int weight = FcIntProperty(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  const int width = FcIntProperty(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
  return (slant != FC_SLANT_ROMAN ? 10000 : 0) + std::abs(weight - FC_WEIGHT_REGULAR) * 10 +
         std::abs(width - FC_WIDTH_NORMAL);
}

struct Catalog {
  std::vector<std::string> names;
  // Family (any of fontconfig's family names) → listed name, and listed
  // name (folded) → face.
  std::map<std::string, std::string> nameOfFamily;
  std::map<QString, FontSource> sourceOfName;
};

Catalog BuildCatalog() {
  Catalog catalog;
  std::map<std::string, ListedFace> regularOfFamily;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects =
      FcObjectSetBuild(FC_FAMILY, FC_FULLNAME, FC_FULLNAMELANG, FC_FILE, FC_INDEX, FC_SLANT,
                       FC_WEIGHT, FC_WIDTH, static_cast<char*>(nullptr));
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  const std::string userLanguage = UserLanguage();
  for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    ListedFace face;
    face.family = FcStringProperty(font, FC_FAMILY, 0);
    for (int index = 0;; ++index) {
      std::string family = FcStringProperty(font, FC_FAMILY, index);
      if (family.empty()) {
        break;
      }
      face.families.push_back(std::move(family));
    }
    face.source.file = FcStringProperty(font, FC_FILE, 0);
    face.source.faceIndex = FcIntProperty(font, FC_INDEX, 0);
    if (face.family.empty() || face.source.file.empty()) {
      continue;
    }
    face.name = LocalisedFullName(font, userLanguage);
    face.score = RegularityScore(font);
    auto [it, inserted] = regularOfFamily.try_emplace(face.family, face);
    if (!inserted && (face.score < it->second.score ||
                      (face.score == it->second.score && face.name < it->second.name))) {
      it->second = face;
    }
  }
  if (fonts != nullptr) {
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);

  for (const auto& [family, face] : regularOfFamily) {
    if (face.name.find('@') != std::string::npos) {
      continue;
    }
    const QString folded = QString::fromStdString(face.name).toCaseFolded();
    if (catalog.sourceOfName.try_emplace(folded, face.source).second) {
      catalog.names.push_back(face.name);
    }
    for (const std::string& name : face.families) {
      catalog.nameOfFamily.try_emplace(name, face.name);
    }
  }
  std::sort(catalog.names.begin(), catalog.names.end(), FontNameLess);
  return catalog;
}

const Catalog& TheCatalog() {
  static const Catalog catalog = [] {
    std::lock_guard lock(FontconfigMutex());
    return BuildCatalog();
  }();
  return catalog;
}

// fontconfig's best font for a family name, optionally one that covers a
// language.
std::optional<std::pair<std::string, FontSource>> MatchFont(const std::string& family,
                                                            const char* language) {
  auto match = MatchFontconfig(family, language);
  if (!match) {
    return std::nullopt;
  }
  return std::pair{std::move(match->family), FontSource{std::move(match->file), match->faceIndex}};
}

// The entry of names that lists the family, if any.
std::optional<std::string> ListedNameOfFamily(const std::string& family,
                                              const std::vector<std::string>& names) {
  const Catalog& catalog = TheCatalog();
  const auto listed = catalog.nameOfFamily.find(family);
  if (listed == catalog.nameOfFamily.end()) {
    return std::nullopt;
  }
  const auto inNames = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
    return FontNamesEqual(name, listed->second);
  });
  return inNames != names.end() ? std::optional(*inNames) : std::nullopt;
}

}  // namespace

bool FontNameLess(const std::string& a, const std::string& b) {
  const int order =
      QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
  return order != 0 ? order < 0 : a < b;
}

bool FontNamesEqual(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

const std::vector<std::string>& InstalledFontNames() {
  return TheCatalog().names;
}

std::optional<std::string> DefaultFontName(const std::vector<std::string>& names) {
  const QString songTi = QString::fromUtf8(kSongTi);
  for (const std::string& name : names) {
    if (QString::fromStdString(name).startsWith(songTi)) {
      return name;
    }
  }
  for (const char* family : kSongFamilies) {
    if (auto name = ListedNameOfFamily(family, names)) {
      return name;
    }
  }
  const auto match = MatchFont(kSongTi, kSimplifiedChinese);
  return match ? ListedNameOfFamily(match->first, names) : std::nullopt;
}

std::optional<std::string> DefaultFontName() {
  return DefaultFontName(InstalledFontNames());
}

Result<FontSource> ResolveFont(const FontDesc& desc) {
  if (!desc.fontFile.empty()) {
    return FontSource{desc.fontFile, 0};
  }
  const Catalog& catalog = TheCatalog();
  const auto listed =
      catalog.sourceOfName.find(QString::fromStdString(desc.faceName).toCaseFolded());
  if (listed != catalog.sourceOfName.end()) {
    return listed->second;
  }
  const char* language = desc.charset == kGb2312Charset ? kSimplifiedChinese : nullptr;
  if (auto match = MatchFont(desc.faceName, language)) {
    return match->second;
  }
  return Status::Failure(Tr("font", "没有可用的字体"));
}

}  // namespace zentora
