#include "base/translation.h"

#include <QCoreApplication>

namespace zentora {

// Byte for byte: a path that is not valid UTF-8 reaches the line as it is,
// which a round trip through QString would not allow.
std::string FillList(const std::string& pattern, std::initializer_list<std::string_view> args) {
  std::string filled;
  filled.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
      filled += args.begin()[index];
      ++i;
    } else {
      filled += pattern[i];
    }
  }
  return filled;
}

QString TrQ(const char* context, const char* sourceText) {
  return QCoreApplication::translate(context, sourceText);
}

std::string Tr(const char* context, const char* sourceText) {
  return TrQ(context, sourceText).toStdString();
}

QString TrNQ(const char* context, const char* sourceText, std::nullptr_t, int n) {
  return QCoreApplication::translate(context, sourceText, nullptr, n);
}

std::string TrN(const char* context, const char* sourceText, std::nullptr_t, int n) {
  return TrNQ(context, sourceText, nullptr, n).toStdString();
}

std::string WithReason(const std::string& subject, const std::string& reason) {
  return Fill(Tr("base", "%1（%2）"), subject, reason);
}

}  // namespace zentora
