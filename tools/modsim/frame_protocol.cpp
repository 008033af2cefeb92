#include "frame_protocol.h"

namespace zentora::modsim {
namespace {

constexpr DownloadCode kCodes[] = {
    {0x90, "image.idx"}, {0x92, "image.bin"}, {0x94, "wave.idx"}, {0x95, "wave.bin"}};

const DownloadCode* FindCode(unsigned char value) {
  for (const DownloadCode& code : kCodes) {
    if (code.value == value) {
      return &code;
    }
  }
  return nullptr;
}

}  // namespace

void TakeCode(Handle& handle, const unsigned char* data, int size, Notes& notes,
              std::string& detail) {
  Pending& pending = handle.pending;
  if (size != 1) {
    notes.Violation("usb_bulk_write handle=%d: download code of %d bytes (a code is 1 byte)",
                    handle.id, size);
    pending.refused = true;
    detail = " (refused)";
  } else if ((pending.code = FindCode(data[0])) == nullptr) {
    notes.Violation(
        "usb_bulk_write handle=%d: unknown download code 0x%02x (0x90, 0x92, 0x94 or 0x95)",
        handle.id, data[0]);
    pending.refused = true;
    detail = " (refused)";
  } else {
    detail = Format(" (code 0x%02x %s)", data[0], pending.code->file);
  }
}

void TakeFrame(Handle& handle, const unsigned char* data, int size, Notes& notes,
               std::string& detail) {
  Pending& pending = handle.pending;
  const int count = size >= 2 ? data[0] | (data[1] << 8) : -1;
  if (size != kFrameSize) {
    notes.Violation("usb_bulk_write handle=%d: frame of %d bytes (a frame is 2050 bytes)",
                    handle.id, size);
    pending.refused = true;
  }
  if (count > kPayloadMax) {
    notes.Violation("usb_bulk_write handle=%d: frame count %d is over 2048", handle.id, count);
    pending.refused = true;
  }
  if (handle.code == nullptr) {
    notes.Violation("usb_bulk_write handle=%d: frame before any download code", handle.id);
    pending.refused = true;
  }
  if (pending.refused) {
    detail = count >= 0 ? Format(" (frame count=%d, refused)", count) : " (frame, refused)";
    return;
  }
  pending.last = count < kPayloadMax;
  pending.payload.assign(data + 2, data + 2 + count);
  detail = Format(" (frame %d count=%d%s)", handle.frames + 1, count, pending.last ? ", last" : "");
}

bool Accept(Handle& handle, const Pending& pending) {
  if (pending.code != nullptr) {
    handle.code = pending.code;
    handle.file.clear();
    handle.frames = 0;
    return false;
  }
  handle.file.insert(handle.file.end(), pending.payload.begin(), pending.payload.end());
  ++handle.frames;
  return pending.last;
}

void ClearFile(Handle& handle) {
  handle.code = nullptr;
  handle.file.clear();
  handle.frames = 0;
}

}  // namespace zentora::modsim
