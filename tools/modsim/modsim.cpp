// The simulated display module. Preloaded into a program (LD_PRELOAD), the
// libusb 0.1 functions defined here replace libusb's: they show a keyboard
// and the configured number of modules on two fake buses, answer the
// download code and every frame with an acknowledgement byte, check each
// call against the way the USB link is meant to use the library, save every
// file received, and fail on request. See README.md for the variables.

#include "modsim.h"

#include <fcntl.h>
#include <unistd.h>
#include <usb.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#define MODSIM_EXPORT __attribute__((visibility("default")))

namespace {

constexpr std::uint16_t kModuleVendor = 0x1514;
constexpr std::uint16_t kModuleProduct = 0x5534;
constexpr std::uint16_t kKeyboardVendor = 0x046d;
constexpr std::uint16_t kKeyboardProduct = 0xc31c;
constexpr int kConfiguration = 1;
constexpr int kInterface = 0;
constexpr int kFrameEndpoint = 0x02;
constexpr int kCodeEndpoint = 0x03;
constexpr int kAckEndpoint = 0x81;
constexpr int kPayloadMax = 2048;
constexpr int kFrameSize = 2 + kPayloadMax;
// USB addresses run to 127 and the keyboard takes one.
constexpr long kMaxModules = 126;

struct DownloadCode {
  unsigned char value;
  const char* file;
};

constexpr DownloadCode kCodes[] = {
    {0x90, "image.idx"}, {0x92, "image.bin"}, {0x94, "wave.idx"}, {0x95, "wave.bin"}};

const DownloadCode* FindCode(unsigned char value) {
  for (const DownloadCode& code : kCodes) {
    if (code.value == value) {
      return &code;
    }
  }
  return nullptr;
}

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string text;
  if (length < 0) {
    text = format;
  } else if (static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(again);
  return text;
}

// Configuration from the environment, read at the first call and at every
// reset. Unset counts mean "never".
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
  long latency_us = 0;
};

// Decimal, or hexadecimal after 0x; no sign, no spaces.
std::optional<long> ParseNumber(const char* text) {
  int base = 10;
  const char* digits = text;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    digits = text + 2;
  }
  const bool first_ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(*digits)) != 0
                                   : std::isdigit(static_cast<unsigned char>(*digits)) != 0;
  if (!first_ok) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(digits, &end, base);
  if (errno != 0 || *end != '\0') {
    return std::nullopt;
  }
  return value;
}

// A numeric variable in [0, max]; unset or empty gives nullopt, a bad value
// gives nullopt and an error line.
std::optional<long> ReadNumber(const char* name, long max, std::vector<std::string>& errors) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') {
    return std::nullopt;
  }
  const std::optional<long> value = ParseNumber(text);
  if (!value || *value > max) {
    errors.push_back(
        Format("ERROR: %s=\"%s\" is not a number from 0 to %ld; ignored", name, text, max));
    return std::nullopt;
  }
  return value;
}

std::string ReadText(const char* name) {
  const char* text = std::getenv(name);
  return text == nullptr ? std::string() : std::string(text);
}

Config ReadConfig(std::vector<std::string>& errors) {
  constexpr long kCountMax = 1L << 40;
  Config config;
  config.dir = ReadText("ZENTORA_MODSIM_DIR");
  config.log_path = ReadText("ZENTORA_MODSIM_LOG");
  config.modules = ReadNumber("ZENTORA_MODSIM_MODULES", kMaxModules, errors).value_or(1);
  config.ack = static_cast<int>(ReadNumber("ZENTORA_MODSIM_ACK", 255, errors).value_or(0xCC));
  config.bad_ack = static_cast<int>(ReadNumber("ZENTORA_MODSIM_BAD_ACK", 255, errors).value_or(0));
  config.bad_ack_after = ReadNumber("ZENTORA_MODSIM_BAD_ACK_AFTER", kCountMax, errors);
  config.silent_after = ReadNumber("ZENTORA_MODSIM_SILENT_AFTER", kCountMax, errors);
  config.hang_ms = ReadNumber("ZENTORA_MODSIM_HANG_MS", 3600L * 1000, errors);
  config.write_fail_after = ReadNumber("ZENTORA_MODSIM_WRITE_FAIL_AFTER", kCountMax, errors);
  config.open_fail_after = ReadNumber("ZENTORA_MODSIM_OPEN_FAIL_AFTER", kCountMax, errors);
  config.latency_us =
      ReadNumber("ZENTORA_MODSIM_LATENCY_US", 3600L * 1000 * 1000, errors).value_or(0);
  return config;
}

