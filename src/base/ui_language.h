#pragma once

#include <QStringList>

#include <optional>
#include <string>

namespace zentora {

// The language the programs speak. Chinese is the language the texts are
// written in; English comes from the bundled translation.
enum class UiLanguage { Chinese, English };

// English when the user's first language (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG, as Qt reads them) is English; Chinese otherwise, the C and POSIX
// locales included.
UiLanguage SystemLanguage();

// The language a program runs in, and whether its "--lang" was understood.
struct LanguageChoice {
  UiLanguage language = UiLanguage::Chinese;  // the option's, else the system's
  std::optional<QString> refusedValue;        // a missing or unknown value given to --lang
};

// Takes every "--lang zh|en" and "--lang=zh|en" out of the arguments (the
// first, the program's name, is never looked at). The last one that names a
// language wins; without one the system's language applies.
LanguageChoice TakeLanguageOption(QStringList& arguments);

// The message for a refused value, in the language installed by then.
std::string RefusedLanguageMessage(const QString& value);

// Installs the translation of the program's texts and of Qt's own texts
// (buttons of message boxes, file dialogs, the command-line parser) into the
// running application, in place of what an earlier call installed. Call it
// after the application object exists and before any text is shown: windows
// made earlier keep their texts.
void InstallTranslations(UiLanguage language);

// The language InstallTranslations installed last; Chinese before any call.
// Pages and files that come in one language each are chosen by it.
UiLanguage InstalledLanguage();

}  // namespace zentora
