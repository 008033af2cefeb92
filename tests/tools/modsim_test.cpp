// The simulated module, exercised through the libusb 0.1 calls themselves:
// this test links libusb, and CTest preloads libzentora-modsim.so in front
// of it.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <usb.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "modsim_control.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTimeoutMs = 5000;
constexpr int kFrameSize = 2050;
constexpr int kPayloadMax = 2048;

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

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 256) & 0xff);
  }
  return bytes;
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

class ModsimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(control_.Loaded())
        << "libzentora-modsim.so is not preloaded (run through ctest or set LD_PRELOAD)";
    char pattern[] = "/tmp/modsim_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    for (const char* name : kVariables) {
      unsetenv(name);
    }
    Configure("ZENTORA_MODSIM_DIR", dir_.string());
  }

  void TearDown() override {
    for (const char* name : kVariables) {
      unsetenv(name);
    }
    if (control_.Loaded()) {
      control_.reset();
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Sets one variable and lets the simulator read them all again.
  void Configure(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
    control_.reset();
  }

  std::string Log() const { return control_.log(); }
  int Violations() const { return control_.violations(); }

  // The bus scan the link does on construction.
  static void Scan() {
    usb_init();
    usb_find_busses();
    usb_find_devices();
  }

  // Every module in walk order.
  static std::vector<struct usb_device*> Modules() {
    std::vector<struct usb_device*> modules;
    for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
      for (struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
        if (device->descriptor.idVendor == 0x1514 && device->descriptor.idProduct == 0x5534) {
          modules.push_back(device);
        }
      }
    }
    return modules;
  }

  // Scans, opens the first module, selects configuration 1, claims 0.
  static usb_dev_handle* OpenModule() {
    Scan();
    const std::vector<struct usb_device*> modules = Modules();
    if (modules.empty()) {
      return nullptr;
    }
    usb_dev_handle* handle = usb_open(modules.front());
    if (handle != nullptr) {
      usb_set_configuration(handle, 1);
      usb_claim_interface(handle, 0);
    }
    return handle;
  }

  static void CloseModule(usb_dev_handle* handle) {
    EXPECT_EQ(usb_release_interface(handle, 0), 0);
    EXPECT_EQ(usb_close(handle), 0);
  }

  // One write and its one-byte acknowledgement; the acknowledgement byte,
  // or -1 when the write or the read failed.
  static int Exchange(usb_dev_handle* handle, int endpoint, const Bytes& bytes) {
    const int written =
        usb_bulk_write(handle, endpoint, reinterpret_cast<const char*>(bytes.data()),
                       static_cast<int>(bytes.size()), kTimeoutMs);
    if (written <= 0) {
      return -1;
    }
    char ack = 0;
    if (usb_bulk_read(handle, 0x81, &ack, 1, kTimeoutMs) <= 0) {
      return -1;
    }
    return static_cast<std::uint8_t>(ack);
  }

  static Bytes Frame(const std::uint8_t* payload, int count, std::uint8_t filler = 0xEE) {
    Bytes frame(kFrameSize, filler);
    frame[0] = static_cast<std::uint8_t>(count & 0xff);
    frame[1] = static_cast<std::uint8_t>(count >> 8);
    std::copy(payload, payload + count, frame.begin() + 2);
    return frame;
  }

  // The download protocol: the code, then full frames, then a last one.
  // The acknowledgement bytes, one per transfer, until the first that is
  // not 0xCC.
  static std::vector<int> SendFile(usb_dev_handle* handle, std::uint8_t code, const Bytes& file) {
    std::vector<int> acks{Exchange(handle, 0x03, Bytes{code})};
    std::size_t sent = 0;
    while (acks.back() == 0xCC) {
      const int count = static_cast<int>(std::min<std::size_t>(kPayloadMax, file.size() - sent));
      acks.push_back(Exchange(handle, 0x02, Frame(file.data() + sent, count)));
      sent += static_cast<std::size_t>(count);
      if (count < kPayloadMax) {
        break;
      }
    }
    return acks;
  }

  ModsimControl control_ = ModsimControl::Find();
  fs::path dir_;
};

