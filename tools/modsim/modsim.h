#pragma once

// Control entry points of the simulated display module (libzentora-modsim.so).
// A program that preloads the library finds them at run time with
// dlsym(RTLD_DEFAULT, ...); modsim_control.h does that lookup. Declared here
// so that callers and the library agree on the types.

#ifdef __cplusplus
extern "C" {
#endif

// Reads the ZENTORA_MODSIM_* variables again and starts afresh: counters,
// handles, the in-memory log and any unfinished file are cleared, and the
// buses are empty until the next usb_find_busses / usb_find_devices.
void zentora_modsim_reset(void);

// VIOLATION lines logged since the last reset.
int zentora_modsim_violations(void);

// The log since the last reset, lines joined with '\n' (no final newline).
// The text stays valid until the next call of zentora_modsim_log or
// zentora_modsim_reset.
const char* zentora_modsim_log(void);

// Handles opened since the last reset and not yet closed.
int zentora_modsim_open_handles(void);

#ifdef __cplusplus
}
#endif
