#pragma once

#include <QCommandLineParser>
#include <QString>

#include <cstdint>
#include <limits>
#include <optional>

namespace zentora::cli {

// The whole numbers an option accepts: min, min + step, min + 2 × step, ...
// up to max. Without a max, the bound is what the value's type holds.
struct IntegerRule {
  std::uint64_t min = 0;
  std::optional<std::uint64_t> max;
  std::uint64_t step = 1;
};

constexpr IntegerRule AtLeast(std::uint64_t min) {
  return {min, std::nullopt, 1};
}
constexpr IntegerRule Between(std::uint64_t min, std::uint64_t max) {
  return {min, max, 1};
}

constexpr bool RuleAccepts(const IntegerRule& rule, std::uint64_t value) {
  return value >= rule.min && (!rule.max || value <= *rule.max) &&
         (value - rule.min) % rule.step == 0;
}

// The option's value when it is a decimal number the rule accepts and not
// above limit; otherwise nullopt, after printing "--NAME takes ALLOWED, not
// 'VALUE'" whether the text is no number or a number out of range. ALLOWED
// is "8, 16, 24, 32, 40 or 48" for a stepped rule, "an integer from 1 to
// 2000" or "an integer of 0 or more".
std::optional<std::uint64_t> ReadIntegerOption(const QCommandLineParser& parser,
                                               const QString& option, const IntegerRule& rule,
                                               std::uint64_t limit);

template <typename T>
std::optional<T> ReadIntegerOption(const QCommandLineParser& parser, const QString& option,
                                   const IntegerRule& rule) {
  static_assert(std::numeric_limits<T>::is_integer);
  const std::optional<std::uint64_t> value =
      ReadIntegerOption(parser, option, rule, std::numeric_limits<T>::max());
  if (!value) {
    return std::nullopt;
  }
  return static_cast<T>(*value);
}

}  // namespace zentora::cli