std::string Describe(const Config& config) {
  std::string text =
      Format("modsim: pid=%ld modules=%ld ack=0x%02x bad_ack=0x%02x", static_cast<long>(getpid()),
             config.modules, config.ack, config.bad_ack);
  const auto add = [&text](const char* name, const std::optional<long>& value) {
    if (value) {
      text += Format(" %s=%ld", name, *value);
    }
  };
  add("bad_ack_after", config.bad_ack_after);
  add("silent_after", config.silent_after);
  add("hang_ms", config.hang_ms);
  add("write_fail_after", config.write_fail_after);
  add("open_fail_after", config.open_fail_after);
  if (config.latency_us > 0) {
    text += Format(" latency_us=%ld", config.latency_us);
  }
  text += config.dir.empty() ? std::string(" dir=(none)") : " dir=" + config.dir;
  return text;
}

usb_endpoint_descriptor Endpoint(int address, int type, int max_packet, int interval) {
  usb_endpoint_descriptor endpoint{};
  endpoint.bLength = USB_DT_ENDPOINT_SIZE;
  endpoint.bDescriptorType = USB_DT_ENDPOINT;
  endpoint.bEndpointAddress = static_cast<std::uint8_t>(address);
  endpoint.bmAttributes = static_cast<std::uint8_t>(type);
  endpoint.wMaxPacketSize = static_cast<std::uint16_t>(max_packet);
  endpoint.bInterval = static_cast<std::uint8_t>(interval);
  return endpoint;
}

// A device's configuration 1: interface 0 with the given endpoints.
struct ConfigDescriptors {
  std::vector<usb_endpoint_descriptor> endpoints;
  usb_interface_descriptor altsetting{};
  usb_interface interface {};
  usb_config_descriptor config{};
};

// Built once and kept for the life of the process.
usb_config_descriptor* MakeConfig(std::vector<usb_endpoint_descriptor> endpoints,
                                  int interface_class) {
  auto* descriptors = new ConfigDescriptors;
  descriptors->endpoints = std::move(endpoints);
  usb_interface_descriptor& altsetting = descriptors->altsetting;
  altsetting.bLength = USB_DT_INTERFACE_SIZE;
  altsetting.bDescriptorType = USB_DT_INTERFACE;
  altsetting.bInterfaceNumber = kInterface;
  altsetting.bNumEndpoints = static_cast<std::uint8_t>(descriptors->endpoints.size());
  altsetting.bInterfaceClass = static_cast<std::uint8_t>(interface_class);
  altsetting.endpoint = descriptors->endpoints.data();
  descriptors->interface.altsetting = &altsetting;
  descriptors->interface.num_altsetting = 1;
  usb_config_descriptor& config = descriptors->config;
  config.bLength = USB_DT_CONFIG_SIZE;
  config.bDescriptorType = USB_DT_CONFIG;
  config.wTotalLength =
      static_cast<std::uint16_t>(USB_DT_CONFIG_SIZE + USB_DT_INTERFACE_SIZE +
                                 USB_DT_ENDPOINT_SIZE * descriptors->endpoints.size());
  config.bNumInterfaces = 1;
  config.bConfigurationValue = kConfiguration;
  config.bmAttributes = 0x80;
  config.MaxPower = 50;
  config.interface = &descriptors->interface;
  return &config;
}

// The module's three bulk endpoints.
usb_config_descriptor* ModuleConfig() {
  static usb_config_descriptor* config =
      MakeConfig({Endpoint(kFrameEndpoint, USB_ENDPOINT_TYPE_BULK, 64, 0),
                  Endpoint(kCodeEndpoint, USB_ENDPOINT_TYPE_BULK, 64, 0),
                  Endpoint(kAckEndpoint, USB_ENDPOINT_TYPE_BULK, 64, 0)},
                 USB_CLASS_VENDOR_SPEC);
  return config;
}

usb_config_descriptor* KeyboardConfig() {
  static usb_config_descriptor* config =
      MakeConfig({Endpoint(0x81, USB_ENDPOINT_TYPE_INTERRUPT, 8, 10)}, USB_CLASS_HID);
  return config;
}

// One fake device on one fake bus; module 0 is the keyboard.
struct Device {
  struct usb_device device {};
  int module = 0;
};

// The buses and devices of one generation (from one reset to the next).
// Everything is built at once; usb_find_busses and usb_find_devices only
// make it visible. Pointers stay valid for the life of the process.
struct World {
  std::vector<std::unique_ptr<usb_bus>> busses;
  std::vector<std::unique_ptr<Device>> devices;
  bool busses_found = false;
  bool devices_found = false;
};

