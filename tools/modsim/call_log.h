#pragma once

#include <string>
#include <vector>

namespace zentora::modsim {

// printf into a string of any length.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...);

// Lines logged for one call: the call itself first, then these.
struct Notes {
  std::vector<std::string> lines;
  int violations = 0;

  __attribute__((format(printf, 2, 3))) void Violation(const char* format, ...);
  void Add(std::string line) { lines.push_back(std::move(line)); }
};

// The log since the last reset: kept in memory for zentora_modsim_log, and
// appended to a file when one is named.
class CallLog {
 public:
  // Forgets every line and violation and opens the file at path (none when
  // empty) in place of the earlier one. Gives an ERROR line when the file
  // cannot be opened, empty when all went well.
  std::string Restart(const std::string& path);

  void Write(const std::string& line);
  // The call's line, then its notes; counts their violations.
  void Emit(const std::string& call, const Notes& notes);

  int violations() const { return violations_; }
  // The lines joined with '\n'; valid until the next call.
  const char* Text();

 private:
  std::vector<std::string> lines_;
  std::string text_;
  int violations_ = 0;
  int fd_ = -1;
};

}  // namespace zentora::modsim
