#pragma once

#include <cstddef>
#include <cstdint>

namespace zentora {

// Undoes a PNG row filter in place for 8-bit RGB (three bytes a pixel), the
// only layout the thumbnail reducer reads. row holds length bytes without
// the filter byte; previous is the row above, already unfiltered (zeros for
// the first row). False for a filter type PNG does not define.
bool UnfilterRgbRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
                    std::size_t length);

}  // namespace zentora
