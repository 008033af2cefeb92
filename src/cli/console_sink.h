#pragma once

#include <cstdio>

#include "base/status_sink.h"

namespace zentora::cli {

// Output-list lines go to stdout one per line, as the desktop program shows
// them. The progress bar is drawn on stderr, and only when stderr is a
// terminal, so that scripts and pipes see the lines alone.
class CConsoleSink final : public StatusSink {
 public:
  CConsoleSink(std::FILE* lines, std::FILE* progress);
  ~CConsoleSink() override;

  void ClearLines() override {}
  void AppendLine(std::string_view line) override;
  void SetProgress(int position) override;
  void ShowProgress(bool visible) override;

 private:
  void DrawBar();
  void EraseBar();

  std::FILE* lines_;
  std::FILE* progress_;
  bool terminal_ = false;
  bool visible_ = false;
  bool drawn_ = false;
  int position_ = 0;
};

}  // namespace zentora::cli