std::unique_ptr<World> BuildWorld(long modules) {
  auto world = std::make_unique<World>();
  for (int number = 1; number <= 2; ++number) {
    auto bus = std::make_unique<usb_bus>();
    std::snprintf(bus->dirname, sizeof bus->dirname, "%03d", number);
    bus->location = static_cast<std::uint32_t>(number);
    world->busses.push_back(std::move(bus));
  }
  // The keyboard and module 1 on bus 001, further modules on bus 002, so
  // that walk order is module order.
  for (long index = 0; index <= modules; ++index) {
    auto entry = std::make_unique<Device>();
    entry->module = static_cast<int>(index);
    struct usb_device& device = entry->device;
    usb_bus* bus = world->busses[index <= 1 ? 0 : 1].get();
    std::snprintf(device.filename, sizeof device.filename, "%03ld", index + 1);
    device.bus = bus;
    device.devnum = static_cast<std::uint8_t>(index + 1);
    usb_device_descriptor& descriptor = device.descriptor;
    descriptor.bLength = USB_DT_DEVICE_SIZE;
    descriptor.bDescriptorType = USB_DT_DEVICE;
    descriptor.bcdUSB = index == 0 ? 0x0110 : 0x0200;
    descriptor.bMaxPacketSize0 = index == 0 ? 8 : 64;
    descriptor.idVendor = index == 0 ? kKeyboardVendor : kModuleVendor;
    descriptor.idProduct = index == 0 ? kKeyboardProduct : kModuleProduct;
    descriptor.bcdDevice = 0x0100;
    descriptor.bNumConfigurations = 1;
    device.config = index == 0 ? KeyboardConfig() : ModuleConfig();
    world->devices.push_back(std::move(entry));
  }
  return world;
}

// What the module owes for the last write: one acknowledgement byte.
struct Pending {
  bool present = false;
  bool refused = false;                // content broke the protocol: answered with the bad byte
  bool silent = false;                 // no answer will come
  const DownloadCode* code = nullptr;  // a download code, or null for a frame
  bool last = false;                   // a frame with count below 2048
  std::vector<unsigned char> payload;
};

struct Handle {
  int id = 0;
  unsigned generation = 0;
  Device* device = nullptr;
  bool claimed = false;
  bool closed = false;
  // The file being received: its code (null when none), bytes and frames.
  const DownloadCode* code = nullptr;
  std::vector<unsigned char> file;
  int frames = 0;
  Pending pending;
};

// Lines logged for one call: the call itself first, then these.
struct Notes {
  std::vector<std::string> lines;
  int violations = 0;

  __attribute__((format(printf, 2, 3))) void Violation(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    lines.push_back(std::string("VIOLATION: ") + text);
    ++violations;
  }
  void Add(std::string line) { lines.push_back(std::move(line)); }
};

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

class Simulator {
 public:
  std::mutex mutex;

  // Everything below is guarded by the mutex.
  void EnsureLoaded() {
    if (!loaded_) {
      loaded_ = true;
      Load();
    }
  }

  void Reset() {
    loaded_ = true;
    Load();
  }

  const Config& config() const { return config_; }
  unsigned generation() const { return generation_; }

  void Log(const std::string& line) {
    lines_.push_back(line);
    if (log_fd_ >= 0) {
      const std::string out = line + '\n';
      // One write per line, so that processes sharing the file interleave
      // whole lines.
      const ssize_t written = ::write(log_fd_, out.data(), out.size());
      static_cast<void>(written);
    }
  }

  void Emit(const std::string& call, const Notes& notes) {
    Log(call);
    for (const std::string& line : notes.lines) {
      Log(line);
    }
    violations_ += notes.violations;
  }

  void SetError(int result) {
    if (result < 0) {
      last_error_ = Format("modsim: %s", std::strerror(-result));
    }
  }

  int violations() const { return violations_; }

