#include "image/image_compiler.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/compiler_files.h"
#include "base/entry_name.h"
#include "base/ordered_pipeline.h"
#include "base/translation.h"
#include "image/image_index.h"
#include "image/picture_dither.h"
#include "image/picture_rows.h"
#include "image/pixel_packing.h"

namespace zentora {

namespace {

// Memory recycled from one picture to the next: pixel blocks, and the
// memory a decoder puts a whole picture in. A fresh megabyte costs hundreds
// of page faults, more than packing into it; the pool keeps a few blocks for
// the pictures in flight.
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

 private:
  std::mutex mutex_;
  std::vector<Block> blocks_;
  std::size_t maxKept_;
};

// One picture ready to be written: its size and pixel block, or the reason
// it contributes a zero entry.
struct PackedPicture {
  PictureRead::Status status = PictureRead::Status::Unreadable;
  std::string reason;  // for Unreadable
  int width = 0;
  int height = 0;
  CMemoryPool::Block block;
  std::size_t blockSize = 0;

  std::span<const std::uint8_t> Bytes() const { return {block.bytes.get(), blockSize}; }
};

// Rows straight from the decoder into the module's pixel block, dithered on
// the way where the settings ask for it: no canvas between them.
class CPackingSink final : public CPictureRowSink {
 public:
  CPackingSink(const ImageSettings& settings, CMemoryPool& pool)
      : settings_(settings), pool_(pool) {}

  ~CPackingSink() override { pool_.GiveBlock(std::move(scratch_)); }

