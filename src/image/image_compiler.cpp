#include "image/image_compiler.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "app/exclusive_file.h"
#include "app/ordered_pipeline.h"
#include "image/image_index.h"
#include "image/picture_canvas.h"
#include "image/pixel_packing.h"

namespace zentora {

namespace {

// One picture ready to be written: its size and pixel block, or the reason
// it contributes a zero entry.
struct PackedPicture {
  PictureCanvas::Status status = PictureCanvas::Status::Unreadable;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> block;
};

PackedPicture DecodeAndPack(const std::filesystem::path& path, const ImageSettings& settings) {
  PackedPicture packed;
  try {
    PictureCanvas drawn = DrawPictureCanvas(path, settings.BytesPerPixel());
    packed.status = drawn.status;
    if (drawn.status != PictureCanvas::Status::Drawn) {
      return packed;
    }
    packed.block = PackPicture(drawn.canvas, drawn.width, drawn.height, settings);
    if (packed.block.empty()) {
      packed.status = PictureCanvas::Status::Unreadable;
      return packed;
    }
    packed.width = drawn.width;
    packed.height = drawn.height;
  } catch (const std::bad_alloc&) {
    // Out of memory for this picture: it is treated as unreadable.
    packed = PackedPicture{};
  }
  return packed;
}

std::string PathText(const std::filesystem::path& path) { return path.string(); }

std::string WriteFailureLine(const std::filesystem::path& path, const Status& failure) {
  return "写入文件失败：" + PathText(path) + "（" + failure.message() + "）";
}

}  // namespace

int ImageCompilerThreadCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

CompileOutcome GenerateImageResources(const std::vector<std::filesystem::path>& pictures,
                                      const ImageSettings& settings,
                                      const std::filesystem::path& dataPath,
                                      const std::filesystem::path& indexPath, StatusSink& sink) {
  return GenerateImageResourcesOnThreads(pictures, settings, dataPath, indexPath, sink,
                                         ImageCompilerThreadCount());
}

CompileOutcome GenerateImageResourcesOnThreads(const std::vector<std::filesystem::path>& pictures,
                                               const ImageSettings& settings,
                                               const std::filesystem::path& dataPath,
                                               const std::filesystem::path& indexPath,
                                               StatusSink& sink, int threads) {
  Result<CExclusiveFile> dataFile = CExclusiveFile::Create(dataPath);
  if (!dataFile) {
    sink.AppendLine("无法创建文件：" + PathText(dataPath));
    return CompileOutcome::Failed;
  }
  Result<CExclusiveFile> indexFile = CExclusiveFile::Create(indexPath);
  if (!indexFile) {
    sink.AppendLine("无法创建文件：" + PathText(indexPath));
    return CompileOutcome::Failed;
  }

  const int count = static_cast<int>(pictures.size());
  if (count == 0) {
    sink.AppendLine("没有图片资源！");
    return CompileOutcome::EmptyList;
  }

  sink.AppendLine("生成图片资源...");
  sink.SetProgress(0);

  std::uint32_t address = kImageBaseAddress;
  const int bytesPerPixel = settings.BytesPerPixel();
  std::optional<std::string> writeFailure;

  auto produce = [&](int i) {
    return DecodeAndPack(pictures[static_cast<std::size_t>(i)], settings);
  };
  auto consume = [&](int i, PackedPicture picture) {
    sink.SetProgress(static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count));
    if (picture.status == PictureCanvas::Status::TooLarge) {
      sink.AppendLine("图片尺寸超出范围：" +
                      pictures[static_cast<std::size_t>(i)].filename().string());
    }
    if (Status written = dataFile.value().Write(picture.block); !written) {
      writeFailure = WriteFailureLine(dataPath, written);
      return false;
    }
    const ImageIndexEntry entry =
        EncodeImageIndexEntry(i, address, picture.width, picture.height, bytesPerPixel);
    if (Status written = indexFile.value().Write(entry); !written) {
      writeFailure = WriteFailureLine(indexPath, written);
      return false;
    }
    address += ImageDataLength(picture.width, picture.height, bytesPerPixel);
    return true;
  };
  RunOrderedPipeline<PackedPicture>(count, threads, 2 * threads, produce, consume);

  if (!writeFailure) {
    if (Status closed = indexFile.value().Close(); !closed) {
      writeFailure = WriteFailureLine(indexPath, closed);
    } else if (Status dataClosed = dataFile.value().Close(); !dataClosed) {
      writeFailure = WriteFailureLine(dataPath, dataClosed);
    }
  }
  if (writeFailure) {
    sink.AppendLine(*writeFailure);
    return CompileOutcome::Failed;
  }
  sink.AppendLine("生成图片资源成功！");
  return CompileOutcome::Written;
}

}  // namespace zentora