  const char* LogText() {
    log_text_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (i > 0) {
        log_text_ += '\n';
      }
      log_text_ += lines_[i];
    }
    return log_text_.c_str();
  }

  char* LastError() { return last_error_.data(); }

  int OpenHandles() const {
    int count = 0;
    for (const auto& handle : handles_) {
      if (handle->generation == generation_ && !handle->closed) {
        ++count;
      }
    }
    return count;
  }

  // --- bus scan
  bool initialised = false;

  int FindBusses() {
    if (world_->busses_found) {
      return 0;
    }
    world_->busses_found = true;
    usb_bus* previous = nullptr;
    for (const auto& bus : world_->busses) {
      bus->prev = previous;
      if (previous != nullptr) {
        previous->next = bus.get();
      }
      previous = bus.get();
    }
    usb_busses = world_->busses.front().get();
    return static_cast<int>(world_->busses.size());
  }

  bool BussesFound() const { return world_->busses_found; }

  int FindDevices() {
    if (world_->devices_found) {
      return 0;
    }
    world_->devices_found = true;
    for (const auto& entry : world_->devices) {
      struct usb_device* device = &entry->device;
      usb_bus* bus = device->bus;
      // Append at the end of the bus's list.
      struct usb_device** link = &bus->devices;
      struct usb_device* previous = nullptr;
      while (*link != nullptr) {
        previous = *link;
        link = &(*link)->next;
      }
      device->prev = previous;
      *link = device;
    }
    return static_cast<int>(world_->devices.size());
  }

  usb_bus* Busses() const { return world_->busses_found ? world_->busses.front().get() : nullptr; }

  std::string DescribeBusses() const {
    if (!world_->busses_found) {
      return "NULL";
    }
    std::string text;
    for (const usb_bus* bus = Busses(); bus != nullptr; bus = bus->next) {
      if (!text.empty()) {
        text += ", ";
      }
      text += Format("bus %s [", bus->dirname);
      for (const struct usb_device* device = bus->devices; device != nullptr;
           device = device->next) {
        text += Format("%s%s %04x:%04x", device == bus->devices ? "" : ", ", device->filename,
                       device->descriptor.idVendor, device->descriptor.idProduct);
      }
      text += "]";
    }
    return text;
  }

  // A device of this generation that usb_find_devices made visible.
  Device* FindDevice(const struct usb_device* device) const {
    if (!world_->devices_found) {
      return nullptr;
    }
    for (const auto& entry : world_->devices) {
      if (&entry->device == device) {
        return entry.get();
      }
    }
    return nullptr;
  }

  // --- handles
  long opens = 0;      // successful usb_open calls
  long transfers = 0;  // bulk writes that went through
  long acked = 0;      // transfers answered with the acknowledgement byte

  Handle* NewHandle(Device* device) {
    auto handle = std::make_unique<Handle>();
    handle->id = ++last_handle_id_;
    handle->generation = generation_;
    handle->device = device;
    handles_.push_back(std::move(handle));
    return handles_.back().get();
  }

  // The handle behind h, or null after logging why it cannot be used. The
  // label names it in the call's log line.
  Handle* Resolve(usb_dev_handle* h, const char* call, Notes& notes, std::string& label) {
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

  // Ends the file being received on the handle without saving it.
  static void DiscardFile(Handle& handle, Notes& notes) {
    if (handle.code != nullptr) {
      notes.Add(Format("discarded unfinished %s %zu bytes in %d frames", handle.code->file,
                       handle.file.size(), handle.frames));
    }
    handle.code = nullptr;
    handle.file.clear();
    handle.frames = 0;
  }

  // Saves a complete file in the folder of ZENTORA_MODSIM_DIR, replacing
  // the earlier one at once (temporary file, then rename).
  void SaveFile(const Handle& handle, Notes& notes) const {
    const char* name = handle.code->file;
    const std::size_t size = handle.file.size();
    if (config_.dir.empty()) {
      notes.Add(
          Format("received %s %zu bytes (not saved: ZENTORA_MODSIM_DIR is unset)", name, size));
      return;
    }
    const std::string target = config_.dir + "/" + name;
    const std::string temporary =
        Format("%s/.%s.tmp-%ld", config_.dir.c_str(), name, static_cast<long>(getpid()));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      notes.Add(Format("ERROR: cannot create %s: %s", temporary.c_str(), std::strerror(errno)));
      return;
    }
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd, handle.file.data() + done, size - done);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        notes.Add(Format("ERROR: cannot write %s: %s", temporary.c_str(), std::strerror(errno)));
        ::close(fd);
        ::unlink(temporary.c_str());
        return;
      }
      done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
      notes.Add(Format("ERROR: cannot save %s: %s", target.c_str(), std::strerror(errno)));
      ::unlink(temporary.c_str());
      return;
    }
    notes.Add(Format("saved %s %zu bytes", name, size));
  }

 private:
  void Load() {
    ++generation_;
    std::vector<std::string> errors;
    config_ = ReadConfig(errors);
    if (world_) {
      retired_worlds_.push_back(std::move(world_));
    }
    world_ = BuildWorld(config_.modules);
    usb_busses = nullptr;
    initialised = false;
    opens = 0;
    transfers = 0;
    acked = 0;
    last_handle_id_ = 0;
    violations_ = 0;
    lines_.clear();
    log_text_.clear();
    if (log_fd_ >= 0) {
      ::close(log_fd_);
      log_fd_ = -1;
    }
    if (!config_.log_path.empty()) {
      log_fd_ = ::open(config_.log_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
      if (log_fd_ < 0) {
        errors.push_back(Format("ERROR: cannot open ZENTORA_MODSIM_LOG=%s: %s",
                                config_.log_path.c_str(), std::strerror(errno)));
      }
    }
    Log(Describe(config_));
    for (const std::string& error : errors) {
      Log(error);
    }
  }

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
  int violations_ = 0;
  std::vector<std::string> lines_;
  std::string log_text_;
  std::string last_error_ = "modsim: no error";
  int log_fd_ = -1;
};

