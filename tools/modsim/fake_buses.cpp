#include "fake_buses.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "call_log.h"
#include "frame_protocol.h"

namespace zentora::modsim {
namespace {

constexpr std::uint16_t kModuleVendor = 0x1514;
constexpr std::uint16_t kModuleProduct = 0x5534;
constexpr std::uint16_t kKeyboardVendor = 0x046d;
constexpr std::uint16_t kKeyboardProduct = 0xc31c;

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

// Device index (0 the keyboard, then the modules) on bus.
std::unique_ptr<Device> MakeDevice(long index, usb_bus* bus) {
  auto entry = std::make_unique<Device>();
  entry->module = static_cast<int>(index);
  struct usb_device& device = entry->device;
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
  return entry;
}

}  // namespace

World::World(long modules) {
  for (int number = 1; number <= 2; ++number) {
    auto bus = std::make_unique<usb_bus>();
    std::snprintf(bus->dirname, sizeof bus->dirname, "%03d", number);
    bus->location = static_cast<std::uint32_t>(number);
    busses_.push_back(std::move(bus));
  }
  // The keyboard and module 1 on bus 001, further modules on bus 002, so
  // that walk order is module order.
  for (long index = 0; index <= modules; ++index) {
    devices_.push_back(MakeDevice(index, busses_[index <= 1 ? 0 : 1].get()));
  }
}

int World::FindBusses() {
  if (busses_found_) {
    return 0;
  }
  busses_found_ = true;
  usb_bus* previous = nullptr;
  for (const auto& bus : busses_) {
    bus->prev = previous;
    if (previous != nullptr) {
      previous->next = bus.get();
    }
    previous = bus.get();
  }
  usb_busses = busses_.front().get();
  return static_cast<int>(busses_.size());
}

int World::FindDevices() {
  if (devices_found_) {
    return 0;
  }
  devices_found_ = true;
  for (const auto& entry : devices_) {
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
  return static_cast<int>(devices_.size());
}

std::string World::Describe() const {
  if (!busses_found_) {
    return "NULL";
  }
  std::string text;
  for (const usb_bus* bus = Busses(); bus != nullptr; bus = bus->next) {
    if (!text.empty()) {
      text += ", ";
    }
    text += Format("bus %s [", bus->dirname);
    for (const struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
      text += Format("%s%s %04x:%04x", device == bus->devices ? "" : ", ", device->filename,
                     device->descriptor.idVendor, device->descriptor.idProduct);
    }
    text += "]";
  }
  return text;
}

Device* World::Find(const struct usb_device* device) const {
  if (!devices_found_) {
    return nullptr;
  }
  for (const auto& entry : devices_) {
    if (&entry->device == device) {
      return entry.get();
    }
  }
  return nullptr;
}

}  // namespace zentora::modsim
