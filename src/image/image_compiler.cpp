#include "image/image_compiler.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "base/compiler_files.h"
#include "base/exclusive_file.h"
#include "base/ordered_pipeline.h"
#include "image/image_index.h"
#include "image/picture_canvas.h"
#include "image/pixel_packing.h"

namespace zentora {

namespace {

// Memory recycled from one picture to the next: pixel blocks and decoded
// canvases. A fresh megabyte costs hundreds of page faults, more than packing
// into it; the pool keeps a few of each for the pictures in flight.
class CMemoryPool {
 public:
  struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t capacity = 0;
  };

  explicit CMemoryPool(std::size_t maxKept) : maxKept_(maxKept) {}

  Block TakeBlock(std::size_t size) {
    {
      std::lock_guard lock(mutex_);
      for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
        if (it->capacity >= size) {
          Block block = std::move(*it);
          blocks_.erase(it);
          return block;
        }
      }
    }
    // Uninitialised: every byte is about to be written.
    return Block{std::make_unique_for_overwrite<std::uint8_t[]>(size), size};
  }

  void GiveBlock(Block block) {
    std::lock_guard lock(mutex_);
    if (block.bytes && blocks_.size() < maxKept_) {
      blocks_.push_back(std::move(block));
    }
  }

  QImage TakeCanvas() {
    std::lock_guard lock(mutex_);
    if (canvases_.empty()) {
      return {};
    }
    QImage canvas = std::move(canvases_.back());
    canvases_.pop_back();
    return canvas;
  }

  void GiveCanvas(QImage canvas) {
    std::lock_guard lock(mutex_);
    if (!canvas.isNull() && canvases_.size() < maxKept_) {
      canvases_.push_back(std::move(canvas));
    }
  }

 private:
  std::mutex mutex_;
  std::vector<Block> blocks_;
  std::vector<QImage> canvases_;
  std::size_t maxKept_;
};

// One picture ready to be written: its size and pixel block, or the reason
// it contributes a zero entry.
struct PackedPicture {
  PictureCanvas::Status status = PictureCanvas::Status::Unreadable;
  int width = 0;
  int height = 0;
  CMemoryPool::Block block;
  std::size_t blockSize = 0;

  std::span<const std::uint8_t> Bytes() const { return {block.bytes.get(), blockSize}; }
};

PackedPicture DecodeAndPack(const std::filesystem::path& path, const ImageSettings& settings,
                            CMemoryPool& pool) {
  PackedPicture packed;
  try {
    PictureCanvas drawn = DrawPictureCanvas(path, settings.BytesPerPixel(), pool.TakeCanvas());
    packed.status = drawn.status;
    if (drawn.status != PictureCanvas::Status::Drawn) {
      return packed;
    }
    const std::size_t size = PackedSize(drawn.width, drawn.height, settings);
    packed.block = pool.TakeBlock(size);
    const bool packedOk = PackPictureInto(drawn.canvas, drawn.width, drawn.height, settings,
                                          std::span(packed.block.bytes.get(), size));
    pool.GiveCanvas(std::move(drawn.canvas));
    if (!packedOk) {
      return PackedPicture{};
    }
    packed.blockSize = size;
    packed.width = drawn.width;
    packed.height = drawn.height;
  } catch (const std::bad_alloc&) {
    // Out of memory for this picture: it is treated as unreadable.
    packed = PackedPicture{};
  }
  return packed;
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
    sink.AppendLine(CannotCreateFileLine(dataPath));
    return CompileOutcome::Failed;
  }
  Result<CExclusiveFile> indexFile = CExclusiveFile::Create(indexPath);
  if (!indexFile) {
    sink.AppendLine(CannotCreateFileLine(indexPath));
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

  CMemoryPool pool(static_cast<std::size_t>(threads) + 1);
  auto produce = [&](int i) {
    return DecodeAndPack(pictures[static_cast<std::size_t>(i)], settings, pool);
  };
  auto consume = [&](int i, PackedPicture picture) {
    sink.SetProgress(static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count));
    if (picture.status == PictureCanvas::Status::TooLarge) {
      sink.AppendLine("图片尺寸超出范围：" +
                      pictures[static_cast<std::size_t>(i)].filename().string());
    }
    if (Status written = dataFile.value().Write(picture.Bytes()); !written) {
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
    pool.GiveBlock(std::move(picture.block));
    return true;
  };
  RunOrderedPipeline<PackedPicture>(count, threads, 2 * threads, produce, consume);

  if (!writeFailure) {
    writeFailure = CloseInOrder(indexFile.value(), indexPath, dataFile.value(), dataPath);
  }
  if (writeFailure) {
    sink.AppendLine(*writeFailure);
    return CompileOutcome::Failed;
  }
  sink.AppendLine("生成图片资源成功！");
  return CompileOutcome::Written;
}

}  // namespace zentora