// Never destroyed: a worker thread may still call in while the process
// exits.
Simulator& Sim() {
  static Simulator* simulator = new Simulator;
  return *simulator;
}

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

long LatencyMicroseconds() {
  Locked sim;
  return sim->config().latency_us;
}

// A call the link never makes: logged, counted, refused.
int Unsupported(const char* call, usb_dev_handle* h) {
  Locked sim;
  Notes notes;
  std::string label;
  sim->Resolve(h, call, notes, label);
  notes.Violation("%s: not simulated (the link does not use it)", call);
  const int result = -ENOSYS;
  sim->Emit(Format("%s %s -> %d", call, label.c_str(), result), notes);
  sim->SetError(result);
  return result;
}

}  // namespace

// libusb's list head, for programs that read it instead of calling
// usb_get_busses. usb.h declares it outside its extern "C" block; a global
// variable's symbol is the same either way.
MODSIM_EXPORT struct usb_bus* usb_busses = nullptr;

extern "C" {

// --- control entry points

MODSIM_EXPORT void zentora_modsim_reset(void) {
  std::lock_guard<std::mutex> lock(Sim().mutex);
  Sim().Reset();
}

MODSIM_EXPORT int zentora_modsim_violations(void) {
  Locked sim;
  return sim->violations();
}

MODSIM_EXPORT const char* zentora_modsim_log(void) {
  Locked sim;
  return sim->LogText();
}

MODSIM_EXPORT int zentora_modsim_open_handles(void) {
  Locked sim;
  return sim->OpenHandles();
}

// --- bus scan

MODSIM_EXPORT void usb_init(void) {
  Locked sim;
  sim->initialised = true;
  sim->Emit("usb_init", Notes());
}

MODSIM_EXPORT void usb_set_debug(int level) {
  Locked sim;
  sim->Emit(Format("usb_set_debug level=%d", level), Notes());
}

MODSIM_EXPORT char* usb_strerror(void) {
  Locked sim;
  return sim->LastError();
}

MODSIM_EXPORT int usb_find_busses(void) {
  Locked sim;
  Notes notes;
  if (!sim->initialised) {
    notes.Violation("usb_find_busses before usb_init");
  }
  const int result = sim->FindBusses();
  sim->Emit(Format("usb_find_busses -> %d", result), notes);
  return result;
}

MODSIM_EXPORT int usb_find_devices(void) {
  Locked sim;
  Notes notes;
  int result = 0;
  if (!sim->BussesFound()) {
    notes.Violation("usb_find_devices before usb_find_busses");
  } else {
    result = sim->FindDevices();
  }
  sim->Emit(Format("usb_find_devices -> %d", result), notes);
  return result;
}

MODSIM_EXPORT struct usb_bus* usb_get_busses(void) {
  Locked sim;
  sim->Emit("usb_get_busses -> " + sim->DescribeBusses(), Notes());
  return sim->Busses();
}

// --- opening and closing

MODSIM_EXPORT usb_dev_handle* usb_open(struct usb_device* dev) {
  Locked sim;
  Notes notes;
  Device* device = sim->FindDevice(dev);
  if (device == nullptr) {
    notes.Violation("usb_open: %p is not a device of the current bus scan",
                    static_cast<void*>(dev));
    sim->Emit("usb_open dev=? -> NULL", notes);
    sim->SetError(-ENODEV);
    return nullptr;
  }
  const std::string where =
      Format("usb_open bus=%s dev=%s", device->device.bus->dirname, device->device.filename);
  if (device->module == 0) {
    notes.Violation("usb_open bus=%s dev=%s: %04x:%04x is not the module",
                    device->device.bus->dirname, device->device.filename,
                    device->device.descriptor.idVendor, device->device.descriptor.idProduct);
    sim->Emit(where + " -> NULL", notes);
    sim->SetError(-EACCES);
    return nullptr;
  }
  const std::optional<long>& fail_after = sim->config().open_fail_after;
  if (fail_after && sim->opens >= *fail_after) {
    sim->Emit(where + Format(" -> NULL (injected failure after %ld opens)", *fail_after), notes);
    sim->SetError(-EACCES);
    return nullptr;
  }
  ++sim->opens;
  Handle* handle = sim->NewHandle(device);
  sim->Emit(where + Format(" -> handle %d", handle->id), notes);
  return reinterpret_cast<usb_dev_handle*>(handle);
}

MODSIM_EXPORT int usb_close(usb_dev_handle* dev) {
  Locked sim;
  Notes notes;
  std::string label;
  Handle* handle = sim->Resolve(dev, "usb_close", notes, label);
  int result = -ENODEV;
  if (handle != nullptr) {
    if (handle->claimed) {
      notes.Violation(
          "usb_close handle=%d: interface 0 is still claimed (release it before closing)",
          handle->id);
      handle->claimed = false;
    }
    Simulator::DiscardFile(*handle, notes);
    handle->pending = Pending();
    handle->closed = true;
    result = 0;
  }
  sim->Emit(Format("usb_close %s -> %d", label.c_str(), result), notes);
  sim->SetError(result);
  return result;
}

MODSIM_EXPORT int usb_set_configuration(usb_dev_handle* dev, int configuration) {
  Locked sim;
  Notes notes;
  std::string label;
  Handle* handle = sim->Resolve(dev, "usb_set_configuration", notes, label);
  int result = -ENODEV;
  if (handle != nullptr) {
    result = 0;
    if (configuration != kConfiguration) {
      notes.Violation("usb_set_configuration handle=%d: configuration %d (the module has only 1)",
                      handle->id, configuration);
      result = -EINVAL;
    } else if (handle->claimed) {
      notes.Violation("usb_set_configuration handle=%d: interface 0 is claimed", handle->id);
      result = -EBUSY;
    }
  }
  sim->Emit(
      Format("usb_set_configuration %s config=%d -> %d", label.c_str(), configuration, result),
      notes);
  sim->SetError(result);
  return result;
}

MODSIM_EXPORT int usb_claim_interface(usb_dev_handle* dev, int interface) {
  Locked sim;
  Notes notes;
  std::string label;
  Handle* handle = sim->Resolve(dev, "usb_claim_interface", notes, label);
  int result = -ENODEV;
  if (handle != nullptr) {
    if (interface != kInterface) {
      notes.Violation("usb_claim_interface handle=%d: interface %d (the module has only 0)",
                      handle->id, interface);
      result = -EINVAL;
    } else {
      handle->claimed = true;
      result = 0;
    }
  }
  sim->Emit(Format("usb_claim_interface %s interface=%d -> %d", label.c_str(), interface, result),
            notes);
  sim->SetError(result);
  return result;
}

MODSIM_EXPORT int usb_release_interface(usb_dev_handle* dev, int interface) {
  Locked sim;
  Notes notes;
  std::string label;
  Handle* handle = sim->Resolve(dev, "usb_release_interface", notes, label);
  int result = -ENODEV;
  if (handle != nullptr) {
    if (interface != kInterface) {
      notes.Violation("usb_release_interface handle=%d: interface %d (the module has only 0)",
                      handle->id, interface);
      result = -EINVAL;
    } else if (!handle->claimed) {
      notes.Violation("usb_release_interface handle=%d: interface 0 is not claimed", handle->id);
      result = -EINVAL;
    } else {
      handle->claimed = false;
      result = 0;
    }
  }
  sim->Emit(Format("usb_release_interface %s interface=%d -> %d", label.c_str(), interface, result),
            notes);
  sim->SetError(result);
  return result;
}

// --- transfers

MODSIM_EXPORT int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                                 int /*timeout*/) {
  SleepMicroseconds(LatencyMicroseconds());
  Locked sim;
  Notes notes;
  std::string label;
  std::string detail;
  int result = -ENODEV;
  Handle* handle = sim->Resolve(dev, "usb_bulk_write", notes, label);
  if (handle == nullptr) {
    // Logged below.
  } else if (ep != kFrameEndpoint && ep != kCodeEndpoint) {
    notes.Violation(
        "usb_bulk_write handle=%d: endpoint 0x%02x (0x02 takes frames, 0x03 download codes)",
        handle->id, static_cast<unsigned>(ep));
    result = -EPIPE;
  } else if (bytes == nullptr || size <= 0) {
    notes.Violation("usb_bulk_write handle=%d: nothing to send (%d bytes)", handle->id, size);
    result = -EINVAL;
  } else {
    if (!handle->claimed) {
      notes.Violation("usb_bulk_write handle=%d: interface 0 is not claimed", handle->id);
    }
    if (handle->pending.present) {
      notes.Violation(
          "usb_bulk_write handle=%d: the acknowledgement of the previous transfer is unread",
          handle->id);
      handle->pending = Pending();
    }
    const std::optional<long>& fail_after = sim->config().write_fail_after;
    if (fail_after && sim->transfers >= *fail_after) {
      result = -EIO;
      detail = Format(" (injected failure after %ld transfers)", *fail_after);
    } else {
      ++sim->transfers;
      result = size;
      Pending& pending = handle->pending;
      pending.present = true;
      const std::optional<long>& silent_after = sim->config().silent_after;
      pending.silent = silent_after && sim->transfers > *silent_after;
      const auto* data = reinterpret_cast<const unsigned char*>(bytes);
      if (ep == kCodeEndpoint) {
        // Anything on the code endpoint ends an unfinished file.
        Simulator::DiscardFile(*handle, notes);
        if (size != 1) {
          notes.Violation("usb_bulk_write handle=%d: download code of %d bytes (a code is 1 byte)",
                          handle->id, size);
          pending.refused = true;
          detail = " (refused)";
        } else if ((pending.code = FindCode(data[0])) == nullptr) {
          notes.Violation(
              "usb_bulk_write handle=%d: unknown download code 0x%02x (0x90, 0x92, 0x94 or 0x95)",
              handle->id, data[0]);
          pending.refused = true;
          detail = " (refused)";
        } else {
          detail = Format(" (code 0x%02x %s)", data[0], pending.code->file);
        }
      } else {
        const int count = size >= 2 ? data[0] | (data[1] << 8) : -1;
        if (size != kFrameSize) {
          notes.Violation("usb_bulk_write handle=%d: frame of %d bytes (a frame is 2050 bytes)",
                          handle->id, size);
          pending.refused = true;
        }
        if (count > kPayloadMax) {
          notes.Violation("usb_bulk_write handle=%d: frame count %d is over 2048", handle->id,
                          count);
          pending.refused = true;
        }
        if (handle->code == nullptr) {
          notes.Violation("usb_bulk_write handle=%d: frame before any download code", handle->id);
          pending.refused = true;
        }
        if (pending.refused) {
          detail = count >= 0 ? Format(" (frame count=%d, refused)", count) : " (frame, refused)";
        } else {
          pending.last = count < kPayloadMax;
          pending.payload.assign(data + 2, data + 2 + count);
          detail = Format(" (frame %d count=%d%s)", handle->frames + 1, count,
                          pending.last ? ", last" : "");
        }
      }
    }
  }
  sim->Emit(Format("usb_bulk_write %s ep=0x%02x len=%d -> %d%s", label.c_str(),
                   static_cast<unsigned>(ep), size, result, detail.c_str()),
            notes);
  sim->SetError(result);
  return result;
}

