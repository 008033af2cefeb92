#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/status_sink.h"
#include "image/image_settings.h"
#include "readback/readback_sheets.h"
#include "readback/resource_listing.h"

namespace zentora {

// One line of the listing per picture and per sound:
// "图片 0000  地址 0x00B00000  800 × 480  2 字节/像素  768000 字节",
// "声音 0000  地址 0x07000000  2 声道  16 位  8000 Hz  4096 字节  0.256 秒".
std::string PictureLine(const PictureEntry& entry);
std::string SoundLine(const SoundEntry& entry);

// Writes every picture of the folder as the module shows it when it reads
// the blocks with `settings` (0000.png, 0001.png, ...) and the numbered
// contact sheet sheet.png (when there are pictures), into outFolder (made
// when missing). Pictures without data (empty entries, blocks the data file
// does not hold, which the findings already name) are left out. Progress
// goes to the sink.
// Returns one line per file that could not be read or written.
std::vector<std::string> WritePictureFiles(const std::filesystem::path& folder,
                                           const ResourceListing& listing,
                                           const ImageSettings& settings,
                                           const std::filesystem::path& outFolder,
                                           const LabelPainter& label, StatusSink& progress);

// Writes every sound that wave.bin holds back as a WAV file (0000.wav, ...).
std::vector<std::string> WriteSoundFiles(const std::filesystem::path& folder,
                                         const ResourceListing& listing,
                                         const std::filesystem::path& outFolder);

// Writes outFolder/picture-N-settings.png for the picture at `position`.
Status WriteSettingsSheet(const std::filesystem::path& folder, const ResourceListing& listing,
                          int position, const std::filesystem::path& outFolder,
                          const LabelPainter& label);

}  // namespace zentora
