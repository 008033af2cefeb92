// The exported entry points of the simulated display module. Preloaded into
// a program (LD_PRELOAD), the libusb 0.1 functions defined here replace
// libusb's: they show a keyboard and the configured number of modules on two
// fake buses, answer the download code and every frame with an
// acknowledgement byte, check each call against the way the USB link is
// meant to use the library, save every file received, and fail on request.
// See README.md for the variables. Each call takes the simulator's lock,
// logs itself and hands the work to the simulator.

#include "modsim.h"

#include <usb.h>

#include <cerrno>
#include <mutex>
#include <string>

#include "call_log.h"
#include "received_files.h"
#include "simulator.h"

#define MODSIM_EXPORT __attribute__((visibility("default")))

using zentora::modsim::Device;
using zentora::modsim::DiscardFile;
using zentora::modsim::Format;
using zentora::modsim::Handle;
using zentora::modsim::kConfiguration;
using zentora::modsim::kInterface;
using zentora::modsim::Locked;
using zentora::modsim::Notes;
using zentora::modsim::Pending;
using zentora::modsim::Sim;
using zentora::modsim::SleepMicroseconds;
using zentora::modsim::Transfer;

namespace {

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
  const int result = sim->world().FindBusses();
  sim->Emit(Format("usb_find_busses -> %d", result), notes);
  return result;
}

MODSIM_EXPORT int usb_find_devices(void) {
  Locked sim;
  Notes notes;
  int result = 0;
  if (!sim->world().BussesFound()) {
    notes.Violation("usb_find_devices before usb_find_busses");
  } else {
    result = sim->world().FindDevices();
  }
  sim->Emit(Format("usb_find_devices -> %d", result), notes);
  return result;
}

MODSIM_EXPORT struct usb_bus* usb_get_busses(void) {
  Locked sim;
  sim->Emit("usb_get_busses -> " + sim->world().Describe(), Notes());
  return sim->world().Busses();
}

// --- opening and closing

MODSIM_EXPORT usb_dev_handle* usb_open(struct usb_device* dev) {
  Locked sim;
  Notes notes;
  Device* device = sim->world().Find(dev);
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
  if (sim->config().OpenFails(sim->opens)) {
    sim->Emit(where + Format(" -> NULL (injected failure after %ld opens)",
                             *sim->config().open_fail_after),
              notes);
    sim->SetError(-static_cast<int>(sim->config().open_errno.value_or(EACCES)));
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
    DiscardFile(*handle, notes);
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
  Transfer transfer;
  Handle* handle = sim->Resolve(dev, "usb_bulk_write", notes, label);
  if (handle != nullptr) {
    transfer = sim->Write(*handle, ep, reinterpret_cast<const unsigned char*>(bytes), size, notes);
  }
  sim->Emit(Format("usb_bulk_write %s ep=0x%02x len=%d -> %d%s", label.c_str(),
                   static_cast<unsigned>(ep), size, transfer.result, transfer.detail.c_str()),
            notes);
  sim->SetError(transfer.result);
  return transfer.result;
}

MODSIM_EXPORT int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) {
  SleepMicroseconds(LatencyMicroseconds());
  Locked sim;
  Notes notes;
  std::string label;
  Transfer transfer;
  Handle* handle = sim->Resolve(dev, "usb_bulk_read", notes, label);
  if (handle != nullptr) {
    transfer = sim->Read(*handle, ep, bytes, size, timeout, notes);
  }
  if (transfer.wait_ms >= 0) {
    // No answer: the caller waits, the other calls go on meanwhile.
    const unsigned generation = sim->generation();
    sim.Unlock();
    SleepMicroseconds(transfer.wait_ms * 1000);
    sim.Lock();
    if (sim->generation() != generation) {
      return transfer.result;
    }
    transfer.detail = Format(" (no answer, waited %ld ms)", transfer.wait_ms);
  }
  sim->Emit(Format("usb_bulk_read %s ep=0x%02x len=%d -> %d%s", label.c_str(),
                   static_cast<unsigned>(ep), size, transfer.result, transfer.detail.c_str()),
            notes);
  sim->SetError(transfer.result);
  return transfer.result;
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