MODSIM_EXPORT int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  SleepMicroseconds(LatencyMicroseconds());
  Locked sim;
  Notes notes;
  std::string label;
  std::string detail;
  int result = -ENODEV;
  long wait_ms = -1;
  Handle* handle = sim->Resolve(dev, "usb_bulk_read", notes, label);
  if (handle == nullptr) {
    // Logged below.
  } else if (ep != kAckEndpoint) {
    notes.Violation("usb_bulk_read handle=%d: endpoint 0x%02x (acknowledgements come on 0x81)",
                    handle->id, static_cast<unsigned>(ep));
    result = -EPIPE;
  } else if (bytes == nullptr || size != 1) {
    notes.Violation("usb_bulk_read handle=%d: read of %d bytes (an acknowledgement is 1 byte)",
                    handle->id, size);
    result = -EINVAL;
  } else {
    if (!handle->claimed) {
      notes.Violation("usb_bulk_read handle=%d: interface 0 is not claimed", handle->id);
    }
    const Config& config = sim->config();
    Pending pending = std::move(handle->pending);
    handle->pending = Pending();
    if (!pending.present) {
      notes.Violation("usb_bulk_read handle=%d: no transfer to acknowledge", handle->id);
    }
    if (!pending.present || pending.silent) {
      wait_ms = config.hang_ms.value_or(timeout > 0 ? timeout : 0);
      result = -ETIMEDOUT;
    } else {
      const bool injected =
          !pending.refused && config.bad_ack_after && sim->acked >= *config.bad_ack_after;
      const bool accepted = !pending.refused && !injected;
      const int answer = accepted ? config.ack : config.bad_ack;
      bytes[0] = static_cast<char>(answer);
      result = 1;
      detail = Format(" (0x%02x%s)", static_cast<unsigned>(answer),
                      injected ? ", injected" : (pending.refused ? ", refused" : ""));
      if (accepted) {
        ++sim->acked;
        if (pending.code != nullptr) {
          handle->code = pending.code;
          handle->file.clear();
          handle->frames = 0;
        } else {
          handle->file.insert(handle->file.end(), pending.payload.begin(), pending.payload.end());
          ++handle->frames;
          if (pending.last) {
            sim->SaveFile(*handle, notes);
            handle->code = nullptr;
            handle->file.clear();
            handle->frames = 0;
          }
        }
      }
    }
  }
  if (wait_ms >= 0) {
    // No answer: the caller waits, the other calls go on meanwhile.
    const unsigned generation = sim->generation();
    sim.Unlock();
    SleepMicroseconds(wait_ms * 1000);
    sim.Lock();
    if (sim->generation() != generation) {
      return result;
    }
    detail = Format(" (no answer, waited %ld ms)", wait_ms);
  }
  sim->Emit(Format("usb_bulk_read %s ep=0x%02x len=%d -> %d%s", label.c_str(),
                   static_cast<unsigned>(ep), size, result, detail.c_str()),
            notes);
  sim->SetError(result);
  return result;
}

