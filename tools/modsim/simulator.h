#pragma once

#include <usb.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "call_log.h"
#include "fake_buses.h"
#include "fault_plan.h"
#include "frame_protocol.h"

namespace zentora::modsim {

// What one bulk transfer did, for its log line.
struct Transfer {
  int result = -ENODEV;
  std::string detail;  // added to the log line
  long wait_ms = -1;   // how long the caller waits for an answer that never comes
};

// The state of the simulated module behind every call: the configuration,
// the buses, the handles, the counters and the log.
class Simulator {
 public:
  std::mutex mutex;

  // Everything below is guarded by the mutex.
  void EnsureLoaded();
  void Reset();

  const Config& config() const { return config_; }
  unsigned generation() const { return generation_; }
  World& world() { return *world_; }

  void Emit(const std::string& call, const Notes& notes) { log_.Emit(call, notes); }
  void SetError(int result);
  int violations() const { return log_.violations(); }
  const char* LogText() { return log_.Text(); }
  char* LastError() { return last_error_.data(); }

  int OpenHandles() const;
  Handle* NewHandle(Device* device);
  // The handle behind h, or null after noting why it cannot be used. The
  // label names it in the call's log line.
  Handle* Resolve(usb_dev_handle* h, const char* call, Notes& notes, std::string& label);

  // A bulk write on the handle: checked, counted, and owed an answer.
  Transfer Write(Handle& handle, int ep, const unsigned char* data, int size, Notes& notes);
  // A bulk read of the answer owed; wait_ms set when none will come.
  Transfer Read(Handle& handle, int ep, char* bytes, int size, int timeout, Notes& notes);

  bool initialised = false;
  long opens = 0;      // successful usb_open calls
  long transfers = 0;  // bulk writes that went through
  long acked = 0;      // transfers answered with the acknowledgement byte

 private:
  void Load();
  // Answers the transfer owed with the acknowledgement or the bad byte.
  Transfer Answer(Handle& handle, const Pending& pending, char* bytes, Notes& notes);

  bool loaded_ = false;
  unsigned generation_ = 0;
  Config config_;
  std::unique_ptr<World> world_;
  // Earlier generations' buses and devices, kept so that stale pointers
  // held by the program stay readable.
  std::vector<std::unique_ptr<World>> retired_worlds_;
  // Every handle ever opened; never freed, so a stale pointer is recognised
  // instead of being mistaken for a new handle at the same address.
  std::vector<std::unique_ptr<Handle>> handles_;
  int last_handle_id_ = 0;
  CallLog log_;
  std::string last_error_ = "modsim: no error";
};

// The one simulator; never destroyed, as a worker thread may still call in
// while the process exits.
Simulator& Sim();

// Takes the lock and makes sure the configuration has been read.
class Locked {
 public:
  Locked() : lock_(Sim().mutex) { Sim().EnsureLoaded(); }
  Simulator* operator->() { return &Sim(); }
  Simulator& operator*() { return Sim(); }
  void Unlock() { lock_.unlock(); }
  void Lock() { lock_.lock(); }

 private:
  std::unique_lock<std::mutex> lock_;
};

// Sleeps exactly, without the timer's overshoot.
void SleepMicroseconds(long microseconds);

}  // namespace zentora::modsim
