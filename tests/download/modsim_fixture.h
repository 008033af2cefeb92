#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "modsim_control.h"
#include "support/temp_dir.h"

namespace zentora::testing {

// A test that talks to the simulated module (libzentora-modsim.so, preloaded
// by CTest). Every test starts from a fresh simulator: no variable set but
// ZENTORA_MODSIM_DIR, which points at a folder of its own, so one module
// attached that accepts everything and saves what it receives.
class ModsimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the variables (on top of the defaults) and restarts the simulator
  // with them. Only while no other thread calls into the simulator.
  void Configure(const std::vector<std::pair<const char*, std::string>>& variables);

  // The log since the last restart, without its first line (the
  // configuration, which names the process).
  std::vector<std::string> Log() const;
  // The log lines that begin with `prefix`, in order.
  std::vector<std::string> LogLines(std::string_view prefix) const;
  // Waits until a log line contains `part`; false if none does within
  // `limit` (a guard against a hung test, never a measurement).
  bool WaitForLog(std::string_view part,
                  std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

  int Violations() const { return control_.violations(); }
  int OpenHandles() const { return control_.open_handles(); }

  // Where the module saves the files it received.
  const std::filesystem::path& Received() const { return received_.Path(); }

  ModsimControl control_ = ModsimControl::Find();

 private:
  CTempDir received_;
};

// The log lines of the calls the link makes, for expected logs. The first
// scan after a restart finds the two buses and the keyboard and modules on
// them; later ones find nothing new.
std::vector<std::string> ScanLines(int modules = 1, bool first = true);
// usb_get_busses: the keyboard and module 1 on bus 001, the other modules on
// bus 002.
std::string BussesLine(int modules = 1);
// Opening module 1 (bus 001, device 002) as `handle`.
std::vector<std::string> OpenLines(int handle, const char* bus = "001", const char* device = "002");
// The download code and its acknowledgement.
std::vector<std::string> CodeLines(int handle, int code, const char* file,
                                   const char* answer = "0xcc");
// Frame `number` carrying `count` bytes and its acknowledgement.
std::vector<std::string> FrameLines(int handle, int number, int count, const char* answer = "0xcc");
std::vector<std::string> CloseLines(int handle);

// The parts joined into one expected log.
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

// Bytes 0, 1, 2, ... with a period that is no divisor of the frame size, so
// that a shifted, dropped or repeated frame cannot go unnoticed.
std::string Pattern(std::size_t size);

}  // namespace zentora::testing
