#include "download/usb_link.h"

#include <usb.h>

namespace zentora {

CUsbLink::CUsbLink() {
  usb_init();
  usb_find_busses();
  usb_find_devices();
}

CUsbLink::~CUsbLink() {
  Close();
}

void CUsbLink::Close() {
  if (handle_ == nullptr) {
    return;
  }
  usb_release_interface(handle_, kInterface);
  usb_close(handle_);
  handle_ = nullptr;
}

bool CUsbLink::Open() {
  Close();
  // Every matching device is visited; the last one in walk order is kept.
  for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
    for (struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
      if (device->descriptor.idVendor != kVendorId || device->descriptor.idProduct != kProductId) {
        continue;
      }
      Close();
      handle_ = usb_open(device);
      if (handle_ != nullptr) {
        // Failures here show up as failing transfers.
        usb_set_configuration(handle_, kConfiguration);
        usb_claim_interface(handle_, kInterface);
      }
    }
  }
  return handle_ != nullptr;
}

bool CUsbLink::Exchange(int endpoint, const std::uint8_t* data, int length) {
  if (handle_ == nullptr) {
    return false;
  }
  char acknowledgement = 0;
  if (usb_bulk_write(handle_, endpoint, reinterpret_cast<const char*>(data), length, kTimeoutMs) <=
      0) {
    return false;
  }
  if (usb_bulk_read(handle_, kAcknowledgeEndpoint, &acknowledgement, 1, kTimeoutMs) <= 0) {
    return false;
  }
  return static_cast<std::uint8_t>(acknowledgement) == kAccepted;
}

bool CUsbLink::SendCommand(std::uint8_t code) {
  return Exchange(kCommandEndpoint, &code, 1);
}

bool CUsbLink::SendBlock(const std::uint8_t* data, int length) {
  return Exchange(kBlockEndpoint, data, length);
}

}  // namespace zentora
