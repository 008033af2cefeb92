#include "cli/integer_option.h"

#include "cli/cli_support.h"

#include <string>
#include <vector>

namespace zentora::cli {

namespace {

std::string DescribeIntegerRule(const IntegerRule& rule) {
  if (!rule.max) {
    return "an integer of " + std::to_string(rule.min) + " or more";
  }
  if (rule.step == 1) {
    return "an integer from " + std::to_string(rule.min) + " to " + std::to_string(*rule.max);
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
  PrintError("--" + ToUtf8(option) + " takes " + DescribeIntegerRule(rule) + ", not '" +
             ToUtf8(text) + "'");
  return std::nullopt;
}

}  // namespace zentora::cli