TEST_F(ModsimTest, SavesAOneByteFile) {
  Scan();
  // The keyboard comes first on bus 001, the module after it.
  usb_bus* bus = usb_get_busses();
  ASSERT_NE(bus, nullptr);
  EXPECT_STREQ(bus->dirname, "001");
  ASSERT_NE(bus->devices, nullptr);
  EXPECT_EQ(bus->devices->descriptor.idVendor, 0x046d);
  ASSERT_EQ(Modules().size(), 1u);
  // Configuration 1, interface 0, endpoints 0x02, 0x03 and 0x81.
  const usb_config_descriptor* config = Modules().front()->config;
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(config->bConfigurationValue, 1);
  ASSERT_EQ(config->interface->altsetting->bNumEndpoints, 3);
  EXPECT_EQ(config->interface->altsetting->endpoint[2].bEndpointAddress, 0x81);

  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(control_.open_handles(), 1);
  EXPECT_EQ(SendFile(handle, 0x90, Bytes{0x5A}), (std::vector<int>{0xCC, 0xCC}));
  CloseModule(handle);

  EXPECT_EQ(ReadFile(dir_ / "image.idx"), Bytes{0x5A});
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_EQ(control_.open_handles(), 0);
  const std::string log = Log();
  EXPECT_NE(log.find("usb_open bus=001 dev=002 -> handle 1"), std::string::npos) << log;
  EXPECT_NE(log.find("usb_bulk_write handle=1 ep=0x03 len=1 -> 1"), std::string::npos) << log;
  EXPECT_NE(log.find("usb_bulk_read handle=1 ep=0x81 len=1 -> 1 (0xcc)"), std::string::npos) << log;
  EXPECT_NE(log.find("saved image.idx 1 bytes"), std::string::npos) << log;
  // Only the saved file is left in the folder.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(ModsimTest, AssemblesAFileFromThreeFrames) {
  const Bytes file = Pattern(4097);
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(SendFile(handle, 0x92, file), (std::vector<int>{0xCC, 0xCC, 0xCC, 0xCC}));
  CloseModule(handle);
  EXPECT_EQ(ReadFile(dir_ / "image.bin"), file);
  EXPECT_EQ(Violations(), 0) << Log();
  const std::string log = Log();
  EXPECT_EQ(CountOf(log, "ep=0x02 len=2050 -> 2050"), 3) << log;
  EXPECT_NE(log.find("(frame 3 count=1, last)"), std::string::npos) << log;
}

TEST_F(ModsimTest, AFileOfWholeFramesEndsWithAnEmptyFrame) {
  const Bytes file = Pattern(2048);
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(SendFile(handle, 0x94, file), (std::vector<int>{0xCC, 0xCC, 0xCC}));
  CloseModule(handle);
  EXPECT_EQ(ReadFile(dir_ / "wave.idx"), file);
  EXPECT_EQ(Violations(), 0) << Log();
}

TEST_F(ModsimTest, EachCodeNamesItsFileAndALaterFileReplacesAnEarlierOne) {
  const std::pair<std::uint8_t, const char*> codes[] = {
      {0x90, "image.idx"}, {0x92, "image.bin"}, {0x94, "wave.idx"}, {0x95, "wave.bin"}};
  for (const auto& [code, name] : codes) {
    usb_dev_handle* handle = OpenModule();
    ASSERT_NE(handle, nullptr);
    SendFile(handle, code, Bytes{code, 1, 2});
    CloseModule(handle);
    EXPECT_EQ(ReadFile(dir_ / name), (Bytes{code, 1, 2})) << name;
  }
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  SendFile(handle, 0x95, Bytes{9});
  CloseModule(handle);
  EXPECT_EQ(ReadFile(dir_ / "wave.bin"), Bytes{9});
  EXPECT_EQ(Violations(), 0) << Log();
}

