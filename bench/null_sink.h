#pragma once

#include "base/status_sink.h"

namespace zentora::bench {

// Drops every report: the benchmarks measure the work, not the printing.
class CNullSink final : public StatusSink {
 public:
  void ClearLines() override {}
  void AppendLine(std::string_view) override {}
  void SetProgress(int) override {}
  void ShowProgress(bool) override {}
};

}  // namespace zentora::bench
