#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zentora {

// Stores the low `bytes` bytes of value at out[offset], least significant
// first: every multi-byte field of the module's files and frames.
inline void PutLittleEndian(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value,
                            std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) {
    out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// The field PutLittleEndian stores, read back.
inline std::uint32_t GetLittleEndian(std::span<const std::uint8_t> in, std::size_t offset,
                                     std::size_t bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes; i-- > 0;) {
    value = (value << 8) | in[offset + i];
  }
  return value;
}

}  // namespace zentora