// --- calls the link does not make

MODSIM_EXPORT struct usb_device* usb_device(usb_dev_handle* dev) {
  Locked sim;
  Notes notes;
  std::string label;
  Handle* handle = sim->Resolve(dev, "usb_device", notes, label);
  struct usb_device* device = handle != nullptr ? &handle->device->device : nullptr;
  sim->Emit(Format("usb_device %s", label.c_str()), notes);
  return device;
}

MODSIM_EXPORT int usb_get_string(usb_dev_handle* dev, int, int, char*, size_t) {
  return Unsupported("usb_get_string", dev);
}

MODSIM_EXPORT int usb_get_string_simple(usb_dev_handle* dev, int, char*, size_t) {
  return Unsupported("usb_get_string_simple", dev);
}

MODSIM_EXPORT int usb_get_descriptor_by_endpoint(usb_dev_handle* udev, int, unsigned char,
                                                 unsigned char, void*, int) {
  return Unsupported("usb_get_descriptor_by_endpoint", udev);
}

MODSIM_EXPORT int usb_get_descriptor(usb_dev_handle* udev, unsigned char, unsigned char, void*,
                                     int) {
  return Unsupported("usb_get_descriptor", udev);
}

MODSIM_EXPORT int usb_interrupt_write(usb_dev_handle* dev, int, const char*, int, int) {
  return Unsupported("usb_interrupt_write", dev);
}

