#pragma once

#include <cstdint>

#include "base/result.h"

struct usb_dev_handle;

namespace zentora {

// The connection to the display module for the transfer of one file: found
// afresh on the USB buses, opened and claimed, then one acknowledged
// exchange at a time. Every failure is a Status whose message says what went
// wrong, for the user (no module, no permission, the module gone, a time-out,
// a wrong acknowledgement); nothing is retried.
class CUsbLink {
 public:
  static constexpr std::uint16_t kVendorId = 0x1514;
  static constexpr std::uint16_t kProductId = 0x5534;
  static constexpr int kConfiguration = 1;
  static constexpr int kInterface = 0;
  static constexpr int kBlockEndpoint = 0x02;
  static constexpr int kCommandEndpoint = 0x03;
  static constexpr int kAcknowledgeEndpoint = 0x81;
  static constexpr int kTimeoutMs = 5000;
  static constexpr std::uint8_t kAccepted = 0xCC;

  // Scans the buses (usb_init, usb_find_busses, usb_find_devices).
  CUsbLink();
  ~CUsbLink();
  CUsbLink(const CUsbLink&) = delete;
  CUsbLink& operator=(const CUsbLink&) = delete;

  // Opens the module; with several attached, the last one in walk order.
  Status Open();
  // One byte on the command endpoint, then its acknowledgement.
  Status SendCommand(std::uint8_t code);
  // One bulk write on the block endpoint, then its acknowledgement.
  Status SendBlock(const std::uint8_t* data, int length);
  // Releases interface 0, then closes; harmless when closed.
  void Close();

  bool IsOpen() const { return handle_ != nullptr; }

 private:
  Status Exchange(int endpoint, const std::uint8_t* data, int length);

  usb_dev_handle* handle_ = nullptr;
};

}  // namespace zentora