TEST_F(ModsimTest, SeveralModulesAreWalkedInOrder) {
  Configure("ZENTORA_MODSIM_MODULES", "3");
  Scan();
  std::vector<std::string> seen;
  for (struct usb_device* device : Modules()) {
    seen.push_back(std::string(device->bus->dirname) + "/" + device->filename);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"001/002", "002/003", "002/004"}));

  // The link keeps the last one: open each, closing the earlier.
  usb_dev_handle* kept = nullptr;
  for (struct usb_device* device : Modules()) {
    if (kept != nullptr) {
      CloseModule(kept);
    }
    kept = usb_open(device);
    ASSERT_NE(kept, nullptr);
    usb_set_configuration(kept, 1);
    usb_claim_interface(kept, 0);
  }
  EXPECT_EQ(control_.open_handles(), 1);
  SendFile(kept, 0x90, Bytes{1, 2, 3});
  CloseModule(kept);
  EXPECT_EQ(ReadFile(dir_ / "image.idx"), (Bytes{1, 2, 3}));
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_NE(Log().find("usb_open bus=002 dev=004 -> handle 3"), std::string::npos) << Log();
}

TEST_F(ModsimTest, NoModuleAttached) {
  Configure("ZENTORA_MODSIM_MODULES", "0");
  Scan();
  EXPECT_TRUE(Modules().empty());
  // The keyboard is still there.
  ASSERT_NE(usb_get_busses(), nullptr);
  EXPECT_NE(usb_get_busses()->devices, nullptr);
  EXPECT_EQ(Violations(), 0) << Log();
}

TEST_F(ModsimTest, BadAcknowledgementAfterN) {
  Configure("ZENTORA_MODSIM_BAD_ACK_AFTER", "2");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  // The code and the first frame are accepted, the second is not.
  EXPECT_EQ(SendFile(handle, 0x92, Pattern(5000)), (std::vector<int>{0xCC, 0xCC, 0x00}));
  CloseModule(handle);
  EXPECT_FALSE(fs::exists(dir_ / "image.bin"));
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_NE(Log().find("(0x00, injected)"), std::string::npos) << Log();
  EXPECT_NE(Log().find("discarded unfinished image.bin 2048 bytes in 1 frames"), std::string::npos)
      << Log();
}

TEST_F(ModsimTest, ChosenAnswerBytes) {
  setenv("ZENTORA_MODSIM_BAD_ACK", "0x5a", 1);
  setenv("ZENTORA_MODSIM_BAD_ACK_AFTER", "1", 1);
  Configure("ZENTORA_MODSIM_ACK", "17");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), 17);
  EXPECT_EQ(Exchange(handle, 0x02, Frame(nullptr, 0)), 0x5A);
  CloseModule(handle);
  EXPECT_EQ(Violations(), 0) << Log();
}

TEST_F(ModsimTest, SilentAfterN) {
  setenv("ZENTORA_MODSIM_HANG_MS", "0", 1);
  Configure("ZENTORA_MODSIM_SILENT_AFTER", "1");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), 0xCC);
  const Bytes frame = Frame(nullptr, 0);
  ASSERT_EQ(usb_bulk_write(handle, 0x02, reinterpret_cast<const char*>(frame.data()), kFrameSize,
                           kTimeoutMs),
            kFrameSize);
  const auto start = std::chrono::steady_clock::now();
  char ack = 0;
  EXPECT_EQ(usb_bulk_read(handle, 0x81, &ack, 1, kTimeoutMs), -ETIMEDOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  CloseModule(handle);
  EXPECT_FALSE(fs::exists(dir_ / "image.idx"));
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_NE(Log().find("-> -110 (no answer, waited 0 ms)"), std::string::npos) << Log();
}

TEST_F(ModsimTest, SilenceWaitsTheHangTime) {
  setenv("ZENTORA_MODSIM_HANG_MS", "150", 1);
  Configure("ZENTORA_MODSIM_SILENT_AFTER", "0");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), -1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  CloseModule(handle);
  EXPECT_EQ(Violations(), 0) << Log();
}

