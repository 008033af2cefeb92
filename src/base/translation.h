#pragma once

#include <QString>
#include <QtGlobal>  // QT_TRANSLATE_NOOP, for texts kept in constants

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zentora {

// The program's texts are written in Chinese and looked up in the installed
// translation (English) at run time; without one they come back unchanged.
// The context names the subsystem that owns the text ("download", "cli"),
// so lupdate gathers each text under it: call these with string literals.
//
// The window classes use their own tr(); these are for the core and for
// free functions.
std::string Tr(const char* context, const char* sourceText);
QString TrQ(const char* context, const char* sourceText);

// A text with a count: "%n" becomes n and the translation picks the form
// the language uses for n ("1 channel", "2 channels"). The third argument is
// the disambiguation of QCoreApplication::translate and always nullptr:
// lupdate takes a call for a numerus text only in that shape.
std::string TrN(const char* context, const char* sourceText, std::nullptr_t, int n);
QString TrNQ(const char* context, const char* sourceText, std::nullptr_t, int n);

// Fills a translated text's %1, %2 ... in one pass, so that a path that
// itself holds "%1" is left as it is. Word order may differ between the
// languages; that is why texts are put together this way rather than by
// appending pieces.
std::string FillList(const std::string& pattern, std::initializer_list<std::string_view> args);

template <typename... Args>
std::string Fill(const std::string& pattern, const Args&... args) {
  return FillList(pattern, {std::string_view(args)...});
}

// "subject（reason）", the form in which every line names what failed and
// why; the brackets are the language's own.
std::string WithReason(const std::string& subject, const std::string& reason);

}  // namespace zentora
