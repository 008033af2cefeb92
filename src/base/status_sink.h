#pragma once

#include <string_view>

namespace zentora {

// Where long-running core operations report to: the main window's output
// list and progress bar in the desktop program, stdout and a terminal bar in
// the command-line tool. Calls arrive in the order the operation makes them;
// an implementation that crosses threads must keep that order.
class StatusSink {
 public:
  virtual ~StatusSink() = default;

  virtual void ClearLines() = 0;
  virtual void AppendLine(std::string_view line) = 0;
  // position is 0..100.
  virtual void SetProgress(int position) = 0;
  virtual void ShowProgress(bool visible) = 0;
};

}  // namespace zentora