TEST_F(ModsimTest, WriteFailsAfterN) {
  Configure("ZENTORA_MODSIM_WRITE_FAIL_AFTER", "1");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), 0xCC);
  const Bytes frame = Frame(nullptr, 0);
  EXPECT_EQ(usb_bulk_write(handle, 0x02, reinterpret_cast<const char*>(frame.data()), kFrameSize,
                           kTimeoutMs),
            -EIO);
  // No read follows a failed write, and none is owed.
  CloseModule(handle);
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_NE(Log().find("-> -5 (injected failure after 1 transfers)"), std::string::npos) << Log();
}

TEST_F(ModsimTest, OpenFailsAfterN) {
  Configure("ZENTORA_MODSIM_OPEN_FAIL_AFTER", "1");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  CloseModule(handle);
  EXPECT_EQ(OpenModule(), nullptr);
  EXPECT_EQ(OpenModule(), nullptr);
  EXPECT_EQ(control_.open_handles(), 0);
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_NE(Log().find("-> NULL (injected failure after 1 opens)"), std::string::npos) << Log();
}

TEST_F(ModsimTest, LatencyIsPaidOnWriteAndRead) {
  Configure("ZENTORA_MODSIM_LATENCY_US", "30000");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), 0xCC);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
  CloseModule(handle);
}

TEST_F(ModsimTest, FrameOf2049BytesIsAViolation) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x90}), 0xCC);
  Bytes frame = Frame(nullptr, 0);
  frame.pop_back();
  // Refused: answered with the bad byte.
  EXPECT_EQ(Exchange(handle, 0x02, frame), 0x00);
  CloseModule(handle);
  EXPECT_EQ(Violations(), 1) << Log();
  EXPECT_NE(Log().find("VIOLATION: usb_bulk_write handle=1: frame of 2049 bytes"),
            std::string::npos)
      << Log();
}

TEST_F(ModsimTest, FrameBeforeACodeIsAViolation) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Exchange(handle, 0x02, Frame(nullptr, 0)), 0x00);
  CloseModule(handle);
  EXPECT_EQ(Violations(), 1) << Log();
  EXPECT_NE(Log().find("VIOLATION: usb_bulk_write handle=1: frame before any download code"),
            std::string::npos)
      << Log();
}

TEST_F(ModsimTest, ReleaseBeforeCloseIsClean) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(usb_release_interface(handle, 0), 0);
  EXPECT_EQ(usb_close(handle), 0);
  EXPECT_EQ(Violations(), 0) << Log();
  EXPECT_EQ(control_.open_handles(), 0);
}

TEST_F(ModsimTest, CloseWithoutReleaseIsAViolation) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(usb_close(handle), 0);
  EXPECT_EQ(Violations(), 1) << Log();
  EXPECT_NE(Log().find("VIOLATION: usb_close handle=1: interface 0 is still claimed"),
            std::string::npos)
      << Log();
  EXPECT_EQ(control_.open_handles(), 0);
}