  bool Begin(QSize size) override {
    try {
      blockSize_ = PackedSize(size.width(), size.height(), settings_);
      if (block_.capacity < blockSize_) {
        pool_.GiveBlock(std::move(block_));
        block_ = pool_.TakeBlock(blockSize_);
      }
      packer_.emplace(size.width(), size.height(), settings_,
                      std::span(block_.bytes.get(), blockSize_));
      ditherer_.emplace(size.width(), settings_);
      if (ditherer_->Active()) {
        row_.resize(static_cast<std::size_t>(size.width()) * 3);
      }
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  void PixelRow(int y, QRgb* row) override {
    ditherer_->DitherRow(y, row);
    packer_->PackRow(y, row);
  }

  void RgbRow(int y, const std::uint8_t* rgb) override {
    if (!ditherer_->Active()) {
      packer_->PackRow(y, rgb);
      return;
    }
    ditherer_->DitherRow(y, rgb, row_.data());
    packer_->PackRow(y, row_.data());
  }

  std::span<std::uint8_t> Scratch(std::size_t bytes) override {
    try {
      if (scratch_.capacity < bytes) {
        pool_.GiveBlock(std::move(scratch_));
        scratch_ = pool_.TakeBlock(bytes);
      }
    } catch (const std::bad_alloc&) {
      return {};
    }
    return {scratch_.bytes.get(), bytes};
  }

  CMemoryPool::Block TakeBlock() { return std::move(block_); }
  std::size_t BlockSize() const { return blockSize_; }

 private:
  const ImageSettings& settings_;
  CMemoryPool& pool_;
  CMemoryPool::Block block_;
  std::size_t blockSize_ = 0;
  CMemoryPool::Block scratch_;
  std::optional<CPixelPacker> packer_;
  std::optional<CRowDitherer> ditherer_;
  std::vector<std::uint8_t> row_;  // an RGB row on its way out of the ditherer
};

PackedPicture DecodeAndPack(const std::filesystem::path& path, const ImageSettings& settings,
                            CMemoryPool& pool) {
  CPackingSink sink(settings, pool);
  const PictureRead read = ReadPictureRows(path, {settings.BytesPerPixel()}, sink);
  PackedPicture packed;
  packed.status = read.status;
  packed.reason = read.reason;
  if (read.status == PictureRead::Status::Drawn) {
    packed.width = read.width;
    packed.height = read.height;
    packed.blockSize = sink.BlockSize();
    packed.block = sink.TakeBlock();
  }
  return packed;
}

// Writes the packed pictures in list order, each its pixel block and then
// its index entry, and keeps the first failure. Pictures that compile to
// nothing and numbers or addresses the module would misread get a line.
class CPictureWriter {
 public:
  CPictureWriter(CCompilerFiles& files, const std::vector<std::filesystem::path>& pictures,
                 int bytesPerPixel, CMemoryPool& pool, StatusSink& sink)
      : files_(files),
        pictures_(pictures),
        bytesPerPixel_(bytesPerPixel),
        pool_(pool),
        sink_(sink) {}

  // False stops the compile.
  bool Write(int i, PackedPicture picture) {
    sink_.SetProgress(ProgressBefore(i, static_cast<int>(pictures_.size())));
    const std::uint32_t length = ImageDataLength(picture.width, picture.height, bytesPerPixel_);
    ReportInput(i, picture.status, picture.reason, length);
    failure_ = files_.Write(CCompilerFiles::Kind::kData, picture.Bytes());
    if (failure_) {
      const ImageIndexEntry entry =
          EncodeImageIndexEntry(i, address_, picture.width, picture.height, bytesPerPixel_);
      failure_ = files_.Write(CCompilerFiles::Kind::kIndex, entry);
    }
    if (!failure_) {
      return false;
    }
    address_ += length;
    pool_.GiveBlock(std::move(picture.block));
    return true;
  }

  const Status& Failure() const { return failure_; }
  bool Warned() const { return warned_; }

 private:
  void ReportInput(int i, PictureRead::Status status, const std::string& reason,
                   std::uint32_t length) {
    const auto index = static_cast<std::size_t>(i);
    const std::string name = EntryName(pictures_[index], index);
    if (status == PictureRead::Status::TooLarge) {
      Warn(Tr("image", "图片尺寸超出范围：") + name);
    } else if (status == PictureRead::Status::Unreadable) {
      Warn(Tr("image", "无法读取图片：") + WithReason(name, reason));
    }
    if (i == kImageNumberCount) {
      Warn(Tr("image", "图片超过65536张：第65537张起编号从0重新开始"));
    }
    if (!reachedSounds_ && std::uint64_t{address_} + length > kImageAreaEnd) {
      reachedSounds_ = true;
      Warn(Tr("image", "图片数据超出0x07000000，进入声音数据区"));
    }
  }

  void Warn(const std::string& line) {
    sink_.AppendLine(line);
    warned_ = true;
  }

  CCompilerFiles& files_;
  const std::vector<std::filesystem::path>& pictures_;
  const int bytesPerPixel_;
  CMemoryPool& pool_;
  StatusSink& sink_;
  std::uint32_t address_ = kImageBaseAddress;
  bool reachedSounds_ = false;
  bool warned_ = false;
  Status failure_ = Status::Ok();
};

// Decodes ahead on `threads` threads and writes in list order.
Status WritePictures(const std::vector<std::filesystem::path>& pictures,
                     const ImageSettings& settings, int threads, CCompilerFiles& files,
                     StatusSink& sink, bool& warned) {
  // As many blocks as can be in flight (the window, one being written, one
  // being filled), so that none is freed only to be faulted in again.
  CMemoryPool pool(2 * static_cast<std::size_t>(threads) + 2);
  CPictureWriter writer(files, pictures, settings.BytesPerPixel(), pool, sink);
  RunOrderedPipeline<PackedPicture>(
      static_cast<int>(pictures.size()), threads, 2 * threads,
      [&](int i) { return DecodeAndPack(pictures[static_cast<std::size_t>(i)], settings, pool); },
      [&](int i, PackedPicture picture) { return writer.Write(i, std::move(picture)); });
  warned = writer.Warned();
  return writer.Failure();
}

constexpr ResourceCompilerTexts kPictureTexts{
    CCompilerFiles::Kind::kData,
    QT_TRANSLATE_NOOP("compiler", "没有图片资源！"),
    QT_TRANSLATE_NOOP("compiler", "生成图片资源..."),
    QT_TRANSLATE_NOOP("compiler", "生成图片资源成功！"),
};

CompileOutcome CompileInto(CFileSetReplacement& outputs,
                           const std::vector<std::filesystem::path>& pictures,
                           const ImageSettings& settings, const std::filesystem::path& dataPath,
                           const std::filesystem::path& indexPath, StatusSink& sink, int threads) {
  return RunResourceCompiler(
      kPictureTexts, outputs, dataPath, indexPath, static_cast<int>(pictures.size()), sink,
      [&](CCompilerFiles& files, bool& warned) {
        return WritePictures(pictures, settings, threads, files, sink, warned);
      });
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
  return CompileAlone(dataPath, sink, [&](CFileSetReplacement& outputs) {
    return CompileInto(outputs, pictures, settings, dataPath, indexPath, sink, threads);
  });
}

CompileOutcome GenerateImageResources(CFileSetReplacement& outputs,
                                      const std::vector<std::filesystem::path>& pictures,
                                      const ImageSettings& settings,
                                      const std::filesystem::path& dataPath,
                                      const std::filesystem::path& indexPath, StatusSink& sink) {
  return CompileInto(outputs, pictures, settings, dataPath, indexPath, sink,
                     ImageCompilerThreadCount());
}

}  // namespace zentora
