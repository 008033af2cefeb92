#include "fault_plan.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "call_log.h"

namespace zentora::modsim {
namespace {

// USB addresses run to 127 and the keyboard takes one.
constexpr long kMaxModules = 126;

// Decimal, or hexadecimal after 0x; no sign, no spaces.
std::optional<long> ParseNumber(const char* text) {
  int base = 10;
  const char* digits = text;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    digits = text + 2;
  }
  const bool first_ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(*digits)) != 0
                                   : std::isdigit(static_cast<unsigned char>(*digits)) != 0;
  if (!first_ok) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(digits, &end, base);
  if (errno != 0 || *end != '\0') {
    return std::nullopt;
  }
  return value;
}

// A numeric variable in [0, max]; unset or empty gives nullopt, a bad value
// gives nullopt and an error line.
std::optional<long> ReadNumber(const char* name, long max, std::vector<std::string>& errors) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') {
    return std::nullopt;
  }
  const std::optional<long> value = ParseNumber(text);
  if (!value || *value > max) {
    errors.push_back(
        Format("ERROR: %s=\"%s\" is not a number from 0 to %ld; ignored", name, text, max));
    return std::nullopt;
  }
  return value;
}

std::string ReadText(const char* name) {
  const char* text = std::getenv(name);
  return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

Config ReadConfig(std::vector<std::string>& errors) {
  constexpr long kCountMax = 1L << 40;
  Config config;
  config.dir = ReadText("ZENTORA_MODSIM_DIR");
  config.log_path = ReadText("ZENTORA_MODSIM_LOG");
  config.modules = ReadNumber("ZENTORA_MODSIM_MODULES", kMaxModules, errors).value_or(1);
  config.ack = static_cast<int>(ReadNumber("ZENTORA_MODSIM_ACK", 255, errors).value_or(0xCC));
  config.bad_ack = static_cast<int>(ReadNumber("ZENTORA_MODSIM_BAD_ACK", 255, errors).value_or(0));
  config.bad_ack_after = ReadNumber("ZENTORA_MODSIM_BAD_ACK_AFTER", kCountMax, errors);
  config.silent_after = ReadNumber("ZENTORA_MODSIM_SILENT_AFTER", kCountMax, errors);
  config.hang_ms = ReadNumber("ZENTORA_MODSIM_HANG_MS", 3600L * 1000, errors);
  config.write_fail_after = ReadNumber("ZENTORA_MODSIM_WRITE_FAIL_AFTER", kCountMax, errors);
  config.open_fail_after = ReadNumber("ZENTORA_MODSIM_OPEN_FAIL_AFTER", kCountMax, errors);
  config.open_errno = ReadNumber("ZENTORA_MODSIM_OPEN_ERRNO", 4095, errors);
  config.latency_us =
      ReadNumber("ZENTORA_MODSIM_LATENCY_US", 3600L * 1000 * 1000, errors).value_or(0);
  return config;
}

std::string Describe(const Config& config) {
  std::string text =
      Format("modsim: pid=%ld modules=%ld ack=0x%02x bad_ack=0x%02x", static_cast<long>(getpid()),
             config.modules, config.ack, config.bad_ack);
  const auto add = [&text](const char* name, const std::optional<long>& value) {
    if (value) {
      text += Format(" %s=%ld", name, *value);
    }
  };
  add("bad_ack_after", config.bad_ack_after);
  add("silent_after", config.silent_after);
  add("hang_ms", config.hang_ms);
  add("write_fail_after", config.write_fail_after);
  add("open_fail_after", config.open_fail_after);
  add("open_errno", config.open_errno);
  if (config.latency_us > 0) {
    text += Format(" latency_us=%ld", config.latency_us);
  }
  text += config.dir.empty() ? std::string(" dir=(none)") : " dir=" + config.dir;
  return text;
}

}  // namespace zentora::modsim