MODSIM_EXPORT int usb_interrupt_read(usb_dev_handle* dev, int, char*, int, int) {
  return Unsupported("usb_interrupt_read", dev);
}

MODSIM_EXPORT int usb_control_msg(usb_dev_handle* dev, int, int, int, int, char*, int, int) {
  return Unsupported("usb_control_msg", dev);
}

MODSIM_EXPORT int usb_set_altinterface(usb_dev_handle* dev, int) {
  return Unsupported("usb_set_altinterface", dev);
}

MODSIM_EXPORT int usb_resetep(usb_dev_handle* dev, unsigned int) {
  return Unsupported("usb_resetep", dev);
}

MODSIM_EXPORT int usb_clear_halt(usb_dev_handle* dev, unsigned int) {
  return Unsupported("usb_clear_halt", dev);
}

MODSIM_EXPORT int usb_reset(usb_dev_handle* dev) {
  return Unsupported("usb_reset", dev);
}

MODSIM_EXPORT int usb_get_driver_np(usb_dev_handle* dev, int, char*, unsigned int) {
  return Unsupported("usb_get_driver_np", dev);
}

MODSIM_EXPORT int usb_detach_kernel_driver_np(usb_dev_handle* dev, int) {
  return Unsupported("usb_detach_kernel_driver_np", dev);
}

}  // extern "C"
