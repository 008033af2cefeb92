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

namespace pipeline_detail {

// What the workers and the consumer share: a ring of `window` result slots,
// the next item to start and how far the consumer has got.
template <typename T>
class COrderedSlots {
 public:
  COrderedSlots(int count, int window)
      : count_(count), window_(window), slots_(static_cast<std::size_t>(window)) {}

  // A worker's loop: claims items within the window, produces them and
  // stores their results, until every item is claimed or the run stops.
  template <typename Produce>
  void Work(Produce& produce) {
    int index;
    while (Claim(index)) {
      T result = produce(index);
      {
        std::lock_guard lock(mutex_);
        SlotOf(index) = std::move(result);
      }
      resultReady_.notify_one();
    }
  }

  // Waits for the result of item i and frees its slot for a later item.
  T Take(int i) {
    std::optional<T> result;
    {
      std::unique_lock lock(mutex_);
      resultReady_.wait(lock, [&] { return SlotOf(i).has_value(); });
      result = std::move(SlotOf(i));
      SlotOf(i).reset();
      consumed_ = i + 1;
    }
    slotFree_.notify_all();
    return std::move(*result);
  }

  // No item not yet claimed will be started.
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    slotFree_.notify_all();
  }

 private:
  bool Claim(int& index) {
    std::unique_lock lock(mutex_);
    slotFree_.wait(lock, [&] {
      return stopping_ || nextToStart_ >= count_ || nextToStart_ < consumed_ + window_;
    });
    if (stopping_ || nextToStart_ >= count_) {
      return false;
    }
    index = nextToStart_++;
    return true;
  }

  std::optional<T>& SlotOf(int i) { return slots_[static_cast<std::size_t>(i % window_)]; }

  const int count_;
  const int window_;
  std::mutex mutex_;
  std::condition_variable resultReady_;
  std::condition_variable slotFree_;
  std::vector<std::optional<T>> slots_;
  int nextToStart_ = 0;
  int consumed_ = 0;
  bool stopping_ = false;
};

}  // namespace pipeline_detail

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
  if (threads == 1) {
    for (int i = 0; i < count; ++i) {
      if (!consume(i, produce(i))) {
        return;
      }
    }
    return;
  }

  pipeline_detail::COrderedSlots<T> slots(count, std::max(window, threads));
  std::vector<std::thread> workers;
  workers.reserve(static_cast<std::size_t>(threads));
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&] { slots.Work(produce); });
  }
  for (int i = 0; i < count; ++i) {
    if (!consume(i, slots.Take(i))) {
      break;
    }
  }
  slots.Stop();
  for (std::thread& worker : workers) {
    worker.join();
  }
}

}  // namespace zentora
