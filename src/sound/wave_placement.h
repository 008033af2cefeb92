#pragma once

#include <cstdint>

#include "sound/wave_index.h"

namespace zentora {

// The numbers and addresses that the sounds compiled so far have taken:
// numbers count up from 0, and each sound starts on the 2048-byte boundary
// after the one before, from kWaveBaseAddress. Addresses are kept wider than
// the index's 32 bits, so that a sound that would wrap round into the
// picture area is seen before it is written.
class CWavePlacement {
 public:
  int Number() const { return number_; }
  // The next sound's address; only meaningful while a sound Fits there.
  std::uint32_t Address() const { return static_cast<std::uint32_t>(address_); }
  // Whether `length` sample bytes placed at the next address stay wholly
  // below the end of the 32-bit address range.
  bool Fits(std::uint64_t length) const;
  // Gives the next sound, which Fits, its number and its blocks.
  void Take(std::uint32_t length);

 private:
  int number_ = 0;
  std::uint64_t address_ = kWaveBaseAddress;
};

}  // namespace zentora
