#include "readback/readback_output.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <span>

#include "base/atomic_file_writer.h"
#include "base/make_folder.h"
#include "base/ordered_pipeline.h"
#include "base/translation.h"
#include "image/image_compiler.h"
#include "readback/data_file_reader.h"
#include "readback/picture_unpacking.h"
#include "readback/png_encoder.h"
#include "readback/sound_unpacking.h"

namespace zentora {

namespace {

Status WriteFile(const std::filesystem::path& path, const void* data, std::size_t size) {
  if (Status written =
          WriteFileAtomically(path, std::span(static_cast<const std::uint8_t*>(data), size));
      !written) {
    return Status::Failure(Tr("inspect", "无法写入文件：") +
                           WithReason(path.string(), written.message()));
  }
  return Status::Ok();
}

// The sheets: compressed, one file each.
Status WriteSheet(const std::filesystem::path& path, const QImage& image) {
  const Result<QByteArray> png = EncodePng(image, PngPacking::Compressed);
  if (!png) {
    return png.status();
  }
  return WriteFile(path, png.value().constData(), static_cast<std::size_t>(png.value().size()));
}

Result<CDataFileReader> OpenData(const std::filesystem::path& path) {
  Result<CDataFileReader> data = CDataFileReader::Open(path);
  if (!data) {
    return Status::Failure(Fill(Tr("inspect", "无法读取 %1（%2）"), path.string(), data.error()));
  }
  return data;
}

// One picture unpacked and encoded on a worker thread.
struct EncodedPicture {
  QByteArray png;
  QImage thumbnail;
  std::string problem;
};

EncodedPicture EncodePicture(const CDataFileReader& data, const PictureEntry& entry,
                             const ImageSettings& settings, bool onSheet) {
  EncodedPicture encoded;
  if (entry.IsEmpty() || !entry.inData) {
    return encoded;
  }
  const Result<QImage> picture = ReadPicture(data, entry, settings);
  if (!picture) {
    encoded.problem = picture.error();
    return encoded;
  }
  Result<QByteArray> png = EncodePng(picture.value(), PngPacking::Stored);
  if (!png) {
    encoded.problem = png.error();
  } else {
    encoded.png = std::move(png).value();
  }
  if (onSheet) {
    encoded.thumbnail = FitPicture(picture.value(), kThumbnailSize);
  }
  return encoded;
}

}  // namespace

std::string PictureLine(const PictureEntry& entry) {
  const std::string line = Fill(Tr("inspect", "图片 %1  地址 %2"), NumberedName(entry.position),
                                HexAddress(entry.address));
  if (entry.IsEmpty()) {
    return line + Tr("inspect", "  空（编译时无法读取的图片）");
  }
  const int depth = entry.BytesPerPixel();
  return line + Fill(Tr("inspect", "  %1 × %2  %3 字节/像素  %4 字节"), std::to_string(entry.width),
                     std::to_string(entry.height),
                     depth == 0 ? std::string("?") : std::to_string(depth),
                     std::to_string(entry.length));
}

std::string SoundLine(const SoundEntry& entry) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", entry.Seconds());
  return Fill(Tr("inspect", "声音 %1  地址 %2  %3  %4 位  %5 Hz  %6 字节  %7 秒"),
              NumberedName(entry.position), HexAddress(entry.address),
              TrN("inspect", "%n 声道", nullptr, entry.channels),
              std::to_string(entry.bitsPerSample), std::to_string(entry.sampleRate),
              std::to_string(entry.length), seconds);
}

std::vector<std::string> WritePictureFiles(const std::filesystem::path& folder,
                                           const ResourceListing& listing,
                                           const ImageSettings& settings,
                                           const std::filesystem::path& outFolder,
                                           const LabelPainter& label, StatusSink& progress) {
  if (Status made = MakeFolder(outFolder); !made) {
    return {made.message()};
  }
  std::vector<std::string> problems;
  Result<CDataFileReader> data = CDataFileReader{};
  if (listing.imageDataSize > 0) {
    data = OpenData(folder / "image.bin");
    if (!data) {
      return {data.error()};
    }
  }
  const int count = static_cast<int>(listing.pictures.size());
  // Only the pictures the contact sheet shows keep a thumbnail.
  std::vector<QImage> thumbnails(
      static_cast<std::size_t>(std::min(count, kMaxContactSheetPictures)));
  const int threads = ImageCompilerThreadCount();
  RunOrderedPipeline<EncodedPicture>(
      count, threads, 2 * threads,
      [&](int i) {
        return EncodePicture(data.value(), listing.pictures[static_cast<std::size_t>(i)], settings,
                             i < kMaxContactSheetPictures);
      },
      [&](int i, EncodedPicture encoded) {
        progress.SetProgress((i + 1) * 100 / count);
        if (!encoded.problem.empty()) {
          problems.push_back(encoded.problem);
        } else if (!encoded.png.isEmpty()) {
          const std::filesystem::path path = outFolder / NumberedName(i, ".png");
          if (Status written = WriteFile(path, encoded.png.constData(),
                                         static_cast<std::size_t>(encoded.png.size()));
              !written) {
            problems.push_back(written.message());
          }
        }
        if (i < kMaxContactSheetPictures) {
          thumbnails[static_cast<std::size_t>(i)] = std::move(encoded.thumbnail);
        }
        return true;
      });
  if (count == 0) {
    return problems;
  }
  const QImage sheet = ComposeContactSheet(thumbnails, label);
  if (Status written = WriteSheet(outFolder / "sheet.png", sheet); !written) {
    problems.push_back(written.message());
  }
  return problems;
}

std::vector<std::string> WriteSoundFiles(const std::filesystem::path& folder,
                                         const ResourceListing& listing,
                                         const std::filesystem::path& outFolder) {
  if (Status made = MakeFolder(outFolder); !made) {
    return {made.message()};
  }
  if (listing.waveDataSize == 0) {
    return {};
  }
  const Result<CDataFileReader> data = OpenData(folder / "wave.bin");
  if (!data) {
    return {data.error()};
  }
  std::vector<std::string> problems;
  for (const SoundEntry& entry : listing.sounds) {
    if (!entry.inData) {
      continue;
    }
    const Result<std::vector<std::uint8_t>> wave = ReadSoundAsWave(data.value(), entry);
    Status written = wave ? WriteFile(outFolder / NumberedName(entry.position, ".wav"),
                                      wave.value().data(), wave.value().size())
                          : wave.status();
    if (!written) {
      problems.push_back(written.message());
    }
  }
  return problems;
}

Status WriteSettingsSheet(const std::filesystem::path& folder, const ResourceListing& listing,
                          int position, const std::filesystem::path& outFolder,
                          const LabelPainter& label) {
  if (position < 0 || position >= static_cast<int>(listing.pictures.size())) {
    return Status::Failure(Fill(Tr("inspect", "没有图片 %1"), std::to_string(position)));
  }
  if (Status made = MakeFolder(outFolder); !made) {
    return made;
  }
  const Result<CDataFileReader> data = OpenData(folder / "image.bin");
  if (!data) {
    return data.status();
  }
  const Result<QImage> sheet = ComposeSettingsSheet(
      data.value(), listing.pictures[static_cast<std::size_t>(position)], label);
  if (!sheet) {
    return sheet.status();
  }
  return WriteSheet(outFolder / ("picture-" + std::to_string(position) + "-settings.png"),
                    sheet.value());
}

}  // namespace zentora
