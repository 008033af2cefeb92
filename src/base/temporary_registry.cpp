#include "base/temporary_registry.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <system_error>

namespace zentora {

namespace {

enum SlotState : int { kFree, kFilling, kListed };

struct Slot {
  std::atomic<int> state{kFree};
  char path[4096];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the states");

// Far more than one run has open at once: the four files of a set, the
// journal's temporary file, one file per atomic writer.
std::array<Slot, 64> gSlots;

extern "C" void RemoveListedAndRaise(int signal) {
  for (Slot& slot : gSlots) {
    if (slot.state.load() == kListed) {
      ::unlink(slot.path);
    }
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  // Delivered once the handler returns, now with the default action.
  ::raise(signal);
}

}  // namespace

CTemporaryRegistration::CTemporaryRegistration(const std::filesystem::path& path) {
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  if (error || absolute.size() >= sizeof(Slot::path)) {
    return;
  }
  for (int i = 0; i < static_cast<int>(gSlots.size()); ++i) {
    int expected = kFree;
    if (gSlots[i].state.compare_exchange_strong(expected, kFilling)) {
      std::memcpy(gSlots[i].path, absolute.c_str(), absolute.size() + 1);
      gSlots[i].state.store(kListed);
      slot_ = i;
      return;
    }
  }
}

CTemporaryRegistration::CTemporaryRegistration(CTemporaryRegistration&& other) noexcept
    : slot_(other.slot_) {
  other.slot_ = -1;
}

CTemporaryRegistration& CTemporaryRegistration::operator=(CTemporaryRegistration&& other) noexcept {
  if (this != &other) {
    Reset();
    slot_ = other.slot_;
    other.slot_ = -1;
  }
  return *this;
}

CTemporaryRegistration::~CTemporaryRegistration() {
  Reset();
}

void CTemporaryRegistration::Reset() {
  if (slot_ >= 0) {
    gSlots[static_cast<std::size_t>(slot_)].state.store(kFree);
    slot_ = -1;
  }
}

void RemoveTemporariesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveListedAndRaise;
  ::sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaddset(&action.sa_mask, signal);
  }
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace zentora
