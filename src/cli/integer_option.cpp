#include "cli/integer_option.h"

#include "base/translation.h"
#include "cli/cli_support.h"

#include <string>
#include <vector>

namespace zentora::cli {

namespace {

std::string DescribeIntegerRule(const IntegerRule& rule) {
  if (!rule.max) {
    return Fill(Tr("cli", "%1 或更大的整数"), std::to_string(rule.min));
  }
  if (rule.step == 1) {
    return Fill(Tr("cli", "%1 到 %2 的整数"), std::to_string(rule.min), std::to_string(*rule.max));
  }
  std::vector<std::string> values{std::to_string(rule.min)};
  for (std::uint64_t value = rule.min; *rule.max - value >= rule.step;) {
    value += rule.step;
    values.push_back(std::to_string(value));
  }
  return JoinAlternatives(values);
}

}  // namespace

std::optional<std::uint64_t> ReadIntegerOption(const QCommandLineParser& parser,
                                               const QString& option, const IntegerRule& rule,
                                               std::uint64_t limit) {
  const QString text = parser.value(option);
  // Qt's conversion takes surrounding blanks and a plus sign, and refuses a
  // minus sign, so every negative number is refused as no number.
  bool isNumber = false;
  const std::uint64_t value = text.toULongLong(&isNumber);
  if (isNumber && value <= limit && RuleAccepts(rule, value)) {
    return value;
  }
  PrintError(Fill(Tr("cli", "--%1 只接受 %2，而不是“%3”"), ToUtf8(option),
                  DescribeIntegerRule(rule), ToUtf8(text)));
  return std::nullopt;
}

}  // namespace zentora::cli
