#pragma once

#include <cstddef>
#include <cstdint>

namespace zentora {

// Undoes a PNG row filter in place for 8-bit samples, pixelBytes (3 for RGB,
// 4 for RGBA) to a pixel. row holds length bytes without the filter byte;
// previous is the row above, already unfiltered (zeros for the first row).
// False for a filter type PNG does not define, or another pixel size.
bool UnfilterRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
                 std::size_t length, int pixelBytes);

}  // namespace zentora
