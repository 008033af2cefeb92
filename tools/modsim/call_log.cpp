#include "call_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zentora::modsim {

std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string text;
  if (length < 0) {
    text = format;
  } else if (static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(again);
  return text;
}

void Notes::Violation(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  lines.push_back(std::string("VIOLATION: ") + text);
  ++violations;
}

std::string CallLog::Restart(const std::string& path) {
  lines_.clear();
  text_.clear();
  violations_ = 0;
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (path.empty()) {
    return {};
  }
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    return Format("ERROR: cannot open ZENTORA_MODSIM_LOG=%s: %s", path.c_str(),
                  std::strerror(errno));
  }
  return {};
}

void CallLog::Write(const std::string& line) {
  lines_.push_back(line);
  if (fd_ >= 0) {
    const std::string out = line + '\n';
    // One write per line, so that processes sharing the file interleave
    // whole lines.
    const ssize_t written = ::write(fd_, out.data(), out.size());
    static_cast<void>(written);
  }
}

void CallLog::Emit(const std::string& call, const Notes& notes) {
  Write(call);
  for (const std::string& line : notes.lines) {
    Write(line);
  }
  violations_ += notes.violations;
}

const char* CallLog::Text() {
  text_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) {
      text_ += '\n';
    }
    text_ += lines_[i];
  }
  return text_.c_str();
}

}  // namespace zentora::modsim
