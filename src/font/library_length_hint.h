#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentora {

// The square cells of 8 to 48 pixels whose glyphs fill length bytes
// exactly, smallest first; none for an empty file.
std::vector<int> FittingSquareExtents(std::uint64_t length);

// For the viewer: empty while length is a whole number of glyphs of the
// extents chosen under "字模宽度" and "字模高度"; otherwise the line saying so,
// with the square cells that would fit.
std::string LibraryLengthHint(std::uint64_t length, int chosenWidth, int chosenHeight);

}  // namespace zentora
