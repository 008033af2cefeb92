#include "base/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/translation.h"

namespace zentora {

namespace {

constexpr char kOption[] = "--lang";

std::optional<UiLanguage> LanguageNamed(const QString& name) {
  if (name == QLatin1String("zh")) {
    return UiLanguage::Chinese;
  }
  if (name == QLatin1String("en")) {
    return UiLanguage::English;
  }
  return std::nullopt;
}

// What InstallTranslations installed last; kept until the language changes,
// as an installed translator must outlive every lookup. Owned here alone,
// not by the application, which may go first.
std::vector<std::unique_ptr<QTranslator>>& Installed() {
  static std::vector<std::unique_ptr<QTranslator>> installed;
  return installed;
}

UiLanguage& LastInstalled() {
  static UiLanguage language = UiLanguage::Chinese;
  return language;
}

void InstallFile(const QString& file, const QString& folder) {
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(file, folder)) {
    QCoreApplication::installTranslator(translator.get());
    Installed().push_back(std::move(translator));
  }
}

// The locale that names the language of messages, as the C library picks
// it: the first of LC_ALL, LC_MESSAGES and LANG that is set.
QString MessagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (QString value = qEnvironmentVariable(name); !value.isEmpty()) {
      return value;
    }
  }
  return {};
}

}  // namespace

UiLanguage SystemLanguage() {
  // Under the C and POSIX locales (C.UTF-8 too) LANGUAGE is not looked at,
  // as gettext does not look at it there; Qt would let it name English.
  const QString messages = MessagesLocale();
  if (messages.isEmpty() || messages == QLatin1String("C") || messages == QLatin1String("POSIX") ||
      messages.startsWith(QLatin1String("C."))) {
    return UiLanguage::Chinese;
  }
  // Otherwise the first of the user's languages decides.
  const QStringList languages = QLocale::system().uiLanguages();
  if (!languages.isEmpty() && QLocale(languages.first()).language() == QLocale::English) {
    return UiLanguage::English;
  }
  return UiLanguage::Chinese;
}

LanguageChoice TakeLanguageOption(QStringList& arguments) {
  LanguageChoice choice{SystemLanguage(), std::nullopt};
  const QString withValue = QLatin1String(kOption) + QLatin1Char('=');
  for (qsizetype i = 1; i < arguments.size();) {
    QString value;
    if (arguments[i] == QLatin1String(kOption)) {
      value = arguments.value(i + 1);
      arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
    } else if (arguments[i].startsWith(withValue)) {
      value = arguments[i].mid(withValue.size());
      arguments.remove(i);
    } else {
      ++i;
      continue;
    }
    if (const std::optional<UiLanguage> named = LanguageNamed(value)) {
      choice.language = *named;
    } else {
      choice.refusedValue = value;
    }
  }
  return choice;
}

std::string RefusedLanguageMessage(const QString& value) {
  return Fill(Tr("language", "--lang 只接受 zh 或 en，而不是“%1”"), value.toStdString());
}

void InstallTranslations(UiLanguage language) {
  for (const std::unique_ptr<QTranslator>& translator : Installed()) {
    QCoreApplication::removeTranslator(translator.get());
  }
  Installed().clear();
  LastInstalled() = language;
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (language == UiLanguage::English) {
    InstallFile(QStringLiteral("qtbase_en"), qtFolder);
    InstallFile(QStringLiteral("zentora_en"), QStringLiteral(":/i18n"));
  } else {
    InstallFile(QStringLiteral("qtbase_zh_CN"), qtFolder);
  }
}

UiLanguage InstalledLanguage() {
  return LastInstalled();
}

}  // namespace zentora
