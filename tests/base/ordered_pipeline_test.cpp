#include "base/ordered_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zentora {
namespace {

// Later items finish first, so any reordering in the consumer would show.
int SlowForEarlyItems(int i, int count) {
  std::this_thread::sleep_for(std::chrono::microseconds((count - i) * 50));
  return i * i;
}

TEST(OrderedPipeline, ConsumesEveryItemInOrderWhateverTheThreadCount) {
  constexpr int kCount = 64;
  for (const int threads : {1, 2, 3, 8}) {
    std::vector<int> seen;
    RunOrderedPipeline<int>(
        kCount, threads, 2 * threads, [&](int i) { return SlowForEarlyItems(i, kCount); },
        [&](int i, int value) {
          EXPECT_EQ(value, i * i);
          seen.push_back(i);
          return true;
        });
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kCount)) << threads << " threads";
    for (int i = 0; i < kCount; ++i) {
      EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    }
  }
}

TEST(OrderedPipeline, NeverRunsMoreThanTheWindowAheadOfTheConsumer) {
  constexpr int kCount = 40;
  constexpr int kWindow = 3;
  std::atomic<int> consumedSoFar{0};
  std::atomic<int> worstLead{0};
  RunOrderedPipeline<int>(
      kCount, 2, kWindow,
      [&](int i) {
        const int lead = i - consumedSoFar.load();
        int worst = worstLead.load();
        while (lead > worst && !worstLead.compare_exchange_weak(worst, lead)) {
        }
        return i;
      },
      [&](int i, int) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        consumedSoFar = i + 1;
        return true;
      });
  // Item i + window may start once item i has been handed to the consumer,
  // so at most `window` items are held besides the one being consumed.
  EXPECT_LE(worstLead.load(), kWindow);
  EXPECT_GT(worstLead.load(), 0) << "the workers never ran ahead at all";
}

TEST(OrderedPipeline, StopsProducingAfterTheConsumerGivesUp) {
  std::atomic<int> produced{0};
  std::vector<int> seen;
  RunOrderedPipeline<std::string>(
      1000, 2, 4,
      [&](int i) {
        ++produced;
        return std::to_string(i);
      },
      [&](int i, std::string value) {
        EXPECT_EQ(value, std::to_string(i));
        seen.push_back(i);
        return i < 4;
      });
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
  // Only items inside the window of the last consumed one can have started.
  EXPECT_LE(produced.load(), 5 + 4);
}

TEST(OrderedPipeline, NothingHappensForAnEmptyRange) {
  bool called = false;
  RunOrderedPipeline<int>(
      0, 2, 2,
      [&](int) {
        called = true;
        return 0;
      },
      [&](int, int) {
        called = true;
        return true;
      });
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace zentora
