#pragma once

#include <usb.h>

#include <memory>
#include <string>
#include <vector>

namespace zentora::modsim {

// One fake device on one fake bus; module 0 is the keyboard.
struct Device {
  struct usb_device device {};
  int module = 0;
};

// The buses and devices of one generation (from one reset to the next).
// Everything is built at once; FindBusses and FindDevices only make it
// visible. Pointers stay valid for the life of the process.
class World {
 public:
  // Bus 001 with the keyboard and module 1, bus 002 with the others.
  explicit World(long modules);

  // usb_find_busses: links the buses and points usb_busses at them. The
  // number found, 0 when they were already.
  int FindBusses();
  bool BussesFound() const { return busses_found_; }
  // usb_find_devices: links the devices into their buses' lists.
  int FindDevices();

  // The first bus once found, else null.
  usb_bus* Busses() const { return busses_found_ ? busses_.front().get() : nullptr; }
  // The buses and their devices, for usb_get_busses' log line.
  std::string Describe() const;
  // A device of this generation that FindDevices made visible.
  Device* Find(const struct usb_device* device) const;

 private:
  std::vector<std::unique_ptr<usb_bus>> busses_;
  std::vector<std::unique_ptr<Device>> devices_;
  bool busses_found_ = false;
  bool devices_found_ = false;
};

}  // namespace zentora::modsim
