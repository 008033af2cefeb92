#include "simulator.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "received_files.h"

namespace zentora::modsim {

void Simulator::EnsureLoaded() {
  if (!loaded_) {
    loaded_ = true;
    Load();
  }
}

void Simulator::Reset() {
  loaded_ = true;
  Load();
}

void Simulator::Load() {
  ++generation_;
  std::vector<std::string> errors;
  config_ = ReadConfig(errors);
  if (world_) {
    retired_worlds_.push_back(std::move(world_));
  }
  world_ = std::make_unique<World>(config_.modules);
  usb_busses = nullptr;
  initialised = false;
  opens = 0;
  transfers = 0;
  acked = 0;
  last_handle_id_ = 0;
  std::string log_error = log_.Restart(config_.log_path);
  if (!log_error.empty()) {
    errors.push_back(std::move(log_error));
  }
  log_.Write(Describe(config_));
  for (const std::string& error : errors) {
    log_.Write(error);
  }
}

void Simulator::SetError(int result) {
  if (result < 0) {
    last_error_ = Format("modsim: %s", std::strerror(-result));
    // libusb 0.1 leaves every failure in errno too; usb_open reports only
    // there.
    errno = -result;
  }
}

int Simulator::OpenHandles() const {
  int count = 0;
  for (const auto& handle : handles_) {
    if (handle->generation == generation_ && !handle->closed) {
      ++count;
    }
  }
  return count;
}

Handle* Simulator::NewHandle(Device* device) {
  auto handle = std::make_unique<Handle>();
  handle->id = ++last_handle_id_;
  handle->generation = generation_;
  handle->device = device;
  handles_.push_back(std::move(handle));
  return handles_.back().get();
}

Handle* Simulator::Resolve(usb_dev_handle* h, const char* call, Notes& notes, std::string& label) {
  label = "handle=?";
  if (h == nullptr) {
    notes.Violation("%s: null handle", call);
    return nullptr;
  }
  for (const auto& handle : handles_) {
    if (reinterpret_cast<usb_dev_handle*>(handle.get()) != h) {
      continue;
    }
    if (handle->generation != generation_) {
      notes.Violation("%s: handle %p was opened before the last reset", call,
                      static_cast<void*>(h));
      return nullptr;
    }
    label = Format("handle=%d", handle->id);
    if (handle->closed) {
      notes.Violation("%s handle=%d: the handle was closed", call, handle->id);
      return nullptr;
    }
    return handle.get();
  }
  notes.Violation("%s: unknown handle %p", call, static_cast<void*>(h));
  return nullptr;
}

Transfer Simulator::Write(Handle& handle, int ep, const unsigned char* data, int size,
                          Notes& notes) {
  Transfer transfer;
  if (ep != kFrameEndpoint && ep != kCodeEndpoint) {
    notes.Violation(
        "usb_bulk_write handle=%d: endpoint 0x%02x (0x02 takes frames, 0x03 download codes)",
        handle.id, static_cast<unsigned>(ep));
    transfer.result = -EPIPE;
    return transfer;
  }
  if (data == nullptr || size <= 0) {
    notes.Violation("usb_bulk_write handle=%d: nothing to send (%d bytes)", handle.id, size);
    transfer.result = -EINVAL;
    return transfer;
  }
  if (!handle.claimed) {
    notes.Violation("usb_bulk_write handle=%d: interface 0 is not claimed", handle.id);
  }
  if (handle.pending.present) {
    notes.Violation(
        "usb_bulk_write handle=%d: the acknowledgement of the previous transfer is unread",
        handle.id);
    handle.pending = Pending();
  }
  if (config_.WriteFails(transfers)) {
    transfer.result = -EIO;
    transfer.detail = Format(" (injected failure after %ld transfers)", *config_.write_fail_after);
    return transfer;
  }
  ++transfers;
  transfer.result = size;
  handle.pending.present = true;
  handle.pending.silent = config_.Silent(transfers);
  if (ep == kCodeEndpoint) {
    // Anything on the code endpoint ends an unfinished file.
    DiscardFile(handle, notes);
    TakeCode(handle, data, size, notes, transfer.detail);
  } else {
    TakeFrame(handle, data, size, notes, transfer.detail);
  }
  return transfer;
}

Transfer Simulator::Read(Handle& handle, int ep, char* bytes, int size, int timeout, Notes& notes) {
  Transfer transfer;
  if (ep != kAckEndpoint) {
    notes.Violation("usb_bulk_read handle=%d: endpoint 0x%02x (acknowledgements come on 0x81)",
                    handle.id, static_cast<unsigned>(ep));
    transfer.result = -EPIPE;
    return transfer;
  }
  if (bytes == nullptr || size != 1) {
    notes.Violation("usb_bulk_read handle=%d: read of %d bytes (an acknowledgement is 1 byte)",
                    handle.id, size);
    transfer.result = -EINVAL;
    return transfer;
  }
  if (!handle.claimed) {
    notes.Violation("usb_bulk_read handle=%d: interface 0 is not claimed", handle.id);
  }
  const Pending pending = std::exchange(handle.pending, Pending());
  if (!pending.present) {
    notes.Violation("usb_bulk_read handle=%d: no transfer to acknowledge", handle.id);
  }
  if (!pending.present || pending.silent) {
    transfer.wait_ms = config_.hang_ms.value_or(timeout > 0 ? timeout : 0);
    transfer.result = -ETIMEDOUT;
    return transfer;
  }
  return Answer(handle, pending, bytes, notes);
}

Transfer Simulator::Answer(Handle& handle, const Pending& pending, char* bytes, Notes& notes) {
  const bool injected = !pending.refused && config_.AckGoesBad(acked);
  const bool accepted = !pending.refused && !injected;
  const int answer = accepted ? config_.ack : config_.bad_ack;
  bytes[0] = static_cast<char>(answer);
  Transfer transfer;
  transfer.result = 1;
  transfer.detail = Format(" (0x%02x%s)", static_cast<unsigned>(answer),
                           injected ? ", injected" : (pending.refused ? ", refused" : ""));
  if (accepted) {
    ++acked;
    if (Accept(handle, pending)) {
      SaveFile(config_.dir, handle, notes);
      ClearFile(handle);
    }
  }
  return transfer;
}

Simulator& Sim() {
  static Simulator* simulator = new Simulator;
  return *simulator;
}

// The modelled link latency, kept exact: a plain sleep overshoots by the
// timer slack and the wake-up delay (tens of microseconds each time), which
// over a thousand transfers would be charged to the program under test. So
// sleep to just short of the deadline and spin the rest.
void SleepMicroseconds(long microseconds) {
  if (microseconds <= 0) {
    return;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::microseconds(microseconds);
  constexpr std::chrono::microseconds kSpin{150};
  if (std::chrono::microseconds(microseconds) > kSpin) {
    std::this_thread::sleep_until(deadline - kSpin);
  }
  while (Clock::now() < deadline) {
  }
}

}  // namespace zentora::modsim
