#pragma once

// Caps the address space of a test program while a sound is read, so that a
// reader that holds a whole sound in memory fails instead of succeeding on
// an overcommitting system.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

// Sanitizer runtimes reserve terabytes of address space, so an address-space
// cap is only usable without them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZENTORA_TEST_SANITIZED 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define ZENTORA_TEST_SANITIZED 1
#endif
#endif

namespace zentora::testing {

// Caps the address space of a program without a sanitizer runtime at what
// it uses now plus `headroom` bytes while it lives; does nothing under a
// sanitizer.
class CAddressSpaceCap {
 public:
  explicit CAddressSpaceCap([[maybe_unused]] rlim_t headroom) {
#if !defined(ZENTORA_TEST_SANITIZED)
    EXPECT_EQ(::getrlimit(RLIMIT_AS, &previous_), 0);
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    EXPECT_GT(pages, 0u);
    rlimit capped = previous_;
    capped.rlim_cur = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + headroom;
    if (previous_.rlim_cur != RLIM_INFINITY && previous_.rlim_cur < capped.rlim_cur) {
      capped.rlim_cur = previous_.rlim_cur;
    }
    EXPECT_EQ(::setrlimit(RLIMIT_AS, &capped), 0);
    active_ = true;
#endif
  }
  ~CAddressSpaceCap() {
    if (active_) {
      ::setrlimit(RLIMIT_AS, &previous_);
    }
  }
  CAddressSpaceCap(const CAddressSpaceCap&) = delete;
  CAddressSpaceCap& operator=(const CAddressSpaceCap&) = delete;

 private:
  rlimit previous_{};
  bool active_ = false;
};

}  // namespace zentora::testing
