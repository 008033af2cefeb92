#include "modsim_fixture.h"

#include <stdlib.h>

#include <cstdio>
#include <sstream>
#include <thread>

namespace zentora::testing {

namespace {

const char* const kVariables[] = {"ZENTORA_MODSIM_DIR",
                                  "ZENTORA_MODSIM_LOG",
                                  "ZENTORA_MODSIM_MODULES",
                                  "ZENTORA_MODSIM_ACK",
                                  "ZENTORA_MODSIM_BAD_ACK",
                                  "ZENTORA_MODSIM_BAD_ACK_AFTER",
                                  "ZENTORA_MODSIM_SILENT_AFTER",
                                  "ZENTORA_MODSIM_HANG_MS",
                                  "ZENTORA_MODSIM_WRITE_FAIL_AFTER",
                                  "ZENTORA_MODSIM_OPEN_FAIL_AFTER",
                                  "ZENTORA_MODSIM_LATENCY_US"};

std::string Number(int value) {
  return std::to_string(value);
}

// Three digits, as the buses and devices are named.
std::string ThreeDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", value);
  return text;
}

std::string Hex(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02x", value);
  return text;
}

}  // namespace

void ModsimTest::SetUp() {
  ASSERT_TRUE(control_.Loaded())
      << "libzentora-modsim.so is not preloaded (run through ctest or set LD_PRELOAD)";
  Configure({});
}

void ModsimTest::TearDown() {
  for (const char* name : kVariables) {
    unsetenv(name);
  }
  if (control_.Loaded()) {
    control_.reset();
  }
}

void ModsimTest::Configure(const std::vector<std::pair<const char*, std::string>>& variables) {
  for (const char* name : kVariables) {
    unsetenv(name);
  }
  setenv("ZENTORA_MODSIM_DIR", received_.Path().c_str(), 1);
  for (const auto& [name, value] : variables) {
    setenv(name, value.c_str(), 1);
  }
  control_.reset();
}

std::vector<std::string> ModsimTest::Log() const {
  std::vector<std::string> lines;
  std::istringstream text(control_.log());
  std::string line;
  std::getline(text, line);
  EXPECT_EQ(line.rfind("modsim: ", 0), 0u) << line;
  while (std::getline(text, line)) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ModsimTest::LogLines(std::string_view prefix) const {
  std::vector<std::string> lines;
  for (std::string& line : Log()) {
    if (line.starts_with(prefix)) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

bool ModsimTest::WaitForLog(std::string_view part, std::chrono::milliseconds limit) const {
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (std::string_view(control_.log()).find(part) != std::string_view::npos) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::string BussesLine(int modules) {
  std::string line = "usb_get_busses -> bus 001 [001 046d:c31c";
  if (modules >= 1) {
    line += ", 002 1514:5534";
  }
  line += "], bus 002 [";
  for (int module = 2; module <= modules; ++module) {
    line += (module == 2 ? "" : ", ") + ThreeDigits(module + 1) + " 1514:5534";
  }
  return line + "]";
}

std::vector<std::string> ScanLines(int modules, bool first) {
  return {"usb_init", first ? "usb_find_busses -> 2" : "usb_find_busses -> 0",
          "usb_find_devices -> " + Number(first ? modules + 1 : 0)};
}

std::vector<std::string> OpenLines(int handle, const char* bus, const char* device) {
  const std::string id = Number(handle);
  return {std::string("usb_open bus=") + bus + " dev=" + device + " -> handle " + id,
          "usb_set_configuration handle=" + id + " config=1 -> 0",
          "usb_claim_interface handle=" + id + " interface=0 -> 0"};
}

std::vector<std::string> CodeLines(int handle, int code, const char* file, const char* answer) {
  const std::string id = Number(handle);
  return {
      "usb_bulk_write handle=" + id + " ep=0x03 len=1 -> 1 (code " + Hex(code) + " " + file + ")",
      "usb_bulk_read handle=" + id + " ep=0x81 len=1 -> 1 (" + answer + ")"};
}

std::vector<std::string> FrameLines(int handle, int number, int count, const char* answer) {
  const std::string id = Number(handle);
  return {"usb_bulk_write handle=" + id + " ep=0x02 len=2050 -> 2050 (frame " + Number(number) +
              " count=" + Number(count) + (count < 2048 ? ", last)" : ")"),
          "usb_bulk_read handle=" + id + " ep=0x81 len=1 -> 1 (" + answer + ")"};
}

std::vector<std::string> CloseLines(int handle) {
  const std::string id = Number(handle);
  return {"usb_release_interface handle=" + id + " interface=0 -> 0",
          "usb_close handle=" + id + " -> 0"};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> joined;
  for (const std::vector<std::string>& part : parts) {
    joined.insert(joined.end(), part.begin(), part.end());
  }
  return joined;
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>(i % 251);
  }
  return bytes;
}

}  // namespace zentora::testing