// Each misuse is logged and counted, and nothing crashes.
TEST_F(ModsimTest, MisuseIsCounted) {
  struct Case {
    const char* name;
    void (*misuse)(usb_dev_handle*);
    int violations = 1;
  };
  const Case cases[] = {
      {"wrong write endpoint",
       [](usb_dev_handle* h) { EXPECT_LT(usb_bulk_write(h, 0x01, "\x90", 1, kTimeoutMs), 0); }},
      {"unknown code", [](usb_dev_handle* h) { EXPECT_EQ(Exchange(h, 0x03, Bytes{0x91}), 0x00); }},
      {"code of two bytes",
       [](usb_dev_handle* h) {
         EXPECT_EQ(Exchange(h, 0x03, Bytes{0x90, 0x90}), 0x00);
       }},
      {"count over 2048",
       [](usb_dev_handle* h) {
         EXPECT_EQ(Exchange(h, 0x03, Bytes{0x90}), 0xCC);
         Bytes frame = Frame(nullptr, 0);
         frame[0] = 0x01;
         frame[1] = 0x08;
         EXPECT_EQ(Exchange(h, 0x02, frame), 0x00);
       }},
      {"read on the wrong endpoint",
       [](usb_dev_handle* h) {
         char ack = 0;
         EXPECT_EQ(usb_bulk_write(h, 0x03, "\x90", 1, kTimeoutMs), 1);
         EXPECT_LT(usb_bulk_read(h, 0x82, &ack, 1, kTimeoutMs), 0);
         EXPECT_EQ(usb_bulk_read(h, 0x81, &ack, 1, kTimeoutMs), 1);
       }},
      {"read of two bytes",
       [](usb_dev_handle* h) {
         char ack[2] = {};
         EXPECT_EQ(usb_bulk_write(h, 0x03, "\x90", 1, kTimeoutMs), 1);
         EXPECT_LT(usb_bulk_read(h, 0x81, ack, 2, kTimeoutMs), 0);
         EXPECT_EQ(usb_bulk_read(h, 0x81, ack, 1, kTimeoutMs), 1);
       }},
      {"second write without a read",
       [](usb_dev_handle* h) {
         EXPECT_EQ(usb_bulk_write(h, 0x03, "\x90", 1, kTimeoutMs), 1);
         EXPECT_EQ(Exchange(h, 0x03, Bytes{0x90}), 0xCC);
       }},
      {"configuration 2", [](usb_dev_handle* h) { EXPECT_LT(usb_set_configuration(h, 2), 0); }},
      {"claim interface 1", [](usb_dev_handle* h) { EXPECT_LT(usb_claim_interface(h, 1), 0); }},
      {"release interface 1", [](usb_dev_handle* h) { EXPECT_LT(usb_release_interface(h, 1), 0); }},
      {"transfer without a claim",
       [](usb_dev_handle* h) {
         EXPECT_EQ(usb_release_interface(h, 0), 0);
         // Both the write and the read are flagged.
         EXPECT_EQ(Exchange(h, 0x03, Bytes{0x90}), 0xCC);
         EXPECT_EQ(usb_claim_interface(h, 0), 0);
       },
       2},
      {"unknown handle",
       [](usb_dev_handle*) {
         int not_a_handle = 0;
         EXPECT_LT(usb_close(reinterpret_cast<usb_dev_handle*>(&not_a_handle)), 0);
       }},
      {"null handle", [](usb_dev_handle*) { EXPECT_LT(usb_claim_interface(nullptr, 0), 0); }},
      {"open of the keyboard",
       [](usb_dev_handle*) { EXPECT_EQ(usb_open(usb_get_busses()->devices), nullptr); }},
      {"unsupported call", [](usb_dev_handle* h) { EXPECT_LT(usb_reset(h), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    control_.reset();
    usb_dev_handle* handle = OpenModule();
    ASSERT_NE(handle, nullptr);
    c.misuse(handle);
    CloseModule(handle);
    EXPECT_EQ(Violations(), c.violations) << Log();
    EXPECT_EQ(CountOf(Log(), "VIOLATION: "), c.violations) << Log();
  }
}

TEST_F(ModsimTest, TransfersOnAClosedHandleAreViolations) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  CloseModule(handle);
  EXPECT_LT(usb_bulk_write(handle, 0x03, "\x90", 1, kTimeoutMs), 0);
  char ack = 0;
  EXPECT_LT(usb_bulk_read(handle, 0x81, &ack, 1, kTimeoutMs), 0);
  EXPECT_LT(usb_close(handle), 0);
  EXPECT_EQ(Violations(), 3) << Log();
  EXPECT_NE(Log().find("VIOLATION: usb_close handle=1: the handle was closed"), std::string::npos)
      << Log();
}

TEST_F(ModsimTest, ReadWithNothingToAcknowledgeTimesOut) {
  Configure("ZENTORA_MODSIM_HANG_MS", "0");
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  char ack = 0;
  EXPECT_EQ(usb_bulk_read(handle, 0x81, &ack, 1, kTimeoutMs), -ETIMEDOUT);
  CloseModule(handle);
  EXPECT_EQ(Violations(), 1) << Log();
}

TEST_F(ModsimTest, ANewCodeDiscardsAnUnfinishedFile) {
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  const Bytes full = Pattern(kPayloadMax);
  EXPECT_EQ(Exchange(handle, 0x03, Bytes{0x92}), 0xCC);
  EXPECT_EQ(Exchange(handle, 0x02, Frame(full.data(), kPayloadMax)), 0xCC);
  EXPECT_EQ(SendFile(handle, 0x90, Bytes{4}), (std::vector<int>{0xCC, 0xCC}));
  CloseModule(handle);
  EXPECT_FALSE(fs::exists(dir_ / "image.bin"));
  EXPECT_EQ(ReadFile(dir_ / "image.idx"), Bytes{4});
  EXPECT_NE(Log().find("discarded unfinished image.bin 2048 bytes in 1 frames"), std::string::npos)
      << Log();
}

TEST_F(ModsimTest, ResetStartsAfresh) {
  usb_dev_handle* stale = OpenModule();
  ASSERT_NE(stale, nullptr);
  Configure("ZENTORA_MODSIM_MODULES", "2");
  EXPECT_EQ(control_.open_handles(), 0);
  EXPECT_EQ(Violations(), 0);
  // The buses are empty until the next scan.
  EXPECT_EQ(usb_get_busses(), nullptr);
  Scan();
  EXPECT_EQ(Modules().size(), 2u);
  usb_dev_handle* handle = usb_open(Modules().back());
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(Log().find("-> handle 1"), std::string::npos) << Log();
  // A handle from before the reset is unknown now.
  EXPECT_LT(usb_claim_interface(stale, 0), 0);
  EXPECT_EQ(Violations(), 1) << Log();
  usb_close(handle);
}

TEST_F(ModsimTest, NumbersAreDecimalOrHexAndBadValuesAreReported) {
  Configure("ZENTORA_MODSIM_MODULES", "0x2");
  Scan();
  EXPECT_EQ(Modules().size(), 2u);
  Configure("ZENTORA_MODSIM_MODULES", "010");
  Scan();
  EXPECT_EQ(Modules().size(), 10u);
  Configure("ZENTORA_MODSIM_MODULES", "-1");
  Scan();
  EXPECT_EQ(Modules().size(), 1u);
  EXPECT_NE(Log().find("ERROR: ZENTORA_MODSIM_MODULES=\"-1\""), std::string::npos) << Log();
  EXPECT_EQ(Violations(), 0);
}

TEST_F(ModsimTest, LogFileGetsEveryLine) {
  const fs::path log_file = dir_ / "modsim.log";
  Configure("ZENTORA_MODSIM_LOG", log_file.string());
  usb_dev_handle* handle = OpenModule();
  ASSERT_NE(handle, nullptr);
  SendFile(handle, 0x90, Bytes{1});
  usb_close(handle);
  std::ifstream in(log_file);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), Log() + "\n");
  EXPECT_EQ(Log().rfind("modsim: pid=", 0), 0u) << Log();
  EXPECT_NE(Log().find("\nVIOLATION: usb_close handle=1"), std::string::npos) << Log();
}

// A worker sends a file while this thread watches the log and the handles.
TEST_F(ModsimTest, AnotherThreadMayWatchATransfer) {
  Configure("ZENTORA_MODSIM_LATENCY_US", "50");
  const Bytes file = Pattern(40 * kPayloadMax + 3);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    usb_dev_handle* handle = OpenModule();
    if (handle != nullptr) {
      SendFile(handle, 0x95, file);
      CloseModule(handle);
    }
    done = true;
  });
  std::size_t longest = 0;
  while (!done) {
    longest = std::max(longest, std::string(control_.log()).size());
    EXPECT_LE(control_.open_handles(), 1);
    EXPECT_EQ(control_.violations(), 0);
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_GE(Log().size(), longest);
  EXPECT_EQ(ReadFile(dir_ / "wave.bin"), file);
  EXPECT_EQ(Violations(), 0) << Log();
}

}  // namespace
}  // namespace zentora
