#include "download/usb_link.h"

#include <usb.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "base/system_error_text.h"

namespace zentora {

namespace {

constexpr const char kModule[] = "显示模块（USB 1514:5534）";
constexpr const char kNoPermission[] =
    "没有权限访问显示模块：请将 udev 规则 60-zentora-module.rules（见 packaging/）复制到 "
    "/etc/udev/rules.d/，执行 sudo udevadm control --reload-rules，再重新插拔模块";
constexpr const char kModuleGone[] = "显示模块已断开连接";

std::string Seconds(int milliseconds) {
  return std::to_string(milliseconds / 1000);
}

// libusb 0.1 reports a failed transfer as a negative errno value and a
// failed usb_open through errno. The reasons opening and transfers share;
// empty when the error is not one of them.
std::string CommonReason(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return kNoPermission;
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
      return kModuleGone;
    default:
      return {};
  }
}

Status OpenFailure(int error) {
  if (std::string common = CommonReason(error); !common.empty()) {
    return Status::Failure(std::move(common));
  }
  if (error == EBUSY) {
    return Status::Failure("显示模块正被其他程序使用");
  }
  std::string message = std::string("无法打开") + kModule;
  if (error != 0) {
    message += "：" + SystemErrorText(error);
  }
  return Status::Failure(std::move(message));
}

// What a bulk write or read that returned `result` (0 or less) means:
// `nothingMoved` when no byte went, `silence` what the module did not do
// within the time-out, `failed` before the system's reason for the rest.
Status TransferFailure(int result, const char* nothingMoved, const char* silence,
                       const char* failed) {
  if (result == 0) {
    return Status::Failure(nothingMoved);
  }
  if (-result == ETIMEDOUT) {
    return Status::Failure("显示模块 " + Seconds(CUsbLink::kTimeoutMs) + " 秒内" + silence);
  }
  if (std::string common = CommonReason(-result); !common.empty()) {
    return Status::Failure(std::move(common));
  }
  return Status::Failure(failed + SystemErrorText(-result));
}

Status WrongAcknowledgement(std::uint8_t received) {
  char text[64];
  std::snprintf(text, sizeof text, "收到 0x%02X，应为 0x%02X", received, CUsbLink::kAccepted);
  return Status::Failure(std::string("显示模块应答错误：") + text);
}

}  // namespace

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

Status CUsbLink::Open() {
  Close();
  bool found = false;
  int openError = 0;
  // Every matching device is visited; the last one in walk order is kept.
  for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
    for (struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
      if (device->descriptor.idVendor != kVendorId || device->descriptor.idProduct != kProductId) {
        continue;
      }
      Close();
      found = true;
      errno = 0;
      handle_ = usb_open(device);
      openError = errno;
      if (handle_ != nullptr) {
        // Failures here show up as failing transfers.
        usb_set_configuration(handle_, kConfiguration);
        usb_claim_interface(handle_, kInterface);
      }
    }
  }
  if (handle_ != nullptr) {
    return Status::Ok();
  }
  return found ? OpenFailure(openError) : Status::Failure(std::string("未找到") + kModule);
}

Status CUsbLink::Exchange(int endpoint, const std::uint8_t* data, int length) {
  if (handle_ == nullptr) {
    return Status::Failure("显示模块未打开");
  }
  char acknowledgement = 0;
  const int written =
      usb_bulk_write(handle_, endpoint, reinterpret_cast<const char*>(data), length, kTimeoutMs);
  if (written <= 0) {
    return TransferFailure(written, "显示模块没有接收数据", "没有接收数据",
                           "向显示模块发送数据失败：");
  }
  const int read = usb_bulk_read(handle_, kAcknowledgeEndpoint, &acknowledgement, 1, kTimeoutMs);
  if (read <= 0) {
    return TransferFailure(read, "显示模块没有返回应答字节", "没有应答",
                           "读取显示模块的应答失败：");
  }
  const auto received = static_cast<std::uint8_t>(acknowledgement);
  return received == kAccepted ? Status::Ok() : WrongAcknowledgement(received);
}

Status CUsbLink::SendCommand(std::uint8_t code) {
  return Exchange(kCommandEndpoint, &code, 1);
}

Status CUsbLink::SendBlock(const std::uint8_t* data, int length) {
  return Exchange(kBlockEndpoint, data, length);
}

}  // namespace zentora
