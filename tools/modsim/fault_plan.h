#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentora::modsim {

// What the ZENTORA_MODSIM_* variables ask for: where the received files and
// the log go, how many modules are attached, the acknowledgement bytes, and
// the faults to inject. Unset counts mean "never".
struct Config {
  std::string dir;
  std::string log_path;
  long modules = 1;
  int ack = 0xCC;
  int bad_ack = 0x00;
  std::optional<long> bad_ack_after;
  std::optional<long> silent_after;
  std::optional<long> hang_ms;
  std::optional<long> write_fail_after;
  std::optional<long> open_fail_after;
  // The errno an injected open failure leaves, as open(2) of the device
  // node would: unset is EACCES, a node without the udev rule's access.
  std::optional<long> open_errno;
  long latency_us = 0;

  // The faults due, given the counts since the last reset.
  bool OpenFails(long opens) const { return open_fail_after && opens >= *open_fail_after; }
  bool WriteFails(long transfers) const {
    return write_fail_after && transfers >= *write_fail_after;
  }
  // transfers counts the one about to be answered.
  bool Silent(long transfers) const { return silent_after && transfers > *silent_after; }
  bool AckGoesBad(long acked) const { return bad_ack_after && acked >= *bad_ack_after; }
};

// Reads the variables; a bad value is ignored and adds an ERROR line to
// errors.
Config ReadConfig(std::vector<std::string>& errors);

// The line that opens the log, stating the configuration in effect.
std::string Describe(const Config& config);

}  // namespace zentora::modsim
