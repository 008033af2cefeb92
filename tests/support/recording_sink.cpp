#include "support/recording_sink.h"

namespace zentora::testing {

void CRecordingSink::AppendLine(std::string_view line) {
  events_.push_back("line:" + std::string(line));
}

void CRecordingSink::SetProgress(int position) {
  events_.push_back("progress:" + std::to_string(position));
}

std::vector<std::string> CRecordingSink::Lines() const {
  std::vector<std::string> lines;
  for (const std::string& event : events_) {
    if (event.starts_with("line:")) {
      lines.push_back(event.substr(5));
    }
  }
  return lines;
}

std::vector<int> CRecordingSink::ProgressPositions() const {
  std::vector<int> positions;
  for (const std::string& event : events_) {
    if (event.starts_with("progress:")) {
      positions.push_back(std::stoi(event.substr(9)));
    }
  }
  return positions;
}

}  // namespace zentora::testing
