#include "cli/console_sink.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace zentora::cli {

namespace {
constexpr int kBarWidth = 40;
}

CConsoleSink::CConsoleSink(std::FILE* lines, std::FILE* progress)
    : lines_(lines), progress_(progress), terminal_(::isatty(::fileno(progress)) == 1) {}

CConsoleSink::~CConsoleSink() {
  EraseBar();
}

void CConsoleSink::AppendLine(std::string_view line) {
  // A bar on the same terminal would run into the line; it is drawn again
  // below it.
  EraseBar();
  std::fwrite(line.data(), 1, line.size(), lines_);
  std::fputc('\n', lines_);
  std::fflush(lines_);
  DrawBar();
}

void CConsoleSink::SetProgress(int position) {
  position_ = std::clamp(position, 0, 100);
  DrawBar();
}

void CConsoleSink::ShowProgress(bool visible) {
  if (!visible) {
    EraseBar();
  }
  visible_ = visible;
  DrawBar();
}

void CConsoleSink::DrawBar() {
  if (!terminal_ || !visible_) {
    return;
  }
  const int filled = position_ * kBarWidth / 100;
  std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                    std::to_string(position_) + "%";
  std::fputs(bar.c_str(), progress_);
  std::fflush(progress_);
  drawn_ = true;
}

void CConsoleSink::EraseBar() {
  if (!drawn_) {
    return;
  }
  std::fputs("\r\033[K", progress_);
  std::fflush(progress_);
  drawn_ = false;
}

}  // namespace zentora::cli
