#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace zentora {

// Runs produce(i) for i = 0 .. count-1 on worker threads and hands each
// result to consume(i, result) on the calling thread, strictly in order.
// Workers run at most `window` items ahead of the consumer, which bounds the
// memory that finished but unconsumed results hold (the window is at least the
// number of threads). consume returns false to
// stop early; items not yet started are then never produced.
//
// Everything the consumer does (writing files, reporting lines and progress)
// therefore happens in exactly the order of a plain loop. produce must not
// throw and must be safe to call from several threads at once.
template <typename T, typename Produce, typename Consume>
void RunOrderedPipeline(int count, int threads, int window, Produce produce, Consume consume) {
  if (count <= 0) {
    return;
  }
  threads = std::clamp(threads, 1, count);
  window = std::max(window, threads);
  if (threads == 1) {
    for (int i = 0; i < count; ++i) {
      if (!consume(i, produce(i))) {
        return;
      }
    }
    return;
  }

  std::mutex mutex;
  std::condition_variable resultReady;
  std::condition_variable slotFree;
  std::vector<std::optional<T>> slots(static_cast<std::size_t>(window));
  int nextToStart = 0;
  int consumed = 0;
  bool stopping = false;

  auto slotOf = [&](int i) -> std::optional<T>& {
    return slots[static_cast<std::size_t>(i % window)];
  };

  auto work = [&] {
    for (;;) {
      int index;
      {
        std::unique_lock lock(mutex);
        slotFree.wait(lock, [&] {
          return stopping || nextToStart >= count || nextToStart < consumed + window;
        });
        if (stopping || nextToStart >= count) {
          return;
        }
        index = nextToStart++;
      }
      T result = produce(index);
      {
        std::lock_guard lock(mutex);
        slotOf(index) = std::move(result);
      }
      resultReady.notify_one();
    }
  };

  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(threads));
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back(work);
  }

  for (int i = 0; i < count; ++i) {
    std::optional<T> result;
    {
      std::unique_lock lock(mutex);
      resultReady.wait(lock, [&] { return slotOf(i).has_value(); });
      result = std::move(slotOf(i));
      slotOf(i).reset();
      consumed = i + 1;
    }
    slotFree.notify_all();
    if (!consume(i, std::move(*result))) {
      std::lock_guard lock(mutex);
      stopping = true;
      break;
    }
  }
  slotFree.notify_all();
  for (std::thread& worker : workers) {
    worker.join();
  }
}

}  // namespace zentora
