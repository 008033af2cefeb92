#pragma once

#include <dlfcn.h>

#include "modsim.h"

namespace zentora {

// The simulated module's control entry points as found in the running
// process: all set when libzentora-modsim.so is preloaded, all null when not.
// Looking them up at run time keeps the caller free of a link-time
// dependency, which would put the simulator in front of libusb for good.
struct ModsimControl {
  decltype(&zentora_modsim_reset) reset = nullptr;
  decltype(&zentora_modsim_violations) violations = nullptr;
  decltype(&zentora_modsim_log) log = nullptr;
  decltype(&zentora_modsim_open_handles) open_handles = nullptr;

  bool Loaded() const {
    return reset != nullptr && violations != nullptr && log != nullptr && open_handles != nullptr;
  }

  static ModsimControl Find() {
    ModsimControl control;
    control.reset = reinterpret_cast<decltype(&zentora_modsim_reset)>(
        dlsym(RTLD_DEFAULT, "zentora_modsim_reset"));
    control.violations = reinterpret_cast<decltype(&zentora_modsim_violations)>(
        dlsym(RTLD_DEFAULT, "zentora_modsim_violations"));
    control.log =
        reinterpret_cast<decltype(&zentora_modsim_log)>(dlsym(RTLD_DEFAULT, "zentora_modsim_log"));
    control.open_handles = reinterpret_cast<decltype(&zentora_modsim_open_handles)>(
        dlsym(RTLD_DEFAULT, "zentora_modsim_open_handles"));
    return control;
  }
};

}  // namespace zentora
