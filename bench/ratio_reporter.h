#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zentora::bench {

// The console report, followed by each benchmark's time divided by the time
// of a baseline benchmark measured in the same run. With repetitions the
// medians are compared.
class CRatioReporter final : public benchmark::ConsoleReporter {
 public:
  CRatioReporter(std::string baseline, std::string heading)
      : baseline_(std::move(baseline)), heading_(std::move(heading)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1)) {
        const std::string name = run.run_name.function_name + "/" + run.run_name.args;
        seconds_[name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        for (const auto& [counter, value] : run.counters) {
          counters_[name][counter] = value.value;
        }
      }
    }
  }

  // The baseline's entry in Seconds(), or its end when it did not run.
  std::map<std::string, double>::const_iterator Baseline() const {
    return std::find_if(seconds_.begin(), seconds_.end(), [&](const auto& entry) {
      return entry.first.starts_with(baseline_ + "/");
    });
  }
  // Median (or single) real time per iteration, by "function/args".
  const std::map<std::string, double>& Seconds() const { return seconds_; }
  // The same runs' counters, by name.
  const std::map<std::string, std::map<std::string, double>>& Counters() const { return counters_; }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto base = Baseline();
    if (base == seconds_.end()) {
      return;
    }
    std::printf("\n%s\n", heading_.c_str());
    for (const auto& [name, seconds] : seconds_) {
      if (name != base->first) {
        std::printf("  %-30s %.2f\n", name.c_str(), seconds / base->second);
      }
    }
  }

 private:
  std::string baseline_;
  std::string heading_;
  std::map<std::string, double> seconds_;
  std::map<std::string, std::map<std::string, double>> counters_;
};

// The main of a benchmark: prepare() makes the inputs before anything is
// timed.
template <typename Prepare>
int RunBenchmarks(int argc, char** argv, Prepare prepare) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  prepare();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The main of a benchmark whose times are compared with a baseline's:
// prepare() makes the inputs before anything is timed; after() gets the
// reporter once the report is printed.
template <typename Prepare, typename After>
int RunWithRatios(int argc, char** argv, std::string baseline, std::string heading, Prepare prepare,
                  After after) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  prepare();
  CRatioReporter reporter(std::move(baseline), std::move(heading));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  after(reporter);
  benchmark::Shutdown();
  return 0;
}

template <typename Prepare>
int RunWithRatios(int argc, char** argv, std::string baseline, std::string heading,
                  Prepare prepare) {
  return RunWithRatios(argc, argv, std::move(baseline), std::move(heading), prepare,
                       [](const CRatioReporter&) {});
}

}  // namespace zentora::bench
