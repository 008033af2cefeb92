#pragma once

#include <string>
#include <vector>

#include "base/status_sink.h"

namespace zentora::testing {

// Records every call, in order, as text: "line:<text>", "progress:<n>",
// "clear", "show" and "hide".
class CRecordingSink final : public StatusSink {
 public:
  void ClearLines() override { events_.push_back("clear"); }
  void AppendLine(std::string_view line) override;
  void SetProgress(int position) override;
  void ShowProgress(bool visible) override { events_.push_back(visible ? "show" : "hide"); }

  const std::vector<std::string>& Events() const { return events_; }
  std::vector<std::string> Lines() const;
  std::vector<int> ProgressPositions() const;

 private:
  std::vector<std::string> events_;
};

}  // namespace zentora::testing
