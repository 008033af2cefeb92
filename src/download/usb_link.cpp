#include "download/usb_link.h"

#include <QtGlobal>

#include <usb.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "base/system_error_text.h"
#include "base/translation.h"

namespace zentora {

namespace {

constexpr const char kNoPermission[] = QT_TRANSLATE_NOOP(
    "download",
    "没有权限访问显示模块：请将 udev 规则 60-zentora-module.rules（见 packaging/）复制到 "
    "/etc/udev/rules.d/，执行 sudo udevadm control --reload-rules，再重新插拔模块");
constexpr const char kModuleGone[] = QT_TRANSLATE_NOOP("download", "显示模块已断开连接");

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
      return Tr("download", kNoPermission);
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
      return Tr("download", kModuleGone);
    default:
      return {};
  }
}

Status OpenFailure(int error) {
  if (std::string common = CommonReason(error); !common.empty()) {
    return Status::Failure(std::move(common));
  }
  if (error == EBUSY) {
    return Status::Failure(Tr("download", "显示模块正被其他程序使用"));
  }
  if (error != 0) {
    return Status::Failure(
        Fill(Tr("download", "无法打开显示模块（USB 1514:5534）：%1"), SystemErrorText(error)));
  }
  return Status::Failure(Tr("download", "无法打开显示模块（USB 1514:5534）"));
}

// What a bulk write or read that returned `result` (0 or less) means:
// `nothingMoved` when no byte went, `silence` (%1 the seconds) when the
// module did not answer within the time-out, `failed` before the system's
// reason for the rest. All three are texts of the "download" context.
Status TransferFailure(int result, const char* nothingMoved, const char* silence,
                       const char* failed) {
  if (result == 0) {
    return Status::Failure(Tr("download", nothingMoved));
  }
  if (-result == ETIMEDOUT) {
    return Status::Failure(Fill(Tr("download", silence), Seconds(CUsbLink::kTimeoutMs)));
  }
  if (std::string common = CommonReason(-result); !common.empty()) {
    return Status::Failure(std::move(common));
  }
  return Status::Failure(Tr("download", failed) + SystemErrorText(-result));
}

Status WrongAcknowledgement(std::uint8_t received) {
  char got[8];
  char expected[8];
  std::snprintf(got, sizeof got, "0x%02X", received);
  std::snprintf(expected, sizeof expected, "0x%02X", CUsbLink::kAccepted);
  return Status::Failure(Fill(Tr("download", "显示模块应答错误：收到 %1，应为 %2"), got, expected));
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
  return found ? OpenFailure(openError)
               : Status::Failure(Tr("download", "未找到显示模块（USB 1514:5534）"));
}

Status CUsbLink::Exchange(int endpoint, const std::uint8_t* data, int length) {
  if (handle_ == nullptr) {
    return Status::Failure(Tr("download", "显示模块未打开"));
  }
  char acknowledgement = 0;
  const int written =
      usb_bulk_write(handle_, endpoint, reinterpret_cast<const char*>(data), length, kTimeoutMs);
  if (written <= 0) {
    return TransferFailure(written, QT_TRANSLATE_NOOP("download", "显示模块没有接收数据"),
                           QT_TRANSLATE_NOOP("download", "显示模块 %1 秒内没有接收数据"),
                           QT_TRANSLATE_NOOP("download", "向显示模块发送数据失败："));
  }
  const int read = usb_bulk_read(handle_, kAcknowledgeEndpoint, &acknowledgement, 1, kTimeoutMs);
  if (read <= 0) {
    return TransferFailure(read, QT_TRANSLATE_NOOP("download", "显示模块没有返回应答字节"),
                           QT_TRANSLATE_NOOP("download", "显示模块 %1 秒内没有应答"),
                           QT_TRANSLATE_NOOP("download", "读取显示模块的应答失败："));
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
