#pragma once

#include <QRgb>

#include <filesystem>
#include <initializer_list>

namespace zentora::testing {

// Writes a width × height picture whose pixels are given row by row, in the
// format the file's extension names (png, bmp).
void SavePicture(const std::filesystem::path& path, int width, int height,
                 std::initializer_list<QRgb> pixels);

}  // namespace zentora::testing
