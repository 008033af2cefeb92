// Compiling and reading back are inverses: for every one of the 32 packing
// settings, the pictures unpacked from the compiled files carry exactly the
// colours that were packed, and the sounds come back as the same samples.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "../sound/wave_bytes.h"
#include "image/image_compiler.h"
#include "image/picture_canvas.h"
#include "image/pixel_packing.h"
#include "readback/data_file_reader.h"
#include "readback/picture_unpacking.h"
#include "readback/resource_listing.h"
#include "readback/sound_unpacking.h"
#include "sound/wave.h"
#include "sound/wave_compiler.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CRecordingSink;
using testing::CTempDir;
namespace fs = std::filesystem;

// Random colours with, for the transparent one, random alpha: every bit of
// every channel takes part.
fs::path SaveRandomPicture(const fs::path& path, int width, int height, bool transparent) {
  QImage image(width, height, QImage::Format_ARGB32);
  std::mt19937 random(static_cast<unsigned>(width * 7919 + height));
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      row[x] = random() | (transparent ? 0 : 0xFF000000);
    }
  }
  EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
  return path;
}

// The colour the module ends up with: the canvas's, reduced to RGB565 for
// 16 bits.
QRgb Packed(QRgb pixel, const ImageSettings& settings) {
  return settings.colorDepth == 1 ? (pixel | 0xFF000000)
                                  : WidenRgb565(ToRgb565(static_cast<std::uint8_t>(qRed(pixel)),
                                                         static_cast<std::uint8_t>(qGreen(pixel)),
                                                         static_cast<std::uint8_t>(qBlue(pixel))));
}

ImageSettings SettingsNumber(int n) {
  ImageSettings settings;
  settings.colorDepth = n & 1;
  settings.msbFirst = (n & 2) != 0;
  settings.rowRightToLeft = (n & 4) != 0;
  settings.columnBottomToTop = (n & 8) != 0;
  settings.columnFirst = (n & 16) != 0;
  return settings;
}

class RoundTripTest : public ::testing::TestWithParam<int> {};

TEST_P(RoundTripTest, UnpackingGivesThePackedColours) {
  const ImageSettings settings = SettingsNumber(GetParam());
  CTempDir dir;
  const std::vector<fs::path> pictures = {
      SaveRandomPicture(dir / "column.png", 1, 9, false),
      SaveRandomPicture(dir / "row.png", 9, 1, false),
      dir / "missing.png",
      SaveRandomPicture(dir / "odd.png", 333, 77, false),
      SaveRandomPicture(dir / "transparent.png", 5, 4, true),
  };
  CRecordingSink sink;
  ASSERT_EQ(GenerateImageResourcesOnThreads(pictures, settings, dir / "image.bin",
                                            dir / "image.idx", sink, 2),
            CompileOutcome::WrittenWithWarnings);  // missing.png is named

  const Result<ResourceListing> listing = ReadResourceFolder(dir.Path());
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing.value().findings, std::vector<Finding>{});
  ASSERT_EQ(listing.value().pictures.size(), pictures.size());
  EXPECT_TRUE(listing.value().pictures[2].IsEmpty());
  const Result<CDataFileReader> data = CDataFileReader::Open(dir / "image.bin");
  ASSERT_TRUE(data);
  for (const PictureEntry& entry : listing.value().pictures) {
    if (entry.IsEmpty()) {
      continue;
    }
    EXPECT_EQ(entry.BytesPerPixel(), settings.BytesPerPixel());
    const QImage canvas =
        DrawPictureCanvas(pictures[static_cast<std::size_t>(entry.position)]).canvas;
    const Result<QImage> unpacked = ReadPicture(data.value(), entry, settings);
    ASSERT_TRUE(unpacked) << unpacked.error();
    ASSERT_EQ(unpacked.value().size(), canvas.size());
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        ASSERT_EQ(unpacked.value().pixel(x, y), Packed(canvas.pixel(x, y), settings))
            << "picture " << entry.position << " at " << x << ", " << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSettings, RoundTripTest, ::testing::Range(0, 32),
                         [](const ::testing::TestParamInfo<int>& row) {
                           const ImageSettings s = SettingsNumber(row.param);
                           return std::string(s.colorDepth ? "Rgb24" : "Rgb565") +
                                  (s.msbFirst ? "Msb" : "Lsb") + (s.rowRightToLeft ? "_RtoL" : "") +
                                  (s.columnBottomToTop ? "_BtoT" : "") +
                                  (s.columnFirst ? "_ColumnFirst" : "");
                         });

TEST(SoundRoundTripTest, SoundsComeBackAsTheSameSamples) {
  CTempDir dir;
  const std::string odd(3001, '\x5A');
  std::string stereo(4096, '\0');
  for (std::size_t i = 0; i < stereo.size(); ++i) {
    stereo[i] = static_cast<char>(i * 31);
  }
  testing::WriteBytes(dir / "a.wav", testing::PcmWaveFile(1, 8000, 8, odd));
  testing::WriteBytes(dir / "b.wav", testing::PcmWaveFile(2, 44100, 16, stereo));
  CRecordingSink sink;
  ASSERT_EQ(GenerateWaveResources({dir / "a.wav", dir / "b.wav"}, dir / "wave.bin",
                                  dir / "wave.idx", sink),
            CompileOutcome::Written);
  const Result<ResourceListing> listing = ReadResourceFolder(dir.Path());
  ASSERT_TRUE(listing);
  EXPECT_EQ(listing.value().findings, std::vector<Finding>{});
  const Result<CDataFileReader> data = CDataFileReader::Open(dir / "wave.bin");
  ASSERT_TRUE(data);
  const std::string expected[] = {odd, stereo};
  for (const SoundEntry& entry : listing.value().sounds) {
    const Result<std::vector<std::uint8_t>> wave = ReadSoundAsWave(data.value(), entry);
    ASSERT_TRUE(wave);
    const fs::path back = dir / ("back" + std::to_string(entry.position) + ".wav");
    testing::WriteBytes(back, std::string(wave.value().begin(), wave.value().end()));
    CWave loaded;
    ASSERT_EQ(loaded.Load(back), 1);
    EXPECT_EQ(loaded.Channels(), entry.channels);
    EXPECT_EQ(loaded.BitsPerSample(), entry.bitsPerSample);
    EXPECT_EQ(loaded.SamplesPerSecond(), entry.sampleRate);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded.Data()), loaded.DataLength()),
              expected[entry.position]);
  }
  EXPECT_DOUBLE_EQ(listing.value().sounds[1].Seconds(), 4096.0 / (44100 * 4));
}

}  // namespace
}  // namespace zentora
