#include "sound/wave_placement.h"

namespace zentora {

bool CWavePlacement::Fits(std::uint64_t length) const {
  // A sound of no bytes still needs an address that the index can hold.
  return address_ < kWaveAddressEnd && length <= kWaveAddressEnd - address_;
}

void CWavePlacement::Take(std::uint32_t length) {
  ++number_;
  address_ += std::uint64_t{length} + WaveFillerLength(length);
}

}  // namespace zentora
