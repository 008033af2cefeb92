#pragma once

#include <string>
#include <vector>

#include "call_log.h"

namespace zentora::modsim {

constexpr int kConfiguration = 1;
constexpr int kInterface = 0;
constexpr int kFrameEndpoint = 0x02;
constexpr int kCodeEndpoint = 0x03;
constexpr int kAckEndpoint = 0x81;
constexpr int kPayloadMax = 2048;
constexpr int kFrameSize = 2 + kPayloadMax;

// A download code and the file it announces.
struct DownloadCode {
  unsigned char value;
  const char* file;
};

// What the module owes for the last write: one acknowledgement byte.
struct Pending {
  bool present = false;
  bool refused = false;                // content broke the protocol: answered with the bad byte
  bool silent = false;                 // no answer will come
  const DownloadCode* code = nullptr;  // a download code, or null for a frame
  bool last = false;                   // a frame with count below 2048
  std::vector<unsigned char> payload;
};

struct Device;

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

// Reads a write on the code endpoint into handle.pending: the code, or a
// refusal with its violation. detail is what the call's log line adds.
void TakeCode(Handle& handle, const unsigned char* data, int size, Notes& notes,
              std::string& detail);

// The same for a write on the frame endpoint.
void TakeFrame(Handle& handle, const unsigned char* data, int size, Notes& notes,
               std::string& detail);

// Carries out a transfer the module accepted: a code starts a file, a frame
// adds to it. True when that frame ends the file.
bool Accept(Handle& handle, const Pending& pending);

// Forgets the file being received.
void ClearFile(Handle& handle);

}  // namespace zentora::modsim
